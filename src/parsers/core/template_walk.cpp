#include "parsers/core/template_walk.h"

#include <algorithm>
#include <optional>

#include "engine/chain.h"
#include "engine/mask.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/parser.h"
#include "parsers/core/property_names.h"
#include "support/limits.h"

namespace payfmt {

namespace {

// Read on every node a walk enters; a dynamic-TLS lookup would cost more
// than the rest of the guard.
[[gnu::tls_model("initial-exec")]] thread_local std::uint32_t nesting = 0;

bool holdsReports(const NodeProps& props) {
    constexpr std::uint64_t ec = Props::bitOf(prop::kEC), error = Props::bitOf(prop::kError);
    return props.mayHave(ec | error) && (props.find(prop::kEC, ec) || props.find(prop::kError, error));
}

// Most nodes of a message are plain fields: settings worked out before, no
// report from an earlier run, no repetition, no auto-numbering. Such a field
// is compiled or parsed here without a context of its own; the walk's
// general path gives the same result for it, only slower. Both answer false,
// having done nothing, for any other node.

// The settings of a field that holds no earlier report; null for any other
// node. own keeps them when the node cannot share them.
const ResolvedNode* plainField(Node& n, std::unique_ptr<ResolvedNode>& own) {
    if (n.isGroup() || holdsReports(n.props)) return nullptr;
    return ResolvedNode::of(n.props, own);
}

bool compileField(Parser& parser, Bytes& out, Node& n, const TParseInherit& inherited, TFormatError& errors,
                  std::uint64_t valueBit) {
    std::unique_ptr<ResolvedNode> own;
    const ResolvedNode* def = plainField(n, own);
    if (!def) return false;
    const std::string& valueName = parser.settings().valueName;
    BytesView data;
    if (const Variant* v = n.props.find(valueName, valueBit); v && !v->is(VarType::Null) && !v->isEmpty()) {
        if (!v->isBlob()) return false;
        data = v->bytes();
    }
    if (data.empty() && !inherited.processNull) return true;
    const ParsedChain& ofo = def->ofoChain(parser);
    if (ofo.plainNone) {
        out.append(data);
        return true;
    }
    OpContext octx(kDirectionOutput);
    Output output;
    ApplyOFO(parser, octx, ofo, data, output);
    if (!errors.holdsError()) out.append(output.view());
    attachReport(parser, n.props);
    return true;
}

bool parseField(Parser& parser, Cursor& cursor, Node& n, const TParseInherit& inherited) {
    std::unique_ptr<ResolvedNode> own;
    const ResolvedNode* def = plainField(n, own);
    if (!def || def->repeatNode != 0 || def->repeatAutoNumber) return false;
    ParseFieldWith(parser, cursor, n.props, def->ifoChain(parser), def->mask(parser),
                   def->allowNull.value_or(inherited.allowNull));
    attachReport(parser, n.props);
    return true;
}

}  // namespace

void ParseFieldWith(Parser& parser, Cursor& cursor, NodeProps& props, const ParsedChain& ifo, const InputMask& mask,
                    bool allowNull) {
    OpContext octx(kDirectionInput);
    Output field;
    const BytesView data = ApplyIFOView(parser, octx, ifo, mask, allowNull, cursor.rest(), field);
    if (!data.empty()) props.set(parser.settings().valueName, Variant::blob(data));
    cursor.advance(octx.consumed);
}

NestingGuard::NestingGuard(Parser& parser, std::string_view location) {
    if (nesting >= kMaxNesting)
        parser.raise(location, kErrTooDeep, {parser.GetParserName(), std::to_string(kMaxNesting)});
    ++nesting;
}

NestingGuard::~NestingGuard() { --nesting; }

std::uint32_t CompileTemplate(Parser& parser, Bytes& out, NodeId node, const TParseInherit& inherited) {
    if (!parser.isOpen()) parser.raise("TVEXParser.Compile", kErrParserNotOpen, {parser.GetParserName()});
    if (!node) return 0;
    const NestingGuard guard(parser, "TVEXParser.Compile");
    TParseContext ctx(inherited, parser);
    ctx.SetNode(node);
    TFormatError& errors = ctx.errors();
    const Node& n = ctx.current();

    const std::size_t start = out.size();
    Bytes children;       // a group's compiled children, for its output chain
    BytesView data;       // what the node's output chain turns into output
    bool inPlace = false; // the children were written straight to out
    if (n.isGroup() && ctx.GetRecurse() > 0) {
        Parser& handler = ctx.GetParser();
        const TParseInherit childRecord = ctx.ChildRecord();
        // Without an output chain of its own the group's output is its
        // children's: they may write to the message directly.
        inPlace = ctx.ofoIsNone();
        Bytes& sink = inPlace ? out : children;
        if (&handler != &parser) {
            ctx.StoreProps();  // the other parser works on the same node
            handler.CompileInternal(sink, node, childRecord);
            ctx.SetNode(node);
            ctx.KeepReports();
        } else {
            NodeTable& table = nodes();
            const std::uint64_t valueBit = Props::bitOf(parser.settings().valueName);
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (!compileField(parser, sink, table.get(n.children[i]), childRecord, errors, valueBit))
                    CompileTemplate(parser, sink, n.children[i], childRecord);
                if (errors.holdsError()) break;
            }
        }
        data = inPlace ? BytesView(out).substr(start) : BytesView(children);
    } else if (const Variant* v = ctx.find(parser.settings().valueName); v && !v->is(VarType::Null) && !v->isEmpty()) {
        if (v->isBlob()) data = v->bytes();
        else errors.record("TVEXParser.Compile", kErrValueNotBlob, {parser.settings().valueName});
    }
    // The node itself follows the ProcessNull of its parent; its own one
    // governs its children.
    if (!errors.holdsError() && (!data.empty() || inherited.processNull)) {
        if (inPlace) {
            // already where it belongs
        } else if (ctx.ofoIsNone()) {
            out.append(data);
        } else {
            OpContext octx(kDirectionOutput);
            Output output;
            ApplyOFO(parser, octx, ctx.ofoChain(), data, output);
            if (!errors.holdsError()) out.append(output.view());
        }
    } else if (inPlace) {
        out.resize(start);  // a failed group writes nothing
    }
    ctx.RecordError();
    ctx.StoreProps();
    return errors.mostSevere().code;
}

