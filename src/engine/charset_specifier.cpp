#include "engine/charset_specifier.h"

namespace payfmt {

void addBracketSet(CharSet& set, BytesView bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        if (i + 2 < bytes.size() && bytes[i + 1] == '-') {
            addRange(set, byteAt(bytes, i), byteAt(bytes, i + 2));
            i += 3;
        } else {
            set.set(byteAt(bytes, i));
            ++i;
        }
    }
}

}  // namespace payfmt
