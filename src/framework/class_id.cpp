#include "framework/class_id.h"

#include <algorithm>

#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::size_t kTextLength = 36;
constexpr bool isDash(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

}  // namespace

std::optional<ClassId> ClassId::parse(std::string_view text) {
    if (text.size() != kTextLength) return std::nullopt;
    ClassId id;
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDash(i)) {
            if (text[i] != '-') return std::nullopt;
            continue;
        }
        const int v = hexValue(text[i]);
        if (v < 0) return std::nullopt;
        id.bytes_[nibble / 2] |= static_cast<std::uint8_t>(nibble % 2 ? v : v << 4);
        ++nibble;
    }
    return id;
}

bool ClassId::isNull() const {
    return std::all_of(bytes_.begin(), bytes_.end(), [](std::uint8_t b) { return b == 0; });
}

std::string ClassId::text() const {
    std::string r;
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) r += '-';
        r += toLower(hexDigit(bytes_[i] >> 4));
        r += toLower(hexDigit(bytes_[i]));
    }
    return r;
}

}  // namespace payfmt
