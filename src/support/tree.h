#pragma once
// Trees of named nodes kept in one process-wide handle table. A node is
// reached only through its 32-bit handle, which is also its unique
// identifier; a handle that names no live node is refused, never followed.
//
// Handles are an index (low 22 bits, plus one so that 0 means "none") and a
// generation (high 10 bits) that changes each time a slot is freed. Freed
// slots are reused oldest first and only once thousands of them wait, so a
// stale handle keeps being refused for a very long time.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/node_props.h"

namespace payfmt {

using NodeId = std::uint32_t;

constexpr std::uint32_t kGroupAttrib = 0x80;

struct Node {
    std::string name;
    NodeProps props;
    std::uint32_t attrib = 0;
    NodeId parent = 0;
    std::vector<NodeId> children;

    bool isGroup() const { return (attrib & kGroupAttrib) != 0; }
};

class NodeTable {
public:
    static NodeTable& instance() {
        static NodeTable table;
        return table;
    }

    static constexpr unsigned kIndexBits = 22;
    static constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

    NodeId create(std::string_view name, std::uint32_t attrib);
    // The live node, or null for a stale or invalid handle.
    Node* find(NodeId id) {
        const std::uint32_t index = id & kIndexMask;
        if (index == 0 || index > slotCount_) return nullptr;
        Slot& s = slot(index - 1);
        if (!s.live || s.generation != (id >> kIndexBits)) return nullptr;
        return &s.node;
    }
    // The live node; throws VexError(VEX_E_HANDLE) for any other handle.
    Node& get(NodeId id) {
        Node* n = find(id);
        if (!n) badHandle(id);
        return *n;
    }
    bool alive(NodeId id) { return find(id) != nullptr; }

    // Makes child the index-th child of parent (index < 0 or past the end
    // appends), unlinking it from a former parent. Refuses to make a node its
    // own ancestor.
    void addChild(NodeId parent, NodeId child, std::int64_t index);
    // Unlinks the node from its parent and deletes it with its subtree.
    void remove(NodeId id);
    // A parentless copy of the node, with its subtree when deep.
    NodeId copy(NodeId id, bool deep);

    NodeId child(NodeId id, std::size_t index);
    NodeId nextSibling(NodeId id);
    // Pre-order successor of node below root (0 when the walk is done).
    NodeId nextNode(NodeId root, NodeId node);
    std::uint32_t level(NodeId id);
    // First node after start in pre-order below start whose property name
    // compares equal to value.
    NodeId search(NodeId start, std::string_view name, const Variant& value);

    std::size_t liveCount() const { return live_; }

private:
    NodeTable() = default;
    struct Slot {
        std::uint32_t generation = 0;
        bool live = false;
        Node node;
    };
    void release(NodeId id);
    NodeId copyOne(NodeId id);
    [[noreturn]] static void badHandle(NodeId id);

    // Slots live in fixed chunks, so that a Node stays where it is while the
    // table grows.
    static constexpr std::size_t kChunk = 256;
    Slot& slot(std::size_t index) { return chunks_[index / kChunk][index % kChunk]; }
    std::vector<std::unique_ptr<Slot[]>> chunks_;
    std::size_t slotCount_ = 0;
    std::deque<std::uint32_t> free_;
    std::vector<NodeId> removing_;  // remove's work list
    std::vector<std::pair<NodeId, NodeId>> copying_;  // copy's
    std::size_t live_ = 0;
};

// Shorthand for the process-wide table.
inline NodeTable& nodes() { return NodeTable::instance(); }

// Owns a whole tree: deletes it (if still alive) when it goes.
class OwnedTree {
public:
    OwnedTree() = default;
    explicit OwnedTree(NodeId root) : root_(root) {}
    OwnedTree(const OwnedTree&) = delete;
    OwnedTree& operator=(const OwnedTree&) = delete;
    OwnedTree(OwnedTree&& o) noexcept : root_(o.release()) {}
    OwnedTree& operator=(OwnedTree&& o) noexcept;
    ~OwnedTree() { reset(); }
    NodeId get() const { return root_; }
    NodeId release() {
        NodeId r = root_;
        root_ = 0;
        return r;
    }
    void reset(NodeId root = 0);

private:
    NodeId root_ = 0;
};

}  // namespace payfmt
