// BERLEN, IFSFLEN and BERTAG: only the length or tag header of a field. An
// output chain writes the header for its input's length; an input chain
// reads a header and gives the length as a little-endian value (BERTAG: the
// tag as hexadecimal text).
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/ber.h"
#include "support/hex.h"

namespace payfmt::ops {

namespace {

// n in width big-endian bytes.
void appendBigEndian(Bytes& out, std::uint64_t n, std::size_t width) {
    for (std::size_t i = width; i-- > 0;) out.push_back(static_cast<char>(n >> (8 * i)));
}

// The bytes of a big-endian length, as a little-endian value.
Bytes reversed(BytesView bytes) { return Bytes(bytes.rbegin(), bytes.rend()); }

void requireHeader(const OpEnv& env, BytesView in) {
    if (in.empty()) env.stop(kErrLengthFieldShort, {env.name(), "1"});
}

}  // namespace

// Definite lengths: one byte below 128, else 80 + k and the length in k
// big-endian bytes.
void BerLen(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_BerLen");
    if (ctx.isOutput()) {
        // A minimum header size for receivers that expect a fixed one.
        Bytes r;
        appendBerLength(r, in.size(), env.intArg(0, 0));
        out.set(std::move(r));
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }
    requireHeader(env, in);
    const auto length = readBerLength(in);
    if (!length) {
        ctx.consumed = 0;
        env.stop(kErrLengthTooLarge, {env.name(), " the available data"});
    }
    // The length as a little-endian value of as many bytes as the header had.
    const bool shortForm = byteAt(in, 0) < 0x80;
    out.set(shortForm ? Bytes(in.substr(0, 1)) : reversed(in.substr(1, length->size - 1)));
    ctx.consumed = length->size;
}

// One byte below 255; else FF and the length in two big-endian bytes.
void IfsfLen(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_IfsfLen");
    constexpr std::uint8_t kLong = 0xFF;
    if (ctx.isOutput()) {
        const std::size_t length = in.size();
        // A single byte FF would read back as the start of the long form,
        // and two bytes hold no more than 65535.
        if (length > 0xFFFF) env.stop(kErrTooManyCharacters, {env.name(), "65535"});
        Bytes r;
        if (length < kLong) r.push_back(static_cast<char>(length));
        else {
            r.push_back(static_cast<char>(kLong));
            appendBigEndian(r, length, 2);
        }
        out.set(std::move(r));
        ctx.consumed = static_cast<std::uint32_t>(length);
        return;
    }
    requireHeader(env, in);
    if (byteAt(in, 0) != kLong) {
        out.set(Bytes(in.substr(0, 1)));
        ctx.consumed = 1;
        return;
    }
    // The long form is FF and two more bytes.
    if (in.size() < 3) env.stop(kErrLengthFieldShort, {env.name(), "3"});
    out.set(reversed(in.substr(1, 2)));
    ctx.consumed = 3;
}

// Tag numbers: one byte unless its low five bits are all set; then the tag
// goes on up to and including the first byte whose top bit is clear.
void BerTag(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_BerTag");
    if (ctx.isOutput()) env.stop(kErrNotOutputOperator, {env.name()});
    if (in.empty()) {
        out.set(Bytes());
        ctx.consumed = 0;
        return;
    }
    const std::size_t length = berTagLength(in);
    if (length > in.size()) env.stop(kWarnStoppedShortInput, {env.name(), std::to_string(length), std::to_string(in.size())});
    out.set(rawToHex(in.substr(0, length)));
    ctx.consumed = static_cast<std::uint32_t>(length);
}

}  // namespace payfmt::ops