std::uint32_t ParseTemplate(Parser& parser, Cursor& cursor, NodeId node, const TParseInherit& inherited) {
    if (!parser.isOpen()) parser.raise("TPFIX.Parse", kErrParserNotOpen, {parser.GetParserName()});
    if (!node) return 0;
    const NestingGuard guard(parser, "TPFIX.Parse");
    TFormatError& errors = parser.errors();
    NodeTable& table = nodes();
    TParseContext ctx(inherited, parser);
    OwnedTree clone;  // the next repetition, until it is inserted
    std::uint32_t repeatStart = 0;
    std::optional<std::size_t> at;  // the current repetition's index under its parent, once known
    NodeId current = node;
    auto finish = [&] {
        ctx.RecordError();
        ctx.StoreProps();
        return errors.mostSevere().code;
    };
    for (;;) {
        ctx.SetNode(current);
        if (errors.holdsError()) return finish();

        const bool repeats = ctx.GetRepeatCount() != 0;
        if (repeats) {
            if (cursor.atEnd()) {
                // No data left for this repetition: it leaves the value
                // tree, unless it is the caller's root.
                ctx.SetNode(0);
                if (table.get(current).parent) table.remove(current);
                return errors.mostSevere().code;
            }
            clone.reset(table.copy(current, true));
            repeatStart = cursor.position;
        }

        OpContext octx(kDirectionInput);
        Output field;
        const bool allowNull = ctx.GetAllowNull();
        const BytesView data = ApplyIFOView(parser, octx, ctx.ifoChain(), ctx.mask(), allowNull, cursor.rest(), field);
        ctx.RecordError();

        if (ctx.current().isGroup() && ctx.GetRecurse() > 0 && !errors.holdsError()) {
            ctx.checkRemainder = octx.ownCount;
            const TParseInherit childRecord = ctx.ChildRecord();
            Parser& handler = ctx.GetParser();
            Cursor fieldCursor{data, 0};
            if (&handler == &parser) {
                // By position: a child's repetitions are inserted right after
                // it and parsed by the child's own loop, and a repeated child
                // without data removes itself.
                const std::vector<NodeId>& children = ctx.current().children;
                for (std::size_t i = 0; i < children.size();) {
                    const std::size_t before = children.size();
                    // The last child may have to report data left over.
                    const bool quick = i + 1 < before && parseField(parser, fieldCursor, table.get(children[i]), childRecord);
                    if (!quick) ParseTemplate(parser, fieldCursor, children[i], childRecord);
                    if (errors.holdsError()) {
                        cursor.advance(octx.consumed);
                        return finish();
                    }
                    i += 1 + children.size() - before;
                }
                if (ctx.GetIFO().empty()) octx.consumed = fieldCursor.position;
            } else {
                // The other parser works on the same node: hand it over as
                // it is, and take it back as the other parser left it.
                ctx.StoreProps();
                handler.ParseInternal(fieldCursor, current, childRecord);
                ctx.SetNode(current);
                ctx.KeepReports();
            }
            // Without an input chain a group's field is the rest of the
            // message; its value is only what its children used.
            if (ctx.GetTSetGroups()) ctx.SetValue(data.substr(0, octx.consumed));
        } else if (!data.empty()) {
            ctx.SetValue(data);
        }

        cursor.advance(octx.consumed);
        ctx.AutoNumber();
        // A pending error ends the walk here: what follows would only report
        // the consequences of that error.
        if (cursor.atEnd() || errors.holdsError()) return finish();

        const NodeId parent = ctx.current().parent;
        if (repeats) {
            if (cursor.position == repeatStart) {
                errors.record("TPFIX.Parse", kErrRepeatNeedsIfo, {});
                return finish();
            }
            if (!parent) parser.raise("TPFIX.Parse", kErrOrphanRepeat);
            ctx.RecordError();
            ctx.StoreProps();
            const auto& siblings = table.get(parent).children;
            if (!at) at = static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), current) - siblings.begin());
            current = clone.release();
            table.addChild(parent, current, static_cast<std::int64_t>(++*at));
            continue;
        }
        const bool last = !parent || table.get(parent).children.back() == current;
        if (last && inherited.checkRemainder) {
            errors.record("TPFIX.Parse", kInfoUnusedAfterParsing, {ctx.current().name, std::to_string(cursor.left())});
        }
        return finish();
    }
}

}  // namespace payfmt
