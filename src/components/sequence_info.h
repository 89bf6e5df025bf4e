#pragma once
// What every bit and byte sequence component shares: its layout, the fixed
// members (Value, DynamicProperties, AddProperty), the dynamic properties
// (one per bit or per byte, dispid 768 + its number) and the errors.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/component_info.h"

namespace payfmt {

struct SequenceLayout {
    std::string_view className;
    std::string_view classId;
    std::string_view extraName;                // a second registered name, or empty
    std::span<const std::string_view> bits;    // descriptions of Bit8 ... Bit1 (bit sequences)
    std::span<const std::string_view> bytes;   // component names of Byte1 ... (byte sequences)
};

inline constexpr std::int32_t kDispValue = 0;
inline constexpr std::int32_t kDispDynamicProperties = 258;
inline constexpr std::int32_t kDispAddProperty = 513;
inline constexpr std::int32_t kDispDynamicBase = 768;

inline constexpr Status kErrNotHexadecimal = 0xE2060000;
inline constexpr Status kErrNotBoolean = 0xE2060001;
inline constexpr Status kErrHexLength = 0xE2060002;

// Index (from 0) of the dynamic property with that dispid, if the sequence
// has it.
inline std::optional<std::size_t> dynamicIndex(std::int32_t dispid, std::size_t count) {
    const std::int64_t k = std::int64_t{dispid} - kDispDynamicBase;
    if (k < 1 || static_cast<std::uint64_t>(k) > count) return std::nullopt;
    return static_cast<std::size_t>(k - 1);
}

[[noreturn]] void raiseNotHexadecimal(std::string_view source);

class TSequenceInfo : public TKORComponentInfo {
public:
    const SequenceLayout& Layout() const { return layout_; }
    // Bits or bytes the sequence has.
    std::int32_t DynamicCount() const { return count_; }

protected:
    // Adds the fixed members, then the bits (Bit8 first) or the bytes, and
    // registers the class.
    TSequenceInfo(ComponentClass cls, const SequenceLayout& layout);

    // A property with dispid 768 + the new count; answers the new count.
    std::int32_t AddDynamicProperty(std::string_view name, std::string_view description, std::size_t number);

private:
    const SequenceLayout& layout_;
    std::int32_t count_ = 0;
};

}  // namespace payfmt
