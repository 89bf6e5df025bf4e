#pragma once
// A set of byte values, as input masks and character-set arguments use them.
#include <array>
#include <bitset>
#include <cstdint>

namespace payfmt {

using CharSet = std::bitset<256>;

inline bool contains(const CharSet& set, unsigned char b) { return set.test(b); }

inline void addRange(CharSet& set, unsigned lo, unsigned hi) {
    for (unsigned c = lo; c <= hi && c < 256; ++c) set.set(c);
}

// The 26 lettered classes, "A" at index 0.
using CharClasses = std::array<CharSet, 26>;

// What a new parser starts with: A letters, B every byte, F and P the blank,
// H hexadecimal digits, I "0" and "1", N decimal digits, S blank and ASCII
// punctuation, X "+-CD"; the other letters are empty.
CharClasses defaultCharClasses();

}  // namespace payfmt
