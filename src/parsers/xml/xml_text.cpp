#include "parsers/xml/xml_text.h"

#include <cstdint>

namespace payfmt::xml {

namespace {

// The code point at text[at], advancing at; -1 for a malformed sequence.
std::int32_t next(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    int length = 0;
    std::int32_t c = 0, least = 0;
    if ((lead & 0xE0) == 0xC0) length = 2, c = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0) length = 3, c = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0) length = 4, c = lead & 0x07, least = 0x10000;
    else return -1;
    if (text.size() - at < static_cast<std::size_t>(length)) return -1;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return -1;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
    at += static_cast<std::size_t>(length);
    return c;
}

bool isChar(std::int32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

struct Range {
    std::int32_t first, last;
};

constexpr Range kNameStart[] = {
    {'A', 'Z'},        {'_', '_'},         {'a', 'z'},         {0xC0, 0xD6},       {0xD8, 0xF6},
    {0xF8, 0x2FF},     {0x370, 0x37D},     {0x37F, 0x1FFF},    {0x200C, 0x200D},   {0x2070, 0x218F},
    {0x2C00, 0x2FEF},  {0x3001, 0xD7FF},   {0xF900, 0xFDCF},   {0xFDF0, 0xFFFD},   {0x10000, 0xEFFFF},
};
constexpr Range kNameOther[] = {{'-', '-'}, {'.', '.'}, {'0', '9'}, {0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040}};

bool in(std::int32_t c, const auto& ranges) {
    for (const Range& r : ranges)
        if (c >= r.first && c <= r.last) return true;
    return false;
}

}  // namespace

bool isXmlText(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const std::int32_t c = next(utf8, at);
        if (c < 0 || !isChar(c)) return false;
    }
    return true;
}

bool isQualifiedName(std::string_view utf8) {
    bool partStart = true, colonSeen = false;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::int32_t c = next(utf8, at);
        if (c < 0) return false;
        if (c == ':') {
            if (partStart || colonSeen) return false;
            colonSeen = partStart = true;
            continue;
        }
        if (!(in(c, kNameStart) || (!partStart && in(c, kNameOther)))) return false;
        partStart = false;
    }
    return !partStart;
}

}  // namespace payfmt::xml
