#include "parsers/core/resolved_node.h"

#include <array>

#include "engine/parser_core.h"
#include "parsers/core/property_names.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

// Everything resolve reads.
constexpr std::array<std::string_view, 14> kReads = {
    prop::kIFO,        prop::kIFM,         prop::kOFO,        prop::kTag,
    prop::kParser,     prop::kAllowNull,   prop::kProcessNull, prop::kTSetGroups,
    prop::kAllowRecurse, prop::kRepeatNode, prop::kRepeatAutoNumber, prop::kBit,
    prop::kConstructed, prop::kBerLenMinSize,
};

// Reads one property of the expected type; false when it has another type.
// Absent and empty properties leave the default.
template <class T>
bool take(const NodeProps& props, std::string_view name, VarType type, T& into) {
    const Variant* v = props.find(name);
    if (!v || v->isEmpty()) return true;
    if (v->type() != type) return false;
    if constexpr (std::is_same_v<T, std::string>) into.assign(v->bytes());
    else if constexpr (std::is_same_v<T, std::optional<bool>> || std::is_same_v<T, bool>) into = v->boolValue();
    else into = v->intValue();
    return true;
}

}  // namespace

std::unique_ptr<ResolvedNode> ResolvedNode::resolve(const NodeProps& props) {
    auto r = std::make_unique<ResolvedNode>(&kKind);
    const bool clean = take(props, prop::kIFO, VarType::String, r->ifo) &&
                       take(props, prop::kIFM, VarType::String, r->ifm) &&
                       take(props, prop::kOFO, VarType::String, r->ofo) &&
                       take(props, prop::kTag, VarType::String, r->tag) &&
                       take(props, prop::kParser, VarType::String, r->parser) &&
                       take(props, prop::kAllowNull, VarType::Bool, r->allowNull) &&
                       take(props, prop::kProcessNull, VarType::Bool, r->processNull) &&
                       take(props, prop::kTSetGroups, VarType::Bool, r->tSetGroups) &&
                       take(props, prop::kAllowRecurse, VarType::Bool, r->allowRecurse) &&
                       take(props, prop::kRepeatNode, VarType::Int, r->repeatNode) &&
                       take(props, prop::kRepeatAutoNumber, VarType::Int, r->repeatAutoNumber) &&
                       take(props, prop::kBit, VarType::Int, r->bit) &&
                       take(props, prop::kBerLenMinSize, VarType::Int, r->berLenMinSize);
    if (!clean) return nullptr;
    // Constructed counts only when it is a boolean; anything else is ignored
    // without a report.
    if (const Variant* c = props.find(prop::kConstructed); c && c->is(VarType::Bool)) r->constructed = c->boolValue();
    return r;
}

const char ResolvedNode::kKind = 0;

const ResolvedNode* ResolvedNode::make(NodeProps& props, std::unique_ptr<ResolvedNode>& own) {
    std::unique_ptr<NodeCache> made = resolve(props);
    if (!made) return nullptr;
    const auto* r = static_cast<const ResolvedNode*>(made.get());
    if (!props.setCache(made)) own.reset(static_cast<ResolvedNode*>(made.release()));
    return r;
}

ResolvedNode::ResolvedNode(const void* kind)
    : NodeCache(kind, [] {
          std::uint64_t bits = 0;
          for (std::string_view r : kReads) bits |= Props::bitOf(r);
          return bits;
      }()) {}

bool ResolvedNode::dependsOn(std::string_view name) const {
    // Asked for every change a node keeps (its value, its reports) on every
    // visit: most names are told apart by their length alone.
    constexpr std::uint32_t lengths = [] {
        std::uint32_t bits = 0;
        for (std::string_view r : kReads) bits |= 1u << r.size();
        return bits;
    }();
    if (name.size() >= 32 || !(lengths & (1u << name.size()))) return false;
    for (std::string_view r : kReads)
        if (equalsNoCase(r, name)) return true;
    return false;
}

const InputMask& ResolvedNode::mask(ParserCore& parser) const {
    if (!mask_ || !mask_->current(parser)) mask_ = InputMask::compile(parser, ifm);
    return *mask_;
}

}  // namespace payfmt
