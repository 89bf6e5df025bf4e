#pragma once
// A KOROBJ as the component it stands for.
#include <string>
#include <string_view>

#include "api/boundary.h"
#include "payfmt/kor.h"
#include "framework/automation_object.h"

namespace payfmt {

// Throws VEX_E_POINTER for null and VEX_E_INVALIDARG for an object that is
// not a component.
inline TAutomationObject& componentOf(KOROBJ obj, std::string_view source) {
    requirePointer(obj, source, "component");
    RefObject* object = fromHandle(obj);
    if (!object->isComponent()) throwVex(VEX_E_INVALIDARG, std::string(source), "The object is not a component");
    return static_cast<TAutomationObject&>(*object);
}

}  // namespace payfmt
