#include "engine/parser_core.h"

#include <atomic>

#include "engine/charset_specifier.h"
#include "engine/istr.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::uint32_t kErrBadCharSetId = 0xE206000B;
constexpr std::uint32_t kErrNoBrackets = 0xE206000C;

std::uint64_t nextClassesVersion() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

bool bracketed(std::string_view s) { return s.size() >= 2 && s.front() == '[' && s.back() == ']'; }

}  // namespace

void ParserCore::SetCharSet(std::string_view letter, std::string_view specifier) {
    const char l = letter.empty() ? '\0' : toUpper(letter.front());
    if (l < 'A' || l > 'Z') errors().raise("TPFIX.SetCharSet", kErrBadCharSetId, {letter});
    if (!bracketed(specifier)) errors().raise("TPFIX.SetCharSet", kErrNoBrackets, {});
    const Bytes decoded = IStrToRaw(errors(), specifier, settings().escape);
    CharSet set;
    addBracketSet(set, BytesView(decoded).substr(1, decoded.size() - 2));
    editCharClass(l) = set;
}

CharSet& ParserCore::editCharClass(char letter) {
    classesVersion_ = nextClassesVersion();
    return classes_[static_cast<std::size_t>(letter - 'A')];
}

CharSet ParserCore::resolveCharSet(std::string_view specifier) const {
    const Bytes decoded = IStrToRaw(errors(), specifier, settings().escape);
    CharSet set;
    if (!decoded.empty() && decoded.front() == '[') {
        // Up to the closing bracket; an unclosed list runs to the end.
        const std::size_t close = decoded.size() > 1 && decoded.back() == ']' ? decoded.size() - 1 : decoded.size();
        addBracketSet(set, BytesView(decoded).substr(1, close - 1));
        return set;
    }
    for (char c : decoded) {
        const char l = toUpper(c);
        if (l >= 'A' && l <= 'Z') set |= charClass(l);
    }
    return set;
}

}  // namespace payfmt
