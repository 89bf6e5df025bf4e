// BERLEN, IFSFLEN and BERTAG: only the length or tag header of a field. An
// output chain writes the header for its input's length; an input chain
// reads a header and gives the length as a little-endian value (BERTAG: the
// tag as hexadecimal text).
#include "operators/operator_list.h"
#include "operators/op_support.h"
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
        const std::uint64_t length = in.size();
        std::size_t size = length < 0x80 ? 1 : length < 0x100 ? 2 : length < 0x10000 ? 3 : length < 0x1000000 ? 4 : 5;
        // A minimum header size for receivers that expect a fixed one.
        const std::int64_t minimum = env.intArg(0, 0);
        if (minimum >= 2 && minimum <= 5) size = std::max(size, static_cast<std::size_t>(minimum));
        Bytes r;
        if (size == 1) r.push_back(static_cast<char>(length));
        else {
            r.push_back(static_cast<char>(0x80 + size - 1));
            appendBigEndian(r, length, size - 1);
        }
        out.set(std::move(r));
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }
    requireHeader(env, in);
    const std::uint8_t first = byteAt(in, 0);
    if (first < 0x80) {
        out.set(Bytes(in.substr(0, 1)));
        ctx.consumed = 1;
        return;
    }
    const std::size_t n = first - 0x80u;
    if (n > 4 || n > in.size() - 1) {
        ctx.consumed = 0;
        env.stop(kErrLengthTooLarge, {env.name(), " the available data"});
    }
    out.set(reversed(in.substr(1, n)));
    ctx.consumed = static_cast<std::uint32_t>(n + 1);
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
    std::size_t length = 1;
    if ((byteAt(in, 0) & 0x1F) == 0x1F) {
        while (length < in.size() && byteAt(in, length) & 0x80) ++length;
        ++length;  // the last byte; past the input when every byte had its top bit set
    }
    if (length > in.size()) env.stop(kWarnStoppedShortInput, {env.name(), std::to_string(length), std::to_string(in.size())});
    out.set(rawToHex(in.substr(0, length)));
    ctx.consumed = static_cast<std::uint32_t>(length);
}

}  // namespace payfmt::ops
