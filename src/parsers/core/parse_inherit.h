#pragma once
// The settings a node hands down to its children, and a parser to the root.
#include <cstdint>

namespace payfmt {

struct TParseInherit {
    bool allowNull = false;
    bool processNull = true;
    std::int32_t recurseLevel = 32767;  // how many more levels of groups may be entered
    bool checkRemainder = true;         // data left after the last child is reported
    bool tSetGroups = true;
    // Fields hold their place by position (EDIFACT elements): an empty one
    // is written like any other, whatever ProcessNull says below.
    bool keepPlace = false;
};

}  // namespace payfmt
