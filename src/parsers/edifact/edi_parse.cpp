// Parsing an interchange segment by segment: a segment's tag finds its
// definition; a copy of it, whose data elements carry what their own
// definitions say and the input chain of their level, is filled by the
// template walk; then each node gets its own input chain back.
#include <algorithm>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/chain.h"
#include "engine/mask.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/resolved_node.h"
#include "parsers/core/template_walk.h"
#include "parsers/edifact/pedi.h"

namespace payfmt {

namespace {

constexpr std::string_view kParseSource = "TEDIParser.Parse";
constexpr std::string_view kIFOCopy = "IFOCopy";
constexpr std::uint32_t kWarnShortInput = 0xA2060030;  // "%s: expected %s input characters, received %s"
constexpr std::uint32_t kErrorSeverity = 0xC0000000;

// Files are often written one segment a line; the line breaks are no part
// of any segment.
bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

// A segment definition made ready for input, when its tag is first met:
// plain is a copy whose every data element and component has the properties
// of its data element definition merged in, without values, reports or
// ParserType; decorated is the same with each element's input chain put
// before its own IFO (which IFOCopy keeps) and its level as ParserType. A
// segment is parsed into a copy of decorated, and each node of it then
// stands as the copy of plain it would have been. Every node's properties
// are its own, so that the copies share them and the settings worked out
// from them.
struct EdiInputTemplate {
    NodeId definition;
    OwnedTree plain, decorated;
    // Every element and component is a field the walk would read with its
    // level's chain alone: the segment can be split without the walk, into
    // a copy of plain.
    bool direct = false;
    // The definition as the template was made from it, node by node in
    // pre-order: the host can reach the definitions and change them.
    struct Stamp {
        NodeId node;
        std::uint32_t version, attrib;
        std::size_t children;
        std::string name;
    };
    std::vector<Stamp> made;
    std::uint64_t checked = 0;  // the parse that last found it current
    bool retired = false;

    // Whether the definition is still what the template was made from.
    bool current(NodeId definition) const {
        std::size_t i = 0;
        for (NodeId n = definition; n; n = nodes().nextNode(definition, n), ++i) {
            const Node& d = nodes().get(n);
            if (i == made.size()) return false;
            const Stamp& was = made[i];
            if (was.node != n || was.version != d.props.version() || was.attrib != d.attrib ||
                was.children != d.children.size() || was.name != d.name)
                return false;
        }
        return i == made.size();
    }
    static std::vector<Stamp> stampsOf(NodeId definition) {
        std::vector<Stamp> stamps;
        for (NodeId n = definition; n; n = nodes().nextNode(definition, n)) {
            const Node& d = nodes().get(n);
            stamps.push_back({n, d.props.version(), d.attrib, d.children.size(), d.name});
        }
        return stamps;
    }
};

class EdiInputTemplates {
public:
    // The template of the definition, checked once per parse against the
    // definition as it stands now.
    const EdiInputTemplate& of(TPEDI& parser, NodeId definition, std::uint64_t parse) {
        if (const auto it = byDefinition_.find(definition); it != byDefinition_.end()) {
            EdiInputTemplate& t = made_[it->second];
            if (t.checked == parse || t.current(definition)) {
                t.checked = parse;
                return t;
            }
            // Kept until the parse ends: a segment being parsed may still
            // be restored from it.
            t.retired = true;
        }
        OwnedTree plain(nodes().copy(definition, true));
        mergeElements(parser, plain.get());
        const std::string& valueName = parser.settings().valueName;
        for (NodeId n = plain.get(); n; n = nodes().nextNode(plain.get(), n)) {
            NodeProps& props = nodes().get(n).props;
            for (const std::string_view name : {std::string_view(valueName), prop::kParserType, prop::kEC, prop::kError})
                props.remove(name);
            props = props.items();
        }
        OwnedTree decorated(nodes().copy(plain.get(), true));
        decorateChildren(parser, decorated.get(), EdiLevel::Element);
        const bool direct = splitsDirectly(plain.get());
        made_.push_back({definition, std::move(plain), std::move(decorated), direct,
                         EdiInputTemplate::stampsOf(definition), parse, false});
        byDefinition_[definition] = made_.size() - 1;
        return made_.back();
    }
    // Drops the templates no longer current; none may be in use.
    void dropRetired() {
        if (std::ranges::none_of(made_, &EdiInputTemplate::retired)) return;
        std::erase_if(made_, [](const EdiInputTemplate& t) { return t.retired; });
        byDefinition_.clear();
        for (std::size_t i = 0; i < made_.size(); ++i) byDefinition_[made_[i].definition] = i;
    }
    void clear() {
        made_.clear();
        byDefinition_.clear();
    }

private:
    // A field or group that the walk would read by its chain alone: no
    // formats of its own, no repetition, no other parser; a group below a
    // composite, or a segment or composite with a mask, goes to the walk.
    static bool plainNode(NodeId id, bool group) {
        std::unique_ptr<ResolvedNode> own;
        const ResolvedNode* d = ResolvedNode::of(nodes().get(id).props, own);
        return d && d->ifo.empty() && d->parser.empty() && d->repeatNode == 0 && !d->repeatAutoNumber &&
               (!group || (d->ifm.empty() && d->allowRecurse));
    }
    static bool splitsDirectly(NodeId segment) {
        if (!plainNode(segment, true)) return false;
        for (const NodeId element : nodes().get(segment).children) {
            const Node& e = nodes().get(element);
            if (!plainNode(element, e.isGroup())) return false;
            for (const NodeId component : e.children)
                if (nodes().get(component).isGroup() || !plainNode(component, false)) return false;
        }
        return true;
    }

