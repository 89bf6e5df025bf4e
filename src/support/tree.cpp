#include "support/tree.h"

#include <algorithm>

#include "support/error_info.h"

namespace payfmt {

namespace {

constexpr std::uint32_t kIndexMask = NodeTable::kIndexMask;
constexpr unsigned kIndexBits = NodeTable::kIndexBits;
constexpr std::uint32_t kGenerationMask = (1u << (32 - kIndexBits)) - 1;
constexpr std::size_t kMaxSlots = kIndexMask - 1;
// Freed slots wait in line until this many are free, so a handle is not
// handed out again soon after its node was deleted.
constexpr std::size_t kReuseAfter = 4096;

constexpr NodeId makeHandle(std::size_t index, std::uint32_t generation) {
    return (generation << kIndexBits) | static_cast<std::uint32_t>(index + 1);
}

}  // namespace

void NodeTable::badHandle(NodeId id) {
    throwVex(VEX_E_HANDLE, "VEXTree", "Invalid tree node handle " + std::to_string(id));
}

NodeId NodeTable::create(std::string_view name, std::uint32_t attrib) {
    std::size_t index;
    if (free_.size() > kReuseAfter || (slotCount_ >= kMaxSlots && !free_.empty())) {
        index = free_.front();
        free_.pop_front();
    } else {
        if (slotCount_ >= kMaxSlots) throwVex(VEX_E_NOMEMORY, "VEXTree", "Too many tree nodes");
        if (slotCount_ % kChunk == 0) chunks_.push_back(std::make_unique<Slot[]>(kChunk));
        index = slotCount_++;
    }
    Slot& s = slot(index);
    s.live = true;
    s.node.name.assign(name);
    s.node.attrib = attrib;
    ++live_;
    return makeHandle(index, s.generation);
}

void NodeTable::addChild(NodeId parent, NodeId child, std::int64_t index) {
    Node& p = get(parent);
    Node& c = get(child);
    // Only a node with children of its own can be an ancestor of the parent;
    // a new leaf is checked at once, whatever the depth of the tree.
    if (parent == child) throwVex(VEX_E_INVALIDARG, "VEXTreeAddChild", "A node cannot become a child of its own subtree");
    if (!c.children.empty()) {
        for (NodeId a = p.parent; a; a = get(a).parent)
            if (a == child)
                throwVex(VEX_E_INVALIDARG, "VEXTreeAddChild", "A node cannot become a child of its own subtree");
    }
    if (c.parent) {
        auto& siblings = get(c.parent).children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), child));
    }
    c.parent = parent;
    if (index < 0 || static_cast<std::size_t>(index) >= p.children.size()) p.children.push_back(child);
    else p.children.insert(p.children.begin() + index, child);
}

void NodeTable::release(NodeId id) {
    const std::uint32_t index = (id & kIndexMask) - 1;
    Slot& s = slot(index);
    s.live = false;
    // The name's and children's storage stays for the slot's next node.
    s.node.name.clear();
    s.node.props.clear();
    s.node.attrib = 0;
    s.node.parent = 0;
    s.node.children.clear();
    s.generation = (s.generation + 1) & kGenerationMask;
    free_.push_back(index);
    --live_;
}

void NodeTable::remove(NodeId id) {
    Node& n = get(id);
    if (n.parent) {
        auto& siblings = get(n.parent).children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), id));
        n.parent = 0;
    }
    // Iterative, so that a very deep tree cannot exhaust the stack; the
    // list of nodes still to go is kept for the next deletion.
    std::vector<NodeId>& pending = removing_;
    const std::size_t bottom = pending.size();
    pending.push_back(id);
    while (pending.size() > bottom) {
        const NodeId cur = pending.back();
        pending.pop_back();
        const Node& c = get(cur);
        pending.insert(pending.end(), c.children.begin(), c.children.end());
        release(cur);
    }
}

NodeId NodeTable::copyOne(NodeId id) {
    const Node& from = get(id);  // a stale handle is refused before anything is made
    const NodeId c = create(from.name, from.attrib);
    get(c).props = get(id).props;  // shared until either side changes it
    return c;
}

NodeId NodeTable::copy(NodeId id, bool deep) {
    const NodeId root = copyOne(id);
    if (!deep || get(id).children.empty()) return root;
    // Iterative, as for deleting; the work list is kept for the next copy.
    std::vector<std::pair<NodeId, NodeId>>& pending = copying_;  // (source, copy)
    const std::size_t bottom = pending.size();
    try {
        pending.emplace_back(id, root);
        while (pending.size() > bottom) {
            const auto [from, to] = pending.back();
            pending.pop_back();
            const std::size_t count = get(from).children.size();
            get(to).children.reserve(count);
            for (std::size_t i = 0; i < count; ++i) {
                const NodeId k = get(from).children[i];
                const NodeId c = copyOne(k);
                get(c).parent = to;
                get(to).children.push_back(c);
                if (!get(k).children.empty()) pending.emplace_back(k, c);
            }
        }
    } catch (...) {
        // Out of nodes or memory part-way: nothing of the copy stays.
        pending.resize(bottom);
        remove(root);
        throw;
    }
    return root;
}

NodeId NodeTable::child(NodeId id, std::size_t index) {
    const Node& n = get(id);
    return index < n.children.size() ? n.children[index] : 0;
}

NodeId NodeTable::nextSibling(NodeId id) {
    const Node& n = get(id);
    if (!n.parent) return 0;
    const auto& sib = get(n.parent).children;
    auto it = std::find(sib.begin(), sib.end(), id);
    return (it != sib.end() && it + 1 != sib.end()) ? *(it + 1) : 0;
}

NodeId NodeTable::nextNode(NodeId root, NodeId node) {
    const Node& n = get(node);
    if (!n.children.empty()) return n.children.front();
    for (NodeId cur = node; cur && cur != root; cur = get(cur).parent)
        if (NodeId s = nextSibling(cur)) return s;
    return 0;
}

std::uint32_t NodeTable::level(NodeId id) {
    std::uint32_t l = 0;
    for (NodeId p = get(id).parent; p; p = get(p).parent) ++l;
    return l;
}

NodeId NodeTable::search(NodeId start, std::string_view name, const Variant& value) {
    get(start);
    for (NodeId cur = nextNode(start, start); cur; cur = nextNode(start, cur)) {
        const Variant* v = get(cur).props.find(name);
        if (v && *v == value) return cur;
    }
    return 0;
}

OwnedTree& OwnedTree::operator=(OwnedTree&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
}

void OwnedTree::reset(NodeId root) {
    if (root_ && nodes().alive(root_)) nodes().remove(root_);
    root_ = root;
}

}  // namespace payfmt
