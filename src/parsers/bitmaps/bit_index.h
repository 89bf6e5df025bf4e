#pragma once
// The definitions of a bitmap family by their Bit, found as a search of the
// definition tree would find them (the first in pre-order) without searching
// for every field of every message.
#include <array>

#include "support/tree.h"

namespace payfmt {

class Parser;

class BitIndex {
public:
    static constexpr int kHighestBit = 255;

    // Indexes the definitions below root; 0 empties the index.
    void build(NodeId root);
    // The definition whose Bit is bit; 0 when there is none. Definitions
    // edited through their handle since are searched for.
    NodeId find(int bit) const;

    // find for a bit a message announces: a missing definition is reported
    // as an error of the parser's.
    NodeId require(Parser& parser, int bit) const;

private:
    NodeId root_ = 0;
    std::array<NodeId, kHighestBit + 1> byBit_{};
};

}  // namespace payfmt
