#include "parsers/bitmaps/bit_index.h"

#include <string>

#include "parsers/core/parser.h"
#include "parsers/core/property_names.h"

namespace payfmt {

void BitIndex::build(NodeId root) {
    byBit_.fill(0);
    if (!root || !nodes().alive(root)) return;
    for (NodeId n = nodes().nextNode(root, root); n; n = nodes().nextNode(root, n)) {
        const Variant* v = nodes().get(n).props.find(prop::kBit);
        const auto bit = v ? v->toInt() : std::nullopt;
        if (bit && *bit >= 0 && *bit <= kHighestBit && !byBit_[static_cast<std::size_t>(*bit)])
            byBit_[static_cast<std::size_t>(*bit)] = n;
    }
}

NodeId BitIndex::require(Parser& parser, int bit) const {
    const NodeId definition = find(bit);
    if (!definition)
        parser.errors().record("TVEXParser.GetDefNode", kErrMissingDefinition,
                               {parser.GetParserName(), prop::kBit, std::to_string(bit)});
    return definition;
}

}  // namespace payfmt
