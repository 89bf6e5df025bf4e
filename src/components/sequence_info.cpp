#include "components/sequence_info.h"

namespace payfmt {

namespace {

constexpr std::string_view kHelpFile = "Messages";
constexpr std::string_view kDynamicHelpFile = "format";
constexpr std::uint32_t kReadOnlyCount = 0x4000400;
constexpr std::uint32_t kBitValue = 0x400;

}  // namespace

void raiseNotHexadecimal(std::string_view source) {
    throw EKORError(kErrNotHexadecimal, std::string(source), "Value must be hexadecimal");
}

TSequenceInfo::TSequenceInfo(ComponentClass cls, const SequenceLayout& layout)
    : TKORComponentInfo(std::move(cls), layout.classId), layout_(layout) {
    const bool bitSequence = layout.bytes.empty();
    AddProperty(kDispDynamicProperties, "DynamicProperties")
        .Describe("Number of dynamic properties")
        .Help(kHelpFile, "DynamicProperties")
        .Attributes(kReadOnlyCount);
    AddProperty(kDispValue, "Value")
        .Describe("Value of the sequence")
        .Help(kHelpFile, "Value")
        .Attributes(bitSequence ? kBitValue : 0);
    AddMethod(kDispAddProperty, "AddProperty").Describe("Adds a definition bit").Help(kHelpFile, "AddProperty");

    const std::size_t bits = layout.bits.size();
    for (std::size_t i = 0; i < bits; ++i) AddDynamicProperty("Bit" + std::to_string(bits - i), layout.bits[i], i + 1);
    for (std::size_t i = 1; i <= layout.bytes.size(); ++i) {
        const std::string n = std::to_string(i);
        AddDynamicProperty("Byte" + n, "Byte " + n, i);
    }

    if (layout.extraName.empty()) Register();
    else Register({layout.extraName});
}

std::int32_t TSequenceInfo::AddDynamicProperty(std::string_view name, std::string_view description,
                                               std::size_t number) {
    ++count_;
    AddProperty(kDispDynamicBase + count_, name).Describe(description).Help(kDynamicHelpFile, std::to_string(number));
    return count_;
}

}  // namespace payfmt
