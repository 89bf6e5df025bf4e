#include "parsers/core/charset_text.h"

#include "engine/istr.h"

namespace payfmt {

std::string charSetText(const CharSet& set, char escape) {
    Bytes raw;
    // A "-" inside the list would read as a range, so it goes last.
    auto member = [&](unsigned b) { return b != '-' && set.test(b); };
    for (unsigned b = 0; b < 256;) {
        if (!member(b)) {
            ++b;
            continue;
        }
        unsigned last = b;
        while (last + 1 < 256 && member(last + 1)) ++last;
        raw += static_cast<char>(b);
        if (last > b) {
            raw += '-';
            raw += static_cast<char>(last);
        }
        b = last + 1;
    }
    if (set.test('-')) raw += '-';
    std::string text(1, '[');
    appendIStr(text, raw, escape);
    text += ']';
    return text;
}

}  // namespace payfmt