    void mergeElements(TPEDI& parser, NodeId parent) {
        const NestingGuard nesting(parser, kParseSource);
        for (std::size_t i = 0; i < nodes().get(parent).children.size(); ++i) {
            const NodeId child = nodes().get(parent).children[i];
            if (const NodeId definition = parser.findElement(nameOf(nodes().get(child))))
                nodes().get(child).props.merge(nodes().get(definition).props.items());
            if (nodes().get(child).isGroup()) mergeElements(parser, child);
        }
    }

    void decorateChildren(TPEDI& parser, NodeId parent, EdiLevel level) {
        const Variant type = Variant::text(level == EdiLevel::Element ? "DE" : "CDE");
        for (std::size_t i = 0; i < nodes().get(parent).children.size(); ++i) {
            const NodeId child = nodes().get(parent).children[i];
            NodeProps& props = nodes().get(child).props;
            const bool group = nodes().get(child).isGroup();
            std::string chain = parser.levelChain(level, group);
            if (const Variant* own = props.find(prop::kIFO)) {
                if (holdsFormat(own)) {
                    chain += '.';
                    chain += own->toText().value_or(std::string());
                }
                Variant saved = *own;
                props.set(kIFOCopy, std::move(saved));
            }
            props.set(prop::kIFO, Variant::text(chain));
            props.set(prop::kParserType, type);
            props = props.items();
            if (group) decorateChildren(parser, child, EdiLevel::Component);
        }
    }

