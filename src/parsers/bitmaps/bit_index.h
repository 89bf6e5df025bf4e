#pragma once
// The definitions of a bitmap family by their Bit, found as a search of the
// definition tree finds them (the first in pre-order), without searching for
// every field of every message. It is built for each parse over the
// definitions as they stand then, edits made through their handle included.
#include <array>

#include "support/tree.h"

namespace payfmt {

class Parser;

class BitIndex {
public:
    static constexpr int kHighestBit = 255;

    // Indexes the definitions below root; 0 empties the index.
    void build(NodeId root);
    // The definition whose Bit is bit; 0 when there is none.
    NodeId find(int bit) const {
        return bit >= 0 && bit <= kHighestBit ? byBit_[static_cast<std::size_t>(bit)] : 0;
    }
    // find for a bit a message announces: a missing definition is reported
    // as an error of the parser's.
    NodeId require(Parser& parser, int bit) const;

private:
    std::array<NodeId, kHighestBit + 1> byBit_{};
};

}  // namespace payfmt
