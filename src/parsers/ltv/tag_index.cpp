#include "parsers/ltv/tag_index.h"

#include <algorithm>
#include <memory>

#include "parsers/core/property_names.h"
#include "parsers/core/resolved_node.h"

namespace payfmt {

namespace {

// The Tag of a node as the lookup compares it: text as it is; a number (a
// tree written by hand may hold 1 for "1") as its text.
bool tagOf(const Node& n, std::string& text) {
    const Variant* v = n.props.find(prop::kTag);
    if (!v) return false;
    if (v->isStr()) {
        text.assign(v->bytes());
        return true;
    }
    auto t = v->toText();
    if (!t) return false;
    text = std::move(*t);
    return true;
}

bool carries(NodeId node, std::string_view tag) {
    Node* n = nodes().find(node);
    if (!n) return false;
    // A definition's worked-out settings hold its Tag as text, when it is.
    std::unique_ptr<ResolvedNode> own;
    if (const ResolvedNode* settled = ResolvedNode::of(n->props, own)) return settled->tag == tag;
    const Variant* v = n->props.find(prop::kTag);
    return v && v->isStr() && v->bytes() == tag;
}

}  // namespace

void TagIndex::build(NodeId root, NodeId skip) {
    entries_.clear();
    root_ = root;
    skip_ = skip;
    std::string tag;
    for (NodeId n = nodes().nextNode(root, root); n; n = nodes().nextNode(root, n)) {
        if (n == skip || !tagOf(nodes().get(n), tag)) continue;
        entries_.push_back({tag, n});
    }
    // The first in pre-order wins among equal tags.
    std::ranges::stable_sort(entries_, {}, &Entry::tag);
    const auto [first, last] = std::ranges::unique(entries_, {}, &Entry::tag);
    entries_.erase(first, last);

    // The short tags move to the table, at most half full.
    std::size_t size = 16;
    while (size < 2 * entries_.size()) size *= 2;
    slots_.assign(size, {0, 0});
    std::erase_if(entries_, [&](const Entry& e) {
        if (e.tag.size() > kPackable) return false;
        const std::uint64_t key = packed(e.tag);
        std::size_t i = key * 0x9E3779B97F4A7C15ull >> 40;
        while (slots_[i & (size - 1)].first) ++i;
        slots_[i & (size - 1)] = {key, e.node};
        return true;
    });
}

std::uint64_t TagIndex::packed(std::string_view tag) {
    std::uint64_t key = std::uint64_t{tag.size() + 1} << 56;  // never 0, the free slot
    for (std::size_t i = 0; i < tag.size(); ++i) key |= std::uint64_t{static_cast<unsigned char>(tag[i])} << (8 * i);
    return key;
}

NodeId TagIndex::find(std::string_view tag) const {
    NodeId node = 0;
    if (tag.size() <= kPackable && !slots_.empty()) {
        const std::uint64_t key = packed(tag);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = key * 0x9E3779B97F4A7C15ull >> 40;; ++i) {
            const auto& [k, n] = slots_[i & mask];
            if (k == key) node = n;
            if (k == key || !k) break;
        }
    } else {
        const auto it = std::ranges::lower_bound(entries_, tag, {}, [](const Entry& e) { return std::string_view(e.tag); });
        if (it != entries_.end() && it->tag == tag) node = it->node;
    }
    if (node && carries(node, tag)) return node;
    return search(tag);
}

NodeId TagIndex::search(std::string_view tag) const {
    if (!root_ || !nodes().alive(root_)) return 0;
    const Variant wanted = Variant::text(tag);
    for (NodeId n = nodes().nextNode(root_, root_); n; n = nodes().nextNode(root_, n)) {
        if (n == skip_) continue;
        const Variant* v = nodes().get(n).props.find(prop::kTag);
        if (v && *v == wanted) return n;
    }
    return 0;
}

}  // namespace payfmt
