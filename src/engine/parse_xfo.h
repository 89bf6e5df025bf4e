#pragma once
// Splitting a format into operators: the first operator's name (upper case)
// and arguments, and the rest of the text. Registered sequence names are
// expanded textually on the way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/variant.h"

namespace payfmt {

class ParserCore;
class TFormatError;
class SequenceStore;

constexpr std::uint32_t kErrBadParameterChar = 0xE206002D;
constexpr std::uint32_t kErrSequenceLoop = 0xE206000E;
constexpr std::uint32_t kErrTooManyOperators = 0xE206000F;

// A report that splitting produced, kept so that it can be recorded at the
// moment the engine reaches this operator.
struct XfoFailure {
    std::uint32_t code = 0;
    std::string arg1, arg2;
};

struct XfoSplit {
    std::string name = "NONE";
    std::vector<Variant> args;
    bool hasArgs = false;  // the operator had parentheses
    std::string rest;
    std::optional<XfoFailure> failure;
};

// How many sequence expansions one chain may go through before it is taken
// for a sequence that expands into itself through its own text.
constexpr int kExpansionBudget = 256;

// Splits off the first operator without recording anything.
XfoSplit splitOperator(std::string_view text, bool strict, const SequenceStore& sequences, int& expansionBudget);

// Records a failure that splitting left, at the engine's splitting location.
void recordXfoFailure(TFormatError& errors, const XfoFailure& failure);

// The engine's ParseXFO: splits and records the failure, if any, in the
// parser's error context.
XfoSplit ParseXFO(ParserCore& parser, std::string_view text, bool strict);

}  // namespace payfmt
