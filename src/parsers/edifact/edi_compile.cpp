// Compiling a value tree of segments, data elements and components: each
// node's output chain gets the chain of its level for the run, the template
// walk joins the levels, and the text loses its empty trailing elements.
#include <optional>
#include <utility>
#include <vector>

#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/resolved_node.h"
#include "parsers/core/template_walk.h"
#include "parsers/edifact/pedi.h"

namespace payfmt {

namespace {

constexpr std::string_view kCompileSource = "TEDIParser.Compile";

// Without a ParserType, the depth below the compiled node tells.
EdiLevel levelAt(std::size_t depth) {
    if (depth == 0) return EdiLevel::None;
    if (depth == 1) return EdiLevel::Segment;
    return depth == 2 ? EdiLevel::Element : EdiLevel::Component;
}

std::string_view textProperty(const Node& n, std::string_view name) {
    const Variant* v = n.props.find(name);
    return v && v->isStr() ? v->bytes() : std::string_view();
}

// The output chains of a value subtree for one compile: every node gets the
// chain of its level after its own output chain. Each node's own OFO (or
// its having none) is kept here, not on the node, and put back when the
// decoration ends, whatever happened, last changed first: nothing of the
// run stays on the host's tree, not even when a field hands its group to
// another parser that decorates it again.
class OutputDecoration {
public:
    explicit OutputDecoration(TPEDI& parser) : parser_(parser) {}
    ~OutputDecoration() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            Node* n = nodes().find(it->first);
            if (!n) continue;
            if (it->second) n->props.set(prop::kOFO, std::move(*it->second));
            else n->props.remove(prop::kOFO);
        }
    }
    OutputDecoration(const OutputDecoration&) = delete;
    OutputDecoration& operator=(const OutputDecoration&) = delete;

    // Decorates the subtree of root, which lies depth levels below the
    // compiled node.
    void apply(NodeId root, std::size_t depth) {
        std::vector<std::pair<NodeId, std::size_t>> pending{{root, depth}};
        while (!pending.empty()) {
            const auto [id, at] = pending.back();
            pending.pop_back();
            Node& n = nodes().get(id);
            for (auto it = n.children.rbegin(); it != n.children.rend(); ++it) pending.emplace_back(*it, at + 1);
            // A ParserType of some other family's leaves the depth to tell.
            const EdiLevel named = levelNamed(textProperty(n, prop::kParserType));
            decorate(id, named == EdiLevel::None ? levelAt(at) : named);
        }
    }

private:
    void decorate(NodeId id, EdiLevel level) {
        if (level == EdiLevel::None) return;
        Node& n = nodes().get(id);
        std::string chain;
        if (level == EdiLevel::Segment && !n.isGroup() && nameOf(n) == kServiceAdvice) {
            // Its six characters are written as they stand.
            chain = "PREPEND(\"" + std::string(kServiceAdvice) + "\")";
        } else {
            if (level == EdiLevel::Segment) parser_.checkTag(n);
            chain = parser_.levelChain(level, n.isGroup(), nameOf(n));
        }
        const Variant* own = n.props.find(prop::kOFO);
        saved_.emplace_back(id, own ? std::optional<Variant>(*own) : std::nullopt);
        if (holdsFormat(own)) chain = own->toText().value_or(std::string()) + "." + chain;
        n.props.set(prop::kOFO, Variant::text(chain));
    }

    TPEDI& parser_;
    std::vector<std::pair<NodeId, std::optional<Variant>>> saved_;
};

// A node that the walk would write by its level's chain alone: no output
// chain or other parser of its own, no ParserType to change its level, and
// bytes (or nothing) as its value.
bool plainOutput(Node& n, const std::string& valueName) {
    std::unique_ptr<ResolvedNode> own;
    const ResolvedNode* d = ResolvedNode::of(n.props, own);
    if (!d || !d->ofo.empty() || !d->parser.empty() || !d->allowRecurse) return false;
    // A ParserType may change the level; a report of an earlier run is
    // the walk's to replace.
    for (const std::string_view name : {prop::kParserType, prop::kEC, prop::kError})
        if (n.props.mayHave(Props::bitOf(name)) && n.props.find(name)) return false;
    const Variant* v = n.props.find(valueName);
    return !v || v->isBlob() || v->is(VarType::Empty) || v->is(VarType::Null);
}

BytesView valueOf(const Node& n, const std::string& valueName) {
    const Variant* v = n.props.find(valueName);
    return v && v->isBlob() ? v->bytes() : BytesView();
}

}  // namespace

bool TPEDI::writesDirectly(NodeId segment) {
    Node& s = nodes().get(segment);
    const std::string& valueName = settings().valueName;
    if (!s.isGroup() || !plainOutput(s, valueName)) return false;
    for (const NodeId element : s.children) {
        Node& e = nodes().get(element);
        if (!plainOutput(e, valueName)) return false;
        for (const NodeId component : e.children) {
            Node& c = nodes().get(component);
            if (c.isGroup() || !plainOutput(c, valueName)) return false;
        }
    }
    return true;
}

void TPEDI::writeDirect(NodeId segment, Bytes& out) {
    const EdiSeparators& s = separators_;
    const std::string& valueName = settings().valueName;
    const auto released = [&](BytesView value, char separator) {
        for (const char c : value) {
            if (c == s.segment || c == s.data || c == s.component || c == s.escape) out += s.escape;
            out += c;
        }
        out += separator;
    };
    const Node& n = nodes().get(segment);
    checkTag(n);
    out += nameOf(n);
    out += s.data;
    for (const NodeId element : n.children) {
        const Node& e = nodes().get(element);
        if (!e.isGroup()) {
            released(valueOf(e, valueName), s.data);
            continue;
        }
        for (const NodeId component : e.children) released(valueOf(nodes().get(component), valueName), s.component);
        out += s.data;
    }
    out += s.segment;
}

std::uint32_t TPEDI::CompileInternal(Bytes& out, NodeId root, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    // An element holds its place by position: an empty one in the middle is
    // written, or every later one would move up a place.
    TParseInherit record = inherited;
    record.processNull = true;
    record.keepPlace = true;
    Bytes compiled;
    Node& r = nodes().get(root);
    if (r.isGroup() && plainOutput(r, settings().valueName) && record.recurseLevel >= 3) {
        // The value node only joins its segments: each is written directly
        // when it can be, else by the walk with its level chains, and
        // trimmed on its own.
        const TParseInherit segmentRecord = childRecordOf(*this, root, record);
        Bytes one;
        for (std::size_t i = 0; i < nodes().get(root).children.size() && !errors().holdsError(); ++i) {
            const NodeId segment = nodes().get(root).children[i];
            one.clear();
            if (writesDirectly(segment)) {
                writeDirect(segment, one);
            } else {
                OutputDecoration decoration(*this);
                decoration.apply(segment, 1);
                CompileTemplate(*this, one, segment, segmentRecord);
            }
            const Node& s = nodes().get(segment);
            if (!s.isGroup() && nameOf(s) == kServiceAdvice) compiled += one;
            else appendTrimmed(one, separators(), compiled, false);
        }
        attachReport(*this, nodes().get(root).props);
    } else {
        Bytes walked;
        {
            OutputDecoration decoration(*this);
            decoration.apply(root, 0);
            CompileTemplate(*this, walked, root, record);
        }
        appendTrimmed(walked, separators(), compiled, true);
    }
    // A compile that fails writes nothing, as the walk's groups do.
    if (!errors().holdsError()) out += compiled;
    return worstCode();
}

}  // namespace payfmt
