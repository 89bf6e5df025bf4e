// INT2STR and STR2INT: binary integers of 1 to 8 bytes and their decimal
// text shaped by a picture. The same argument list (InputLen, FormatString,
// Coding) serves both directions.
//
// Sign modes (Coding): 0 unsigned, 1 ones' complement, 2 two's complement.
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/ascii.h"

namespace payfmt::ops {

namespace {

struct IntLayout {
    std::size_t size = 4;
    bool littleEndian = false;
    int signMode = 0;
};

IntLayout readLayout(const OpEnv& env) {
    IntLayout l;
    std::int64_t size = env.intArg(0, 4, env.name() + " InputLen");
    if (size == 0) size = 4;
    if (size < 0) {
        l.littleEndian = true;
        size = -size;
    }
    if (size > 8) env.stop(kErrNotYetDefined, {});
    l.size = static_cast<std::size_t>(size);
    const std::int64_t mode = env.intArg(2, 0, env.name() + " Coding");
    if (mode < 0 || mode > 2) env.stop(kErrNotYetDefined, {});
    l.signMode = static_cast<int>(mode);
    return l;
}

std::uint64_t lowMask(std::size_t size) { return size >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * size)) - 1; }

}  // namespace

void Int2Str(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Int2Str");
    IntLayout l = readLayout(env);
    const std::string picture = env.textArg(1, "9", env.name() + " FormatString");
    for (char c : picture)
        if (c != '0' && c != '9' && c != '+' && c != 'S') env.stop(kErrNotYetDefined, {});
    l.size = std::min(l.size, in.size());

    std::uint64_t v = 0;
    for (std::size_t i = 0; i < l.size; ++i) {
        const std::size_t at = l.littleEndian ? l.size - 1 - i : i;
        v = (v << 8) | byteAt(in, at);
    }
    bool negative = false;
    const bool topBit = l.size > 0 && (v >> (8 * l.size - 1)) & 1;
    if (topBit && l.signMode == 2) {
        negative = true;
        v = (~(v | ~lowMask(l.size))) + 1;  // sign-extend, then negate
    } else if (topBit && l.signMode == 1) {
        negative = true;
        v = ~v & lowMask(l.size);
    }

    std::string sign;
    if (picture.find('+') != std::string::npos) sign.push_back(negative ? '-' : '+');
    else if (picture.find('S') != std::string::npos) sign.push_back(negative ? '-' : ' ');
    const bool signFirst = !picture.empty() && (picture.front() == '+' || picture.front() == 'S');
    std::string width;
    for (char c : picture)
        if (c != '+' && c != 'S') width += c;

    std::string digits = std::to_string(v);
    if (width.size() > digits.size()) digits.insert(0, width.size() - digits.size(), width.front() == '0' ? '0' : ' ');
    out.set(signFirst ? sign + digits : digits + sign);
    ctx.consumed = static_cast<std::uint32_t>(l.size);
}

void Str2Int(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Str2Int");
    const IntLayout l = readLayout(env);

    std::string_view text = in;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const bool negative = !text.empty() && (text.front() == '-' || text.back() == '-');
    std::string digits;
    for (char c : text)
        if (c != '-' && c != '+' && c != ' ') digits += c;
    std::uint64_t magnitude = 0;
    if (digits.empty() || digits.size() > 10) env.stop(kErrDataNotDecimal, {env.name()});
    for (char c : digits) {
        if (!isDigit(c)) env.stop(kErrDataNotDecimal, {env.name()});
        magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) env.stop(kErrDataNotDecimal, {env.name()});
    if (magnitude & ~lowMask(l.size)) env.stop(kErrNumberTooLarge, {env.name(), std::to_string(l.size) + " bytes"});

    std::uint64_t v = magnitude;
    if (negative && l.signMode == 2) v = (~magnitude + 1) & lowMask(l.size);
    else if (negative && l.signMode == 1) v = ~magnitude & lowMask(l.size);

    Bytes raw(l.size, '\0');
    for (std::size_t i = 0; i < l.size; ++i) {
        const std::size_t at = l.littleEndian ? i : l.size - 1 - i;
        raw[at] = static_cast<char>(v >> (8 * i));
    }
    out.set(std::move(raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
