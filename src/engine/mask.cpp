#include "engine/mask.h"

#include <memory>

#include "engine/chain.h"
#include "engine/chain_cache.h"
#include "engine/charset_specifier.h"
#include "engine/istr.h"
#include "engine/parser_core.h"
#include "engine/registries.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

std::string_view trimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<MaskTerm> parseMaskTerm(ParserCore& parser, std::string_view term) {
    MaskTerm t;
    std::optional<std::uint32_t> minimum;
    bool hadDigit = false;
    for (std::size_t i = 0; i < term.size(); ++i) {
        const char c = term[i];
        if (isAlpha(c)) {
            t.set |= parser.charClass(toUpper(c));
        } else if (isDigit(c)) {
            hadDigit = true;
            // Counts beyond any message size are as good as infinite; keep
            // the arithmetic from wrapping.
            t.maximum = std::min<std::uint64_t>(std::uint64_t{t.maximum} * 10 + static_cast<unsigned>(c - '0'),
                                                0x7FFFFFFF);
        } else if (c == '-') {
            if (minimum) return std::nullopt;
            minimum = t.maximum;
            t.maximum = 0;
        } else if (c == '[') {
            const std::size_t close = term.find(']', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            const Bytes bytes = IStrToRaw(parser.errors(), term.substr(i + 1, close - i - 1), parser.settings().escape);
            addBracketSet(t.set, bytes);
            i = close;
        }
    }
    if (minimum && t.maximum < *minimum) return std::nullopt;
    if (!minimum) {
        if (!hadDigit) t.maximum = 1;
        minimum = t.maximum;
    }
    t.minimum = *minimum;
    return t;
}

std::uint32_t ValidateOneBfm(ParserCore& parser, BytesView slice, std::uint32_t start, const CharSet& set,
                             std::uint32_t maximum, std::uint32_t minimum, bool last, std::string_view term) {
    const std::uint64_t end = slice.size();
    for (std::uint64_t p = start; p < std::uint64_t{start} + maximum; ++p) {
        if (p >= end) {
            if (!(last && p >= std::uint64_t{start} + minimum)) {
                parser.errors().record("TPFIX.ValidateOneBfm", kWarnExpectedInput,
                                       {term, std::to_string(std::uint64_t{start} + minimum), std::to_string(p)});
            }
            return static_cast<std::uint32_t>(end - start);
        }
        const unsigned char b = byteAt(slice, static_cast<std::size_t>(p));
        if (!contains(set, b)) {
            parser.errors().record("TPFIX.ValidateOneBfm", kInfoNotClassCharacter,
                                   {RawToIStr(BytesView(slice.substr(static_cast<std::size_t>(p), 1)),
                                              parser.settings().escape),
                                    term});
        }
    }
    return maximum;
}

void Validate(ParserCore& parser, OpContext& ctx, std::string_view mask, BytesView slice, bool allowNull) {
    ctx.consumed = 0;
    mask = trimControls(mask);
    if (mask.empty() || mask == "*") {
        ctx.consumed = static_cast<std::uint32_t>(slice.size());
        return;
    }
    if (allowNull && slice.empty()) return;

    Settings& s = parser.settings();
    const auto chain = s.chains.get(mask, false, s.sequences);  // held while ctx.args points into it
    const ChainStep& first = chain->steps.front();
    ctx.name = first.name;

    std::size_t n = 0;
    while (n < mask.size() && isAlnum(mask[n])) ++n;
    const std::string word = upper(mask.substr(0, n));
    if (n && validationRegistry().find(word)) {
        Output scratch;
        ctx.args = first.args;
        try {
            ApplyOperator(parser, ctx, word, slice, scratch);
        } catch (const std::exception&) {
            // recorded by the operator or by ApplyOperator
        }
        ctx.args = {};
        return;
    }

    std::uint32_t start = 0;
    for (std::size_t from = 0; from <= mask.size();) {
        std::size_t plus = mask.find('+', from);
        if (plus == std::string_view::npos) plus = mask.size();
        const std::string_view term = mask.substr(from, plus - from);
        const bool last = plus == mask.size();
        const auto t = parseMaskTerm(parser, term);
        if (!t) {
            parser.errors().record("TPFIX.Validate", kErrNotValidIfm, {term});
            return;
        }
        const std::uint32_t c = ValidateOneBfm(parser, slice, start, t->set, t->maximum, t->minimum, last, term);
        ctx.consumed += c;
        start += c;
        from = plus + 1;
    }
}

}  // namespace payfmt
