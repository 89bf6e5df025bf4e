#pragma once
// The one list of operators: every name, its implementation, and the one
// that checks a field when the name opens an input mask.
#include <span>
#include <string_view>

#include "engine/op_context.h"

namespace payfmt {

struct OperatorDef {
    std::string_view name;
    Operator op;
    Operator check;  // in the validation registry; null for a name no mask opens
};

std::span<const OperatorDef> operatorTable();

// Fills the conversion and validation registries from the table (once).
void registerOperators();

}  // namespace payfmt
