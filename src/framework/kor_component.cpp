#include "framework/kor_component.h"

#include "framework/component_info.h"
#include "framework/errors.h"

namespace payfmt {

Ref<TCloneableObject> TKORComponent::Clone() const {
    const TKORComponentInfo* info = GetComponentInfo();
    if (!info) {
        throw ENotSupported(KOR_C_NOTSUPPORTED, "Quorvin.KOR.TCloneableObject.Clone",
                            "A component without class information cannot be cloned");
    }
    return info->CreateInstance({});
}

std::string_view TKORComponent::ClassName() const {
    const TKORComponentInfo* info = GetComponentInfo();
    return info ? std::string_view(info->ClassName()) : std::string_view("TKORComponent");
}

const TComponentDescriptorAdapter* TKORComponent::ComponentDescriptor() const { return GetComponentInfo(); }

const TKORComponentInfo* TKORComponent::GetComponentInfo() const { return nullptr; }

}  // namespace payfmt
