#include "components/sequence_component.h"

namespace payfmt {

void TSequenceComponent::ensurePrepared() {
    if (count_ > 0) return;
    const TSequenceInfo& info = *GetComponentInfo();
    Prepare(info);
    count_ = info.DynamicCount();
}

void TSequenceComponent::DoGetProperty(std::int32_t dispid, Variant& value) {
    ensurePrepared();
    if (dispid == kDispValue) value = GetValue();
    else if (dispid == kDispDynamicProperties) value = Variant::integer(count_);
    else if (const auto k = dynamicIndex(dispid, static_cast<std::size_t>(count_))) value = GetItem(*k);
    else TKORComponent::DoGetProperty(dispid, value);
}

void TSequenceComponent::DoSetProperty(std::int32_t dispid, const Variant& value) {
    ensurePrepared();
    if (dispid == kDispValue) SetValue(value);
    else if (const auto k = dynamicIndex(dispid, static_cast<std::size_t>(count_))) SetItem(*k, value);
    else TKORComponent::DoSetProperty(dispid, value);
}

}  // namespace payfmt
