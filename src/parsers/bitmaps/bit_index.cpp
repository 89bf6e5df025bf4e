#include "parsers/bitmaps/bit_index.h"

#include <string>

#include "parsers/core/parser.h"
#include "parsers/core/property_names.h"

namespace payfmt {

namespace {

bool carriesBit(NodeId node, int bit) {
    const Node* n = nodes().find(node);
    const Variant* v = n ? n->props.find(prop::kBit) : nullptr;
    const auto held = v ? v->toInt() : std::nullopt;
    return held && *held == bit;
}

}  // namespace

void BitIndex::build(NodeId root) {
    root_ = root;
    byBit_.fill(0);
    if (!root) return;
    for (NodeId n = nodes().nextNode(root, root); n; n = nodes().nextNode(root, n)) {
        const Variant* v = nodes().get(n).props.find(prop::kBit);
        const auto bit = v ? v->toInt() : std::nullopt;
        if (bit && *bit >= 0 && *bit <= kHighestBit && !byBit_[static_cast<std::size_t>(*bit)])
            byBit_[static_cast<std::size_t>(*bit)] = n;
    }
}

NodeId BitIndex::find(int bit) const {
    if (!root_ || !nodes().alive(root_)) return 0;
    if (bit >= 0 && bit <= kHighestBit) {
        const NodeId indexed = byBit_[static_cast<std::size_t>(bit)];
        if (indexed && carriesBit(indexed, bit)) return indexed;
    }
    for (NodeId n = nodes().nextNode(root_, root_); n; n = nodes().nextNode(root_, n))
        if (carriesBit(n, bit)) return n;
    return 0;
}

NodeId BitIndex::require(Parser& parser, int bit) const {
    const NodeId definition = find(bit);
    if (!definition)
        parser.errors().record("TVEXParser.GetDefNode", kErrMissingDefinition,
                               {parser.GetParserName(), prop::kBit, std::to_string(bit)});
    return definition;
}

}  // namespace payfmt
