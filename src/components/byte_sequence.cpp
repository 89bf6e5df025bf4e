#include "components/byte_sequence.h"

#include <algorithm>

#include "support/ascii.h"
#include "support/object_registry.h"

namespace payfmt {

namespace {

constexpr std::string_view kSourceSetValue = "TByteSequence.Set_Value";

Ref<TAutomationObject> createByte(std::string_view name) {
    const Ref<RefObject> made = ObjectRegistry::instance().create(name, {});
    auto* component = dynamic_cast<TAutomationObject*>(made.get());
    if (!component) {
        throw EKORError(VEX_E_UNEXPECTED | 0xC0000000u, "TByteSequence.CreateByteComponents",
                        "'" + std::string(name) + "' is not a component");
    }
    return Ref<TAutomationObject>::share(component);
}

}  // namespace

void TByteSequence::Prepare(const TSequenceInfo& info) {
    std::vector<Ref<TAutomationObject>> made;
    for (std::string_view name : info.Layout().bytes) made.push_back(createByte(name));
    bytes_ = std::move(made);
}

Variant TByteSequence::GetValue() const {
    std::string hex;
    for (const auto& byte : bytes_) {
        Variant part;
        byte->GetProperty(kDispValue, part);
        hex += part.bytes();
    }
    return Variant::text(hex);
}

void TByteSequence::SetValue(const Variant& value) {
    const auto text = value.toText();
    if (!text) raiseNotHexadecimal(kSourceSetValue);
    if (text->size() != 2 * bytes_.size())
        throw EKORError(kErrHexLength, std::string(kSourceSetValue), "Invalid hexadecimal string length");
    // Checked whole before any byte changes, so a bad text leaves the value as it was.
    if (!std::all_of(text->begin(), text->end(), [](char c) { return hexValue(c) >= 0; }))
        raiseNotHexadecimal(kSourceSetValue);
    for (std::size_t k = 0; k < bytes_.size(); ++k)
        bytes_[k]->SetProperty(kDispValue, Variant::text(std::string_view(*text).substr(2 * k, 2)));
}

Variant TByteSequence::GetItem(std::size_t index) const { return Variant::object(bytes_[index].get()); }

void TByteSequence::SetItem(std::size_t index, const Variant& value) { bytes_[index]->SetProperty(kDispValue, value); }

}  // namespace payfmt
