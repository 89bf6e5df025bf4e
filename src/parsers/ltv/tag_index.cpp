#include "parsers/ltv/tag_index.h"

#include <algorithm>

#include "parsers/core/property_names.h"

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
    const Node* n = nodes().find(node);
    if (!n) return false;
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
}

NodeId TagIndex::find(std::string_view tag) const {
    const auto it = std::ranges::lower_bound(entries_, tag, {}, [](const Entry& e) { return std::string_view(e.tag); });
    if (it != entries_.end() && it->tag == tag && carries(it->node, tag)) return it->node;
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
