// CONV: named conversions. "ATEA2D27B" packs digit text (two digits to a
// byte, letters behind a 1A marker) and "ATEA7B22D" unpacks it.
//
// Because a packed byte stands for one or two characters, both directions
// map consumption back by position rather than one to one.
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/ascii.h"

namespace payfmt::ops {

namespace {

constexpr std::string_view kPack = "ATEA2D27B";
constexpr std::string_view kUnpack = "ATEA7B22D";

// Appends output bytes that together stand for the input up to inputEnd.
void emit(Bytes& out, std::vector<std::uint32_t>& offsets, std::string_view bytes, std::size_t inputEnd) {
    for (char c : bytes) {
        out += c;
        offsets.push_back(static_cast<std::uint32_t>(inputEnd));
    }
}

std::size_t pack(BytesView in, Bytes& out, std::vector<std::uint32_t>& offsets) {
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i];
        if (isAlpha(c)) {
            emit(out, offsets, {"\x1A", 1}, i + 1);
            emit(out, offsets, {&c, 1}, i + 1);
            i += 1;
        } else if (c == '=') {
            emit(out, offsets, "\x16", i + 1);
            i += 1;
        } else if (c == '\x1C') {
            emit(out, offsets, "\x1C", i + 1);
            i += 1;
        } else if (isDigit(c) && i + 1 < in.size() && isDigit(in[i + 1])) {
            const int v = 10 * (c - '0') + (in[i + 1] - '0');
            const char b = v == 0 ? '\0' : static_cast<char>(0x1C + v);
            emit(out, offsets, {&b, 1}, i + 2);
            i += 2;
        } else if (isDigit(c)) {
            const char b = c == '9' ? '\x19' : static_cast<char>(c - '0' + 7);
            emit(out, offsets, {&b, 1}, i + 1);
            i += 1;
        } else {
            break;  // this byte is not consumed
        }
    }
    return i;
}

std::size_t unpack(BytesView in, Bytes& out, std::vector<std::uint32_t>& offsets) {
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned b = byteAt(in, i);
        if (b == 0x1A && i + 1 < in.size()) {
            emit(out, offsets, in.substr(i + 1, 1), i + 2);
            i += 2;
        } else if (b == 0x1C) {
            emit(out, offsets, "\x1C", ++i);
        } else if (b >= 0x1D && b <= 0x7F) {
            const unsigned v = b - 0x1C;
            const char digits[2] = {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
            emit(out, offsets, {digits, 2}, ++i);
        } else if (b == 0x00) {
            emit(out, offsets, "00", ++i);
        } else if (b >= 0x07 && b <= 0x0F) {
            const char d = static_cast<char>('0' + b - 7);
            emit(out, offsets, {&d, 1}, ++i);
        } else if (b == 0x19) {
            emit(out, offsets, "9", ++i);
        } else if (b == 0x16) {
            emit(out, offsets, "=", ++i);
        } else {
            // Unpacking stops here; the stopping byte counts as used. A 1A
            // marker with nothing after it ends up here too.
            return i + 1;
        }
    }
    return i;
}

}  // namespace

void Conv(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Conv");
    env.requireArgs(1);
    // The conversion names itself in later messages.
    ctx.name = upper(env.textArg(0));
    const bool packing = ctx.name == kPack;
    if (!packing && ctx.name != kUnpack) env.stop(kErrInvalidParameter, {env.name(), "valid conversion identifier"});
    ctx.ownCount = false;
    ctx.inverse = packing ? "CONV(\"ATEA7B22D\")" : "CONV(\"ATEA2D27B\")";
    Bytes r;
    ctx.offsets.assign(1, 0);
    const std::size_t used = packing ? pack(in, r, ctx.offsets) : unpack(in, r, ctx.offsets);
    out.set(std::move(r));
    ctx.consumed = static_cast<std::uint32_t>(used);
}

}  // namespace payfmt::ops
