#pragma once
// VEXPROPS handles, shared by the property-list and tree functions.
#include "payfmt/vex.h"
#include "support/props.h"

namespace payfmt {

// A new handle owning the list.
VEXPROPS newPropsHandle(Props props);
// The list behind a handle; throws VEX_E_POINTER for a null handle.
const Props& propsOfHandle(VEXPROPS p);

}  // namespace payfmt
