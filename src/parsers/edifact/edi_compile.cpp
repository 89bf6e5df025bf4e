// Compiling a value tree of segments, data elements and components: each
// node's output chain gets the chain of its level for the run, the template
// walk joins the levels, and the text loses its empty trailing elements.
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
constexpr std::string_view kOFOCopy = "OFOCopy";

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
// chain of its level after its own output chain, which is kept in OFOCopy;
// each node's own OFO is back when the decoration ends, whatever happened.
class OutputDecoration {
public:
    // depth is the root's below the compiled node.
    OutputDecoration(const TPEDI& parser, NodeId root, std::size_t depth) {
        std::vector<std::pair<NodeId, std::size_t>> pending{{root, depth}};
        while (!pending.empty()) {
            const auto [id, depth] = pending.back();
            pending.pop_back();
            Node& n = nodes().get(id);
            for (auto it = n.children.rbegin(); it != n.children.rend(); ++it) pending.emplace_back(*it, depth + 1);
            const std::string_view type = textProperty(n, prop::kParserType);
            decorate(parser, id, type.empty() ? levelAt(depth) : levelNamed(type));
        }
    }
    ~OutputDecoration() {
        for (const NodeId id : decorated_) {
            Node* n = nodes().find(id);
            if (!n) continue;
            if (const Variant* saved = n->props.find(kOFOCopy)) {
                Variant own = *saved;
                n->props.remove(kOFOCopy);
                n->props.set(prop::kOFO, std::move(own));
            } else {
                n->props.remove(prop::kOFO);
            }
        }
    }
    OutputDecoration(const OutputDecoration&) = delete;
    OutputDecoration& operator=(const OutputDecoration&) = delete;

private:
    void decorate(const TPEDI& parser, NodeId id, EdiLevel level) {
        if (level == EdiLevel::None) return;
        Node& n = nodes().get(id);
        std::string chain;
        if (level == EdiLevel::Segment && !n.isGroup() && nameOf(n) == kServiceAdvice) {
            // Its six characters are written as they stand.
            chain = "PREPEND(\"" + std::string(kServiceAdvice) + "\")";
        } else {
            chain = parser.levelChain(level, n.isGroup(), nameOf(n));
        }
        if (const Variant* own = n.props.find(prop::kOFO); holdsFormat(own)) {
            chain = own->toText().value_or(std::string()) + "." + chain;
            Variant saved = *own;
            n.props.set(kOFOCopy, std::move(saved));
        }
        n.props.set(prop::kOFO, Variant::text(chain));
        decorated_.push_back(id);
    }

    std::vector<NodeId> decorated_;
};

// A node that the walk would write by its level's chain alone: no output
// chain or other parser of its own, no ParserType to change its level, and
// bytes (or nothing) as its value.
bool plainOutput(Node& n, const std::string& valueName) {
    std::unique_ptr<ResolvedNode> own;
    const ResolvedNode* d = ResolvedNode::of(n.props, own);
    if (!d || !d->ofo.empty() || !d->parser.empty() || !d->allowRecurse) return false;
    if (n.props.mayHave(Props::bitOf(prop::kParserType)) && n.props.find(prop::kParserType)) return false;
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

void TPEDI::writeDirect(NodeId segment, Bytes& out) const {
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
        // when it can be, else by the walk with its level chains.
        const TParseInherit segmentRecord = childRecordOf(*this, root, record);
        for (std::size_t i = 0; i < nodes().get(root).children.size() && !errors().holdsError(); ++i) {
            const NodeId segment = nodes().get(root).children[i];
            if (writesDirectly(segment)) {
                writeDirect(segment, compiled);
                continue;
            }
            const OutputDecoration decoration(*this, segment, 1);
            CompileTemplate(*this, compiled, segment, segmentRecord);
        }
        attachReport(*this, nodes().get(root).props);
    } else {
        const OutputDecoration decoration(*this, root, 0);
        CompileTemplate(*this, compiled, root, record);
    }
    appendTrimmed(compiled, separators(), out);
    return worstCode();
}

}  // namespace payfmt
