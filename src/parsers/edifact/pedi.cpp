#include "parsers/edifact/pedi.h"

#include <algorithm>

#include "engine/istr.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser.h"
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/property_names.h"

namespace payfmt {

namespace {

constexpr std::string_view kSetDefTreeSource = "TEDIParser.SetDefTree";
constexpr std::string_view kCompileSource = "TEDIParser.Compile";
constexpr std::string_view kMandatory = "Mandatory";

struct SeparatorMember {
    std::int32_t dispid;
    std::string_view name, description;
    char EdiSeparators::*character;
};

constexpr SeparatorMember kSeparators[] = {
    {edi_dispid::kSegmentSeparator, "SegmentSeparator", "Character used for separating segments", &EdiSeparators::segment},
    {edi_dispid::kDataSeparator, "DataSeparator", "Character used for separating data elements", &EdiSeparators::data},
    {edi_dispid::kComponentSeparator, "ComponentSeparator", "Character used for separating data elements components",
     &EdiSeparators::component},
    {edi_dispid::kEscapeCharacter, "EscapeCharacter", "Used as release character", &EdiSeparators::escape},
    {edi_dispid::kBinaryEscapeCharacter, "BinaryEscapeCharacter", "Used as release character for binary blocks",
     &EdiSeparators::binaryEscape},
};

class TVEXEDIParserInfo final : public TKORDefTreeParserInfo {
public:
    TVEXEDIParserInfo()
        : TKORDefTreeParserInfo(parserClass<TPEDI>("TPEDI", ediParserInfo), "7c2e9a14-5b3d-4e61-9f80-2d4b6a1c0b03") {
        for (const SeparatorMember& m : kSeparators)
            AddProperty(m.dispid, m.name).Describe(m.description).Help(kParserHelpFile, m.name).Attributes(kReadOnlyAttribute);
        Register();
    }
};

// A property's text as lookups compare it; a number (a tree written by hand
// may hold 1004 for "1004") as its text.
std::string textOf(NodeId node, std::string_view property) {
    const Variant* v = nodes().get(node).props.find(property);
    return v ? v->toText().value_or(std::string()) : std::string();
}

// The text of a chain argument: IStr (which every text argument is decoded
// from), with the double quote written as an escape so that it cannot end
// the argument.
void appendArgument(std::string& chain, std::string_view raw, char escape) {
    for (const char c : raw) {
        if (c == '"') chain += escape + std::string("22");
        else appendIStr(chain, std::string_view(&c, 1), escape);
    }
}

}  // namespace

EdiLevel levelNamed(std::string_view type) {
    if (type == "SEG") return EdiLevel::Segment;
    if (type == "DE") return EdiLevel::Element;
    if (type == "CDE") return EdiLevel::Component;
    return EdiLevel::None;
}

bool holdsFormat(const Variant* format) {
    return format && !format->is(VarType::Empty) && !format->is(VarType::Null) && !(format->isStr() && format->bytes().empty());
}

const TKORComponentInfo& ediParserInfo() {
    static const TVEXEDIParserInfo info;
    return info;
}

bool TPEDI::GetMember(std::int32_t dispid, Variant& value) {
    const auto it = std::ranges::find(kSeparators, dispid, &SeparatorMember::dispid);
    if (it == std::end(kSeparators)) return false;
    value = Variant::text(std::string(1, separators_.*(it->character)));
    return true;
}

std::string TPEDI::fieldChain(char separator, bool release) const {
    std::string chain = "EDIFACTFLD(\"";
    appendArgument(chain, std::string_view(&separator, 1), settings().escape);
    chain += release ? "\",true)" : "\",false)";
    return chain;
}

std::string TPEDI::levelChain(EdiLevel level, bool group, std::string_view tag) const {
    switch (level) {
        case EdiLevel::None: break;
        case EdiLevel::Segment: {
            std::string prefix = "PREPEND(\"";
            appendArgument(prefix, tag, settings().escape);
            appendArgument(prefix, std::string_view(&separators_.data, 1), settings().escape);
            prefix += "\")";
            // A segment that holds its text itself has it released before
            // the tag goes in front, or the data separator after the tag
            // would be released with it.
            if (!group) return fieldChain(separators_.segment, true) + "." + prefix;
            return prefix + "." + fieldChain(separators_.segment, false);
        }
        case EdiLevel::Element: return fieldChain(separators_.data, !group);
        case EdiLevel::Component: return fieldChain(separators_.component, !group);
    }
    return {};
}

void TPEDI::clearDefinitions() {
    forgetTemplates();
    messages_.reset();
    segments_.reset();
    elements_.reset();
    segmentByTag_.clear();
    indexed_.clear();
    elementByName_.clear();
}

void TPEDI::SetDefTree(NodeId tree) {
    if (!tree) return clearDefinitions();
    // The tree given may hold the parser's own definitions: they go only
    // once the new ones are made.
    OwnedTree messages, segments, elements;
    try {
        CheckGroup(tree);
        const std::vector<NodeId>& groups = nodes().get(tree).children;
        const auto group = [&](std::size_t index, std::uint32_t missing) {
            if (groups.size() <= index) raise(kSetDefTreeSource, missing, {GetParserName()});
            return groups[index];
        };
        const NodeId m = group(0, kErrMessageGroupMissing);
        CheckProperty(m, prop::kName, true, false, PropertyKind::Text);
        CheckProperty(m, prop::kRepeatNode, true, true, PropertyKind::Integer);
        CheckProperty(m, kMandatory, true, true, PropertyKind::Boolean);
        const NodeId s = group(1, kErrSegmentGroupMissing);
        CheckProperty(s, prop::kName, true, false, PropertyKind::Text);
        CheckProperty(s, kMandatory, true, true, PropertyKind::Boolean);
        const NodeId e = group(2, kErrElementGroupMissing);
        CheckProperty(e, prop::kName, true, false, PropertyKind::Text);
        CheckProperty(e, prop::kIFM, true, true, PropertyKind::Text);
        messages.reset(nodes().copy(m, true));
        segments.reset(nodes().copy(s, true));
        elements.reset(nodes().copy(e, true));
    } catch (...) {
        clearDefinitions();
        Close();
        throw;
    }
    forgetTemplates();
    messages_ = std::move(messages);
    segments_ = std::move(segments);
    elements_ = std::move(elements);

    const Variant segment = Variant::text("SEG");
    for (const NodeId child : nodes().get(segments_.get()).children) nodes().get(child).props.set(prop::kParserType, segment);
    indexSegments();
    elementByName_.clear();
    for (NodeId n = nodes().nextNode(elements_.get(), elements_.get()); n; n = nodes().nextNode(elements_.get(), n))
        elementByName_.try_emplace(textOf(n, prop::kName), n);
}

void TPEDI::indexSegments() {
    segmentByTag_.clear();
    indexed_.clear();
    if (!segments_.get() || !nodes().alive(segments_.get())) return;
    // Only the segment definitions themselves are indexed: a data element
    // below one of them that happens to bear a tag's name is no segment.
    for (const NodeId child : nodes().get(segments_.get()).children) {
        indexed_.emplace_back(child, nodes().get(child).props.version());
        segmentByTag_.try_emplace(textOf(child, prop::kName), child);
    }
}

void TPEDI::refreshSegments() {
    // The host can reach the segment definitions through Definitions and
    // change them between two parses: each definition and the version of
    // its properties tell.
    const Node* segments = segments_.get() ? nodes().find(segments_.get()) : nullptr;
    const bool current = segments ? std::ranges::equal(segments->children, indexed_,
                                                       [](NodeId child, const auto& stamp) {
                                                           return child == stamp.first &&
                                                                  nodes().get(child).props.version() == stamp.second;
                                                       })
                                  : indexed_.empty();
    if (!current) indexSegments();
}

NodeId TPEDI::findSegment(std::string_view tag) const {
    const auto it = segmentByTag_.find(std::string(tag));
    return it == segmentByTag_.end() ? 0 : it->second;
}

void TPEDI::checkTag(const Node& segment) {
    const std::string tag = nameOf(segment);
    const char special[] = {separators_.segment, separators_.data, separators_.component, separators_.escape};
    if (tag.empty() || tag.find_first_of(std::string_view(special, sizeof special)) != std::string::npos)
        raise(kCompileSource, kErrPropertyNotType,
              {GetParserName(), prop::kName, "segment tag without separators or release character"});
}

NodeId TPEDI::findElement(std::string_view name) const {
    const auto it = elementByName_.find(std::string(name));
    return it == elementByName_.end() ? 0 : it->second;
}

}  // namespace payfmt
