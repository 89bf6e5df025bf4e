#pragma once
// 16-byte class identifiers, written in the registry form
// "e3653435-c7bf-0000-bd9c-87f1eae8eba9". The bytes are kept in the order
// of the text; only the text form ever leaves the library.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace payfmt {

class ClassId {
public:
    ClassId() = default;
    // nullopt unless the text is 8-4-4-4-12 hexadecimal digits.
    static std::optional<ClassId> parse(std::string_view text);

    bool isNull() const;
    std::string text() const;  // lower case
    bool operator==(const ClassId&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

}  // namespace payfmt
