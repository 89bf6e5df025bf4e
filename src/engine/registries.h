#pragma once
// The two operator registries: every operator in the conversion registry,
// and the names that may open an input mask in the validation registry.
#include "engine/reg_name.h"

namespace payfmt {

TRegName& conversionRegistry();
TRegName& validationRegistry();

}  // namespace payfmt
