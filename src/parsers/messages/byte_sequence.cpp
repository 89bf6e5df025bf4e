#include "parsers/messages/byte_sequence.h"

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

void TByteSequence::prepare() {
    if (count_ > 0) return;
    std::vector<Ref<TAutomationObject>> made;
    for (std::string_view name : GetComponentInfo()->Layout().bytes) made.push_back(createByte(name));
    bytes_ = std::move(made);
    count_ = static_cast<std::int32_t>(bytes_.size());
}

void TByteSequence::setHexValue(const Variant& value) {
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

void TByteSequence::DoGetProperty(std::int32_t dispid, Variant& value) {
    prepare();
    if (dispid == kDispValue) {
        std::string hex;
        for (const auto& byte : bytes_) {
            Variant part;
            byte->GetProperty(kDispValue, part);
            hex += part.bytes();
        }
        value = Variant::text(hex);
    } else if (dispid == kDispDynamicProperties) {
        value = Variant::integer(count_);
    } else if (const auto k = dynamicIndex(dispid, bytes_.size())) {
        value = Variant::object(bytes_[*k].get());
    } else {
        TKORComponent::DoGetProperty(dispid, value);
    }
}

void TByteSequence::DoSetProperty(std::int32_t dispid, const Variant& value) {
    prepare();
    if (dispid == kDispValue) {
        setHexValue(value);
    } else if (const auto k = dynamicIndex(dispid, bytes_.size())) {
        bytes_[*k]->SetProperty(kDispValue, value);
    } else {
        TKORComponent::DoSetProperty(dispid, value);
    }
}

}  // namespace payfmt
