// BNIBBLES (also NBUF), BBNIBBLES, DNIBBLES and DDNIBBLES: hexadecimal text
// packed two digits a byte after its digit count, the count binary or BCD,
// one byte or two. An odd count packs with a leading 0 digit.
#include "operators/count_prefix.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/hex.h"

namespace payfmt::ops {

namespace {

struct NibbleShape {
    std::string_view name;
    CountPrefix prefix;
};

constexpr NibbleShape kNibbles[] = {
    {"BNIBBLES", {1, false}},
    {"NBUF", {1, false}},
    {"BBNIBBLES", {2, false}},
    {"DNIBBLES", {1, true}},
    {"DDNIBBLES", {2, true}},
};

void pack(const OpEnv& env, const CountPrefix& prefix, BytesView digits, Output& out) {
    prefix.requireCountable(env, digits.size());
    Bytes work;
    if (digits.size() % 2) work.push_back('0');
    work.append(digits);
    Bytes r;
    prefix.write(static_cast<std::uint32_t>(digits.size()), r);
    if (hexToRaw(work, r) < work.size()) env.stop(kErrDataNotHex, {env.name()});
    out.set(std::move(r));
    env.ctx.consumed = static_cast<std::uint32_t>(digits.size());
}

void unpack(const OpEnv& env, const CountPrefix& prefix, BytesView in, Output& out) {
    if (in.empty()) {
        out.set(Bytes());
        env.ctx.consumed = 0;
        return;
    }
    // A two-byte count needs both bytes before it can be read.
    prefix.requirePresent(env, in);
    const std::uint32_t count = prefix.read(in);
    std::size_t dataBytes = (std::size_t{count} + 1) / 2;
    if (prefix.size + dataBytes > in.size()) {
        env.note(kWarnShortInput, {env.name(), std::to_string(dataBytes), std::to_string(in.size())});
        dataBytes = in.size() - prefix.size;
    }
    Bytes digits = rawToHex(in.substr(prefix.size, dataBytes));
    if (count % 2 && !digits.empty()) digits.erase(0, 1);  // the 0 an odd count was packed with
    out.set(std::move(digits));
    env.ctx.consumed = static_cast<std::uint32_t>(prefix.size + dataBytes);
}

}  // namespace

void Nibbles(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Nibbles");
    const CountPrefix& prefix = env.rowFor<NibbleShape>(kNibbles).prefix;
    if (ctx.isOutput()) pack(env, prefix, in, out);
    else unpack(env, prefix, in, out);
}

}  // namespace payfmt::ops
