// LVAR to HHHHHH2VAR: a field after its length written as decimal or
// hexadecimal digits. Four families; the members of a family differ only in
// how many digits the length has, which is the number of letters in front of
// "VAR" or "2VAR".
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/ascii.h"

namespace payfmt::ops {

namespace {

struct TextLengthFamily {
    std::size_t suffix;          // letters after the digit letters
    unsigned base;
    std::uint32_t unit;          // bytes per counted unit
    std::uint32_t badDigitCode;  // "length field must be decimal" or "... hexadecimal"
    std::string_view location;
};

constexpr TextLengthFamily kDecimalBytes{3, 10, 1, kErrLengthNotDecimal, "Apply_LVar"};
constexpr TextLengthFamily kDecimalPairs{4, 10, 2, kErrLengthNotDecimal, "Apply_L2Var"};
constexpr TextLengthFamily kHexBytes{3, 16, 1, kErrLengthNotHex, "Apply_HVar"};
constexpr TextLengthFamily kHexPairs{4, 16, 2, kErrLengthNotHex, "Apply_H2Var"};

// Six digits keep every count and length within 32 bits.
constexpr std::size_t kMaxDigits = 6;

void writeLength(const TextLengthFamily& f, const OpEnv& env, std::size_t digits, BytesView in, Output& out) {
    std::uint64_t capacity = 1;
    for (std::size_t i = 0; i < digits; ++i) capacity *= f.base;
    const std::uint64_t largest = capacity * f.unit - 1;
    if (in.size() > largest) env.stop(kErrTooManyCharacters, {env.name(), std::to_string(largest)});
    if (in.size() % f.unit) env.stop(kErrNotMultiple, {env.name(), std::to_string(f.unit)});

    Bytes r;
    r.reserve(digits + in.size());
    r.assign(digits, '0');
    std::uint64_t count = in.size() / f.unit;
    for (std::size_t i = digits; i > 0 && count > 0; --i, count /= f.base) r[i - 1] = toLower(hexDigit(count % f.base));
    r.append(in);
    out.set(std::move(r));
    env.ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void readLength(const TextLengthFamily& f, const OpEnv& env, std::size_t digits, BytesView in, Output& out) {
    // Only digits of the base count: a sign is not part of a length.
    std::size_t used = 0;
    std::uint64_t count = 0;
    for (; used < digits && used < in.size(); ++used) {
        const int d = hexValue(in[used]);
        if (d < 0 || static_cast<unsigned>(d) >= f.base) break;
        count = count * f.base + static_cast<unsigned>(d);
    }
    if (used < digits) {
        if (used < in.size()) env.stop(f.badDigitCode, {env.name()});
        env.stop(kErrLengthFieldShort, {env.name(), std::to_string(digits)});
    }
    std::uint64_t length = count * f.unit;
    if (digits + length > in.size()) {
        // A message cut short still yields what is there of its last field.
        env.note(kWarnShortInput, {env.name(), std::to_string(digits + length), std::to_string(in.size())});
        length = in.size() - digits;
    }
    out.set(Bytes(in.substr(digits, length)));
    env.ctx.consumed = static_cast<std::uint32_t>(digits + length);
}

void applyTextLength(const TextLengthFamily& f, OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, f.location);
    const std::size_t digits = ctx.name.size() > f.suffix ? ctx.name.size() - f.suffix : 0;
    if (digits < 1 || digits > kMaxDigits) env.stop(kErrTooManyCharacters, {env.name(), std::to_string(digits)});
    if (ctx.isOutput()) writeLength(f, env, digits, in, out);
    else readLength(f, env, digits, in, out);
}

}  // namespace

void LVar(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    applyTextLength(kDecimalBytes, ctx, in, out, parser);
}

void L2Var(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    applyTextLength(kDecimalPairs, ctx, in, out, parser);
}

void HVar(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    applyTextLength(kHexBytes, ctx, in, out, parser);
}

void H2Var(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    applyTextLength(kHexPairs, ctx, in, out, parser);
}

}  // namespace payfmt::ops