    std::deque<EdiInputTemplate> made_;  // a nested parse may add one while another is in use
    std::unordered_map<NodeId, std::size_t> byDefinition_;
};

namespace {

// Puts back the node's own input chain and drops the marks of the run, for
// a node that no longer shares its template's properties.
void restoreNode(NodeProps& props) {
    const Variant* type = props.find(prop::kParserType);
    if (!type) return;
    const EdiLevel level = type->isStr() ? levelNamed(type->bytes()) : EdiLevel::None;
    // A segment's own IFO is never touched.
    if (level == EdiLevel::Element || level == EdiLevel::Component) {
        if (const Variant* saved = props.find(kIFOCopy)) {
            Variant own = *saved;
            props.remove(kIFOCopy);
            props.set(prop::kIFO, std::move(own));
        } else {
            props.remove(prop::kIFO);
        }
    }
    props.remove(prop::kParserType);
}

void restoreSubtree(NodeId root) {
    for (NodeId id = root; id; id = nodes().nextNode(root, id)) restoreNode(nodes().get(id).props);
}

// Makes each node of a parsed segment the copy of the plain template it
// stands for, keeping what the parse gave it; a part of the segment whose
// shape the parse changed (repetitions) is restored node by node.
void restore(NodeId parsed, NodeId decorated, NodeId plain) {
    Node& p = nodes().get(parsed);
    if (p.props.sharesItemsWith(nodes().get(decorated).props)) p.props.rebase(nodes().get(plain).props);
    else restoreNode(p.props);
    const std::size_t count = p.children.size();
    if (count != nodes().get(decorated).children.size()) {
        for (std::size_t i = 0; i < count; ++i) restoreSubtree(nodes().get(parsed).children[i]);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        restore(nodes().get(parsed).children[i], nodes().get(decorated).children[i], nodes().get(plain).children[i]);
}

// Restores a parsed segment whatever ended its parse.
class InputRestoration {
public:
    InputRestoration(NodeId segment, const EdiInputTemplate& from) : segment_(segment), from_(from) {}
    ~InputRestoration() {
        if (nodes().alive(segment_)) restore(segment_, from_.decorated.get(), from_.plain.get());
    }
    InputRestoration(const InputRestoration&) = delete;
    InputRestoration& operator=(const InputRestoration&) = delete;

private:
    NodeId segment_;
    const EdiInputTemplate& from_;
};

}  // namespace

// A service string advice: a node with its six characters as they stand.
void TPEDI::appendServiceAdvice(NodeId root, Cursor& cursor) {
    const BytesView advice = cursor.rest().substr(0, kServiceAdviceLength);
    OwnedTree node(nodes().create(kServiceAdvice, 0));
    NodeProps& props = nodes().get(node.get()).props;
    props.set(prop::kName, Variant::text(kServiceAdvice));
    props.set(settings().valueName, Variant::blob(advice.substr(kServiceAdvice.size())));
    if (advice.size() < kServiceAdviceLength) {
        errors().record(kParseSource, kWarnShortInput,
                        {kServiceAdvice, std::to_string(kServiceAdviceLength), std::to_string(advice.size())});
        attachReport(*this, props);
    }
    nodes().addChild(root, node.release(), -1);
    cursor.advance(static_cast<std::uint32_t>(advice.size()));
}

void TPEDI::parseSegment(NodeId root, BytesView segment, const TParseInherit& record) {
    OpContext octx(kDirectionInput);
    Output tagField;
    const std::string tag(ApplyIFOView(*this, octx, tagIn_.chain(*this), InputMask::none(), false, segment, tagField));
    const NodeId definition = findSegment(tag);
    if (!definition) {
        reportMissingDefinition(prop::kName, kErrorSeverity, tag);
        OwnedTree node(nodes().create(tag, 0));
        attachReport(*this, nodes().get(node.get()).props);
        nodes().addChild(root, node.release(), -1);
        return;
    }
    const EdiInputTemplate& ready = templates_->of(*this, definition, parses_);
    Cursor elements{segment.substr(std::min<std::size_t>(octx.consumed, segment.size())), 0};
    // The plain copy when the segment can be split here; the walk's
    // groups need the recursion levels for a segment and its composites.
    const bool direct = ready.direct && record.recurseLevel >= 2;
    OwnedTree copy(nodes().copy(direct ? ready.plain.get() : ready.decorated.get(), true));
    const NodeId node = copy.get();
    nodes().addChild(root, copy.release(), -1);
    if (direct) {
        parseDirect(node, elements, record);
    } else {
        const InputRestoration restoration(node, ready);
        ParseTemplate(*this, elements, node, record);
    }
    // Elements beyond the definition's: reported, where the walk would
    // drop them silently.
    if (!elements.atEnd() && !errors().holdsError()) {
        errors().record(kParseSource, kInfoUnusedAfterParsing, {nodes().get(node).name, std::to_string(elements.left())});
        NodeProps& props = nodes().get(node).props;
        if (!props.find(prop::kEC)) attachReport(*this, props);
    }
}

void TPEDI::parseDirect(NodeId segment, Cursor& elements, const TParseInherit& record) {
    std::unique_ptr<ResolvedNode> own;
    const auto settled = [&](NodeId id) { return ResolvedNode::of(nodes().get(id).props, own); };
    const ResolvedNode* def = settled(segment);
    const bool allowNull = def->allowNull.value_or(record.allowNull);
    const bool tSetGroups = def->tSetGroups.value_or(record.tSetGroups);
    const std::string& valueName = settings().valueName;
    // A field of the segment (level Element) or of a composite; the last
    // one of a composite reports what its composite held beyond it.
    const auto field = [&](NodeId id, Cursor& at, const ParsedChain& chain, bool inherited, bool last) {
        const ResolvedNode* d = settled(id);
        NodeProps& props = nodes().get(id).props;
        ParseFieldWith(*this, at, props, chain, d->mask(*this), d->allowNull.value_or(inherited));
        if (last && !at.atEnd())
            errors().record(kParseSource, kInfoUnusedAfterParsing, {nodes().get(id).name, std::to_string(at.left())});
        attachReport(*this, props);
    };
    // An error ends the segment, as it ends the walk: every group around the
    // field that failed gets the error, and no group its text.
    const auto failed = [&](std::initializer_list<NodeId> groups) {
        if (!errors().holdsError()) return false;
        for (const NodeId group : groups) attachReport(*this, nodes().get(group).props);
        return true;
    };
    const std::vector<NodeId>& children = nodes().get(segment).children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const NodeId element = children[i];
        if (!nodes().get(element).isGroup()) {
            field(element, elements, elementIn_.chain(*this), allowNull, false);
            if (failed({segment})) return;
            continue;
        }
        const ResolvedNode* d = settled(element);
        const bool composite = d->allowNull.value_or(allowNull);
        OpContext octx(kDirectionInput);
        Output read;
        const BytesView text = ApplyIFOView(*this, octx, compositeIn_.chain(*this), d->mask(*this), composite,
                                            elements.rest(), read);
        if (failed({element, segment})) return;
        const bool keepText = d->tSetGroups.value_or(tSetGroups);
        Cursor components{text, 0};
        const std::vector<NodeId>& parts = nodes().get(element).children;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            field(parts[k], components, componentIn_.chain(*this), composite, k + 1 == parts.size());
            if (failed({element, segment})) return;
        }
        NodeProps& props = nodes().get(element).props;
        if (keepText) props.set(valueName, Variant::blob(text));
        attachReport(*this, props);
        elements.advance(octx.consumed);
    }
    if (tSetGroups) nodes().get(segment).props.set(valueName, Variant::blob(elements.data.substr(0, elements.position)));
}

TPEDI::TPEDI() : TKORDefTreeParser("PEDI"), templates_(std::make_unique<EdiInputTemplates>()) {
    // Both keep what they read as it stands, released characters included:
    // the element chains release them.
    segmentIn_.assign(fieldChain(separators_.segment, false));
    tagIn_.assign(fieldChain(separators_.data, false));
    elementIn_.assign(levelChain(EdiLevel::Element, false));
    compositeIn_.assign(levelChain(EdiLevel::Element, true));
    componentIn_.assign(levelChain(EdiLevel::Component, false));
}

TPEDI::~TPEDI() = default;

void TPEDI::forgetTemplates() { templates_->clear(); }

// The definitions may have changed since the last parse; a parse that runs
// inside another (a field handed to this parser) takes them as they are.
class TPEDI::ParseScope {
public:
    explicit ParseScope(TPEDI& parser) : parser_(parser) {
        if (parser_.parsing_++ > 0) return;
        ++parser_.parses_;
        parser_.templates_->dropRetired();
        parser_.refreshSegments();
    }
    ~ParseScope() { --parser_.parsing_; }
    ParseScope(const ParseScope&) = delete;
    ParseScope& operator=(const ParseScope&) = delete;

private:
    TPEDI& parser_;
};

std::uint32_t TPEDI::ParseInternal(Cursor& cursor, NodeId root, const TParseInherit& inherited) {
    if (!isOpen()) raise(kParseSource, kErrParserNotOpen, {GetParserName()});
    ClearStop(root);
    const ParseScope scope(*this);
    const TParseInherit record = childRecordOf(*this, root, inherited);
    // A segment is read whatever the one before it held: an error stays
    // with its segment, and the parse answers the first one at the end. What
    // was reported before the parse began stays reported.
    const ErrorEntry before = errors().mostSevere();
    ErrorEntry firstError;
    const auto finish = [&](std::optional<std::uint32_t> stoppedAt) {
        FinishOnRoot(root, stoppedAt);
        errors().putBack(std::move(firstError));
        return worstCode();
    };
    while (!cursor.atEnd()) {
        const BytesView rest = cursor.rest();
        if (isLineBreak(rest.front())) {
            cursor.advance(1);
            continue;
        }
        if (isServiceAdvice(rest)) {
            appendServiceAdvice(root, cursor);
            continue;
        }
        const std::uint32_t start = cursor.position;
        OpContext octx(kDirectionInput);
        Output read;
        const BytesView segment = ApplyIFOView(*this, octx, segmentIn_.chain(*this), InputMask::none(), false, rest, read);
        // Nothing read (the message ends inside a release): the report
        // stays on the tree, with where the segment starts.
        if (octx.consumed == 0 || errors().holdsError()) return finish(start);
        cursor.advance(octx.consumed);
        if (segment.empty()) continue;
        parseSegment(root, segment, record);
        if (errors().holdsError()) {
            ErrorEntry reported = errors().setAside();
            if (!firstError.code) firstError = std::move(reported);
            errors().putBack(before);
        }
    }
    return finish(std::nullopt);
}

}  // namespace payfmt
