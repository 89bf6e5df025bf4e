#include "engine/mask.h"

#include <algorithm>

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

// Whether every bracket set of a term is valid IStr text.
bool bracketsDecode(std::string_view term, char escape) {
    for (std::size_t open = term.find('['); open != std::string_view::npos; open = term.find('[', open + 1)) {
        const std::size_t close = term.find(']', open + 1);
        if (close == std::string_view::npos) return true;  // not a term at all, which parsing says
        if (!isIStr(term.substr(open + 1, close - open - 1), escape)) return false;
        open = close;
    }
    return true;
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
    // The usual case first: every byte there and in the set.
    if (std::uint64_t{start} + maximum <= end) {
        const BytesView checked = slice.substr(start, maximum);
        if (std::all_of(checked.begin(), checked.end(), [&](char c) { return contains(set, static_cast<unsigned char>(c)); }))
            return maximum;
    }
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

InputMask InputMask::compile(ParserCore& parser, std::string_view text) {
    InputMask m;
    Settings& s = parser.settings();
    m.generation_ = s.sequences.generation();
    m.classes_ = parser.charClassesVersion();
    const std::string_view mask = trimControls(text);
    if (mask.empty() || mask == "*") return m;
    m.chain_ = s.chains.get(mask, false, s.sequences);

    std::size_t n = 0;
    while (n < mask.size() && isAlnum(mask[n])) ++n;
    m.word_ = upper(mask.substr(0, n));
    if (n) m.op_ = validationRegistry().find(m.word_);
    if (m.op_) {
        m.kind_ = Kind::Operator;
        return m;
    }
    m.kind_ = Kind::Terms;
    for (std::size_t from = 0; from <= mask.size();) {
        std::size_t plus = mask.find('+', from);
        if (plus == std::string_view::npos) plus = mask.size();
        Term& t = m.terms_.emplace_back();
        t.text = mask.substr(from, plus - from);
        // A term reports nothing until it is checked: one whose bracket set
        // would fail to decode is parsed again then, to report it.
        t.decodeFails = !bracketsDecode(t.text, s.escape);
        if (!t.decodeFails) t.parsed = parseMaskTerm(parser, t.text);
        from = plus + 1;
    }
    return m;
}

bool InputMask::current(const ParserCore& parser) const {
    return generation_ == parser.settings().sequences.generation() && classes_ == parser.charClassesVersion();
}

void InputMask::validate(ParserCore& parser, OpContext& ctx, BytesView slice, bool allowNull) const {
    ctx.consumed = 0;
    if (kind_ == Kind::All) {
        ctx.consumed = static_cast<std::uint32_t>(slice.size());
        return;
    }
    if (allowNull && slice.empty()) return;
    const ChainStep& first = chain_->steps.front();
    ctx.name = first.name;
    if (kind_ == Kind::Operator) {
        Output scratch;
        ctx.args = first.args;
        try {
            ApplyOperator(parser, ctx, op_, word_, slice, scratch);
        } catch (const std::exception&) {
            // recorded by the operator or by ApplyOperator
        }
        ctx.args = {};
        return;
    }
    std::uint32_t start = 0;
    for (std::size_t i = 0; i < terms_.size(); ++i) {
        const Term& t = terms_[i];
        // A bad escape raises now, as the term is reached.
        std::optional<MaskTerm> reparsed;
        if (t.decodeFails) reparsed = parseMaskTerm(parser, t.text);
        const std::optional<MaskTerm>& parsed = t.decodeFails ? reparsed : t.parsed;
        if (!parsed) {
            parser.errors().record("TPFIX.Validate", kErrNotValidIfm, {t.text});
            return;
        }
        const std::uint32_t c = ValidateOneBfm(parser, slice, start, parsed->set, parsed->maximum, parsed->minimum,
                                               i + 1 == terms_.size(), t.text);
        ctx.consumed += c;
        start += c;
    }
}

void Validate(ParserCore& parser, OpContext& ctx, std::string_view mask, BytesView slice, bool allowNull) {
    InputMask::compile(parser, mask).validate(parser, ctx, slice, allowNull);
}

}  // namespace payfmt
