#pragma once
// A component whose class has a component-info object: the info describes
// the members, names the class and makes new instances.
#include <string_view>

#include "framework/automation_object.h"

namespace payfmt {

class TKORComponentInfo;

class TKORComponent : public TAutomationObject {
public:
    // Made through the class's info; without one, ENotSupported.
    Ref<TCloneableObject> Clone() const override;
    std::string_view ClassName() const override;
    // The info's descriptor.
    const TComponentDescriptorAdapter* ComponentDescriptor() const override;

    // The info object built once for this component's class; none by default.
    virtual const TKORComponentInfo* GetComponentInfo() const;
};

}  // namespace payfmt
