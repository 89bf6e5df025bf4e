#pragma once
// EBCDIC code pages against ISO 8859-1, each a bijection of the 256 byte
// values. Conversion 1 is ISO 8859-1 to IBM 500 and 2 its inverse; the other
// pages are selected by name.
#include <array>
#include <span>
#include <cstdint>
#include <string_view>

#include "support/bytes.h"

namespace payfmt {

using ByteTable = std::array<std::uint8_t, 256>;

struct CodePage {
    std::string_view number;  // "500", "037", "278", "285"
    const ByteTable& toEbcdic;
    const ByteTable& toLatin1;
};

// Every page this build knows, IBM 500 first.
std::span<const CodePage> codePages();
const CodePage* findCodePage(std::string_view number);

constexpr std::uint32_t kConvLatin1ToCp500 = 1;
constexpr std::uint32_t kConvCp500ToLatin1 = 2;

// The table of a built-in conversion (1 or 2), or null.
const ByteTable* builtinConversion(std::uint32_t conversion);

inline void recode(std::span<std::uint8_t> data, const ByteTable& table) {
    for (auto& b : data) b = table[b];
}

inline void recode(Bytes& data, const ByteTable& table) {
    for (char& c : data) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

}  // namespace payfmt
