#include "engine/char_set.h"

namespace payfmt {

CharClasses defaultCharClasses() {
    CharClasses c{};
    auto at = [&](char letter) -> CharSet& { return c[static_cast<std::size_t>(letter - 'A')]; };
    addRange(at('A'), 'A', 'Z');
    addRange(at('A'), 'a', 'z');
    at('B').set();
    at('F').set(' ');
    addRange(at('H'), '0', '9');
    addRange(at('H'), 'A', 'F');
    addRange(at('H'), 'a', 'f');
    addRange(at('I'), '0', '1');
    addRange(at('N'), '0', '9');
    at('P').set(' ');
    addRange(at('S'), 0x20, 0x2F);
    addRange(at('S'), 0x3A, 0x40);
    addRange(at('S'), 0x5B, 0x60);
    addRange(at('S'), 0x7B, 0x7E);
    for (char x : {'+', '-', 'C', 'D'}) at('X').set(static_cast<unsigned char>(x));
    return c;
}

}  // namespace payfmt
