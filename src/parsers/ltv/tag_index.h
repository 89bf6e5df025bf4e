#pragma once
// The definitions of a definition tree by their Tag text, for the lookup that
// runs for every element of every message: what a search of the tree in
// pre-order finds first, without walking the tree each time.
#include <cstdint>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "support/tree.h"

namespace payfmt {

class TagIndex {
public:
    // Indexes the tree below root, leaving out the node skip (the fallback
    // definition, whose Tag changes as tags are looked up).
    void build(NodeId root, NodeId skip);
    void clear() {
        entries_.clear();
        slots_.clear();
        root_ = skip_ = 0;
    }
    // The first node in pre-order whose Tag equals tag; 0 when none. The
    // tree may have been edited since it was indexed (a host can reach the
    // definitions): a node that no longer carries the tag is not answered,
    // and a tag the index does not hold is searched for in the tree.
    NodeId find(std::string_view tag) const;

private:
    struct Entry {
        std::string tag;
        NodeId node;
    };
    // Tags of up to seven characters (every BER tag's text) packed into a
    // number, with their length, for an open-addressed table.
    static std::uint64_t packed(std::string_view tag);
    static constexpr std::size_t kPackable = 7;
    NodeId search(std::string_view tag) const;

    std::vector<Entry> entries_;  // sorted by tag: the longer ones
    std::vector<std::pair<std::uint64_t, NodeId>> slots_;  // key 0: free
    NodeId root_ = 0, skip_ = 0;
};

}  // namespace payfmt
