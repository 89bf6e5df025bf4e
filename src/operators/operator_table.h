#pragma once
// The one list of operators: every name, its implementation, and whether it
// may also open an input mask.
#include <span>
#include <string_view>

#include "engine/op_context.h"

namespace payfmt {

struct OperatorDef {
    std::string_view name;
    Operator op;
    bool validation;  // also in the validation registry
};

std::span<const OperatorDef> operatorTable();

// Fills the conversion and validation registries from the table (once).
void registerOperators();

}  // namespace payfmt
