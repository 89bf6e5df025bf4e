#include "support/codepage.h"

namespace payfmt {

namespace {

#include "support/codepage_tables.inc"

constexpr ByteTable invert(const ByteTable& t) {
    ByteTable r{};
    for (unsigned i = 0; i < 256; ++i) r[t[i]] = static_cast<std::uint8_t>(i);
    return r;
}

constexpr ByteTable kCp500ToLatin1 = invert(kLatin1ToCp500);
constexpr ByteTable kCp037ToLatin1 = invert(kLatin1ToCp037);
constexpr ByteTable kCp278ToLatin1 = invert(kLatin1ToCp278);
constexpr ByteTable kCp285ToLatin1 = invert(kLatin1ToCp285);

const CodePage kPages[] = {
    {"500", kLatin1ToCp500, kCp500ToLatin1},
    {"037", kLatin1ToCp037, kCp037ToLatin1},
    {"278", kLatin1ToCp278, kCp278ToLatin1},
    {"285", kLatin1ToCp285, kCp285ToLatin1},
};

}  // namespace

std::span<const CodePage> codePages() { return kPages; }

const CodePage* findCodePage(std::string_view number) {
    for (const auto& p : kPages)
        if (p.number == number) return &p;
    return nullptr;
}

const ByteTable* builtinConversion(std::uint32_t conversion) {
    if (conversion == kConvLatin1ToCp500) return &kLatin1ToCp500;
    if (conversion == kConvCp500ToLatin1) return &kCp500ToLatin1;
    return nullptr;
}

}  // namespace payfmt
