// Compiling a value tree of segments, data elements and components: each
// node's output chain gets the chain of its level for the run, the template
// walk joins the levels, and the text loses its empty trailing elements.
#include <utility>
#include <vector>

#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
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
    OutputDecoration(const TPEDI& parser, NodeId root) {
        std::vector<std::pair<NodeId, std::size_t>> pending{{root, 0}};
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

}  // namespace

std::uint32_t TPEDI::CompileInternal(Bytes& out, NodeId root, const TParseInherit& inherited) {
    if (!isOpen()) raise(kCompileSource, kErrParserNotOpen, {GetParserName()});
    Bytes compiled;
    {
        const OutputDecoration decoration(*this, root);
        // An element holds its place by position: an empty one in the middle
        // is written, or every later one would move up a place.
        TParseInherit record = inherited;
        record.processNull = true;
        record.keepPlace = true;
        CompileTemplate(*this, compiled, root, record);
    }
    appendTrimmed(compiled, separators(), out);
    return worstCode();
}

}  // namespace payfmt
