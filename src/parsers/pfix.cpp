#include "parsers/pfix.h"

#include "engine/chain.h"
#include "engine/istr.h"
#include "framework/arguments.h"
#include "framework/scripted.h"
#include "parsers/charset_text.h"
#include "parsers/node_props.h"
#include "parsers/parse_context.h"
#include "parsers/parser_info.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::string_view kParserDoCall = "TVEXParser.DoCall";

const TParseInherit kNewParser{};

bool toBool(const Variant& v, std::string_view source) {
    auto b = v.toBool();
    if (!b) throw EInvalidParameter::type(1, v.typeName(), std::string(source));
    return *b;
}

std::int64_t toInt(const Variant& v, std::string_view source) {
    auto i = v.toInt();
    if (!i) throw EInvalidParameter::type(1, v.typeName(), std::string(source));
    return *i;
}

// The letter an identifier of CharSet stands for: a text's first character
// or a number from 1 ("A") to 26; '\0' for anything else.
char charSetLetter(const Variant& id, std::string& shown) {
    if (id.isStr()) {
        shown = std::string(id.bytes());
        const char c = shown.empty() ? '\0' : toUpper(shown.front());
        return c >= 'A' && c <= 'Z' ? c : '\0';
    }
    const auto n = id.toInt();
    shown = n ? std::to_string(*n) : std::string(id.typeName());
    return n && *n >= 1 && *n <= 26 ? static_cast<char>('A' + *n - 1) : '\0';
}

}  // namespace

TPFIX::TPFIX() : TPFIX("PFIX") {}

TPFIX::TPFIX(std::string parserType) : ParserCore(payfmt::settings()), parserType_(std::move(parserType)) {}

TPFIX::~TPFIX() {
    // The list of open parsers only names parsers; one that goes while open
    // takes itself off so that nobody reaches it through the list.
    if (open_) settings().openParsers.remove(registeredName_);
}

const TKORComponentInfo* TPFIX::GetComponentInfo() const { return &fixParserInfo(); }

void TPFIX::raise(std::string_view location, std::uint32_t code, std::initializer_list<std::string_view> args) {
    errors().raise(location, code, args);
}

std::uint32_t TPFIX::worstCode() const { return errors().mostSevere().code; }

TParseInherit TPFIX::rootRecord() const {
    TParseInherit r;
    r.allowNull = allowNull;
    r.processNull = processNull;
    r.recurseLevel = recurse;
    r.checkRemainder = true;
    r.tSetGroups = tSetGroups;
    return r;
}

std::string TPFIX::Path() const {
    Props reported;
    if (allowNull != kNewParser.allowNull) reported.set("AllowNull", Variant::boolean(allowNull));
    if (processNull != kNewParser.processNull) reported.set("ProcessNull", Variant::boolean(processNull));
    if (recurse != kNewParser.recurseLevel) reported.set("Recurse", Variant::integer(recurse));
    if (tSetGroups != kNewParser.tSetGroups) reported.set("TSetGroups", Variant::boolean(tSetGroups));
    std::string path = "parser:" + componentNameOf(ClassName()) + "/" + name_;
    if (!reported.empty()) path.append(";").append(reported.toText());
    return path;
}

void TPFIX::Open() {
    if (name_.empty()) raise("TVEXParser.Open", kErrParserUnnamed, {});
    if (registeredName_.empty()) registeredName_ = name_;
    if (RequiresDefTree() && !definitions()) raise("TVEXParser.Open", kErrNoDefinitionTree, {});
    if (open_) return;
    if (!settings().openParsers.add(registeredName_, this)) raise("TVEXParser.Open", kErrParserNameTaken, {registeredName_});
    open_ = true;
}

void TPFIX::Close() {
    if (open_) settings().openParsers.remove(registeredName_);
    open_ = false;
}

void TPFIX::SetDefTree(NodeId) {}

void TPFIX::storeDefinitions(NodeId tree) { definitions_.reset(tree ? nodes().copy(tree, true) : 0); }

bool TPFIX::NodeHasData(NodeId node, const TParseInherit& inherited) {
    TParseContext ctx(inherited, *this);
    ctx.SetNode(node);
    if (ctx.GetProcessNull()) return true;
    if (nodes().get(node).isGroup() && ctx.GetRecurse() >= 1) {
        const TParseInherit childRecord = ctx.ChildRecord();
        const std::vector<NodeId> children = nodes().get(node).children;
        for (NodeId child : children)
            if (NodeHasData(child, childRecord)) return true;
        return false;
    }
    const Variant* v = ctx.find(settings().valueName);
    return v && !v->bytes().empty();
}

std::uint32_t TPFIX::CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) {
    if (!open_) raise("TVEXParser.Compile", kErrParserNotOpen, {GetParserName()});
    if (!node) return 0;
    TParseContext ctx(inherited, *this);
    ctx.SetNode(node);
    Bytes data;
    if (nodes().get(node).isGroup() && ctx.GetRecurse() > 0) {
        TPFIX& handler = ctx.GetParser();
        const TParseInherit childRecord = ctx.ChildRecord();
        if (&handler != this) {
            ctx.StoreProps();  // the other parser works on the same node
            handler.CompileInternal(data, node, childRecord);
            ctx.SetNode(node);
        } else {
            const std::vector<NodeId> children = nodes().get(node).children;
            for (NodeId child : children) {
                CompileInternal(data, child, childRecord);
                if (errors().holdsError()) break;
            }
        }
    } else if (const Variant* v = ctx.find(settings().valueName); v && !v->is(VarType::Null) && !v->isEmpty()) {
        if (v->isBlob()) data = Bytes(v->bytes());
        else errors().record("TVEXParser.Compile", kErrValueNotBlob, {settings().valueName});
    }
    // The node itself follows the ProcessNull of its parent; its own one
    // governs its children.
    if (!errors().holdsError() && (!data.empty() || inherited.processNull)) {
        OpContext octx(kDirectionOutput);
        Output output;
        ApplyOFO(*this, octx, ctx.GetOFO(), data, output);
        if (!errors().holdsError()) out.append(output.view());
    }
    ctx.RecordError();
    ctx.StoreProps();
    return worstCode();
}

std::uint32_t TPFIX::ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) {
    if (!open_) raise("TPFIX.Parse", kErrParserNotOpen, {GetParserName()});
    if (!node) return 0;
    TParseContext ctx(inherited, *this);
    OwnedTree clone;  // the next repetition, until it is inserted
    std::uint32_t repeatStart = 0;
    NodeId current = node;
    auto finish = [&] {
        ctx.RecordError();
        ctx.StoreProps();
        return worstCode();
    };
    for (;;) {
        ctx.SetNode(current);
        if (errors().holdsError()) return finish();

        const bool repeats = ctx.GetRepeatCount() != 0;
        if (repeats) {
            if (cursor.atEnd()) {
                // No data left for this repetition: it leaves the value
                // tree, unless it is the caller's root.
                ctx.SetNode(0);
                if (nodes().get(current).parent) nodes().remove(current);
                return worstCode();
            }
            clone.reset(nodes().copy(current, true));
            repeatStart = cursor.position;
        }

        OpContext octx(kDirectionInput);
        Output field;
        ApplyIFO(*this, octx, ctx.GetIFO(), ctx.GetIFM(), ctx.GetAllowNull(), cursor.rest(), field);
        ctx.RecordError();
        const Bytes data(field.view());

        if (nodes().get(current).isGroup() && ctx.GetRecurse() > 0 && !errors().holdsError()) {
            ctx.checkRemainder = octx.ownCount;
            const TParseInherit childRecord = ctx.ChildRecord();
            TPFIX& handler = ctx.GetParser();
            Cursor fieldCursor{data, 0};
            if (&handler == this) {
                NodeId child = nodes().get(current).children.empty() ? 0 : nodes().get(current).children.front();
                while (child) {
                    // Repetitions a child inserts after itself are parsed
                    // by the child's own loop, so the sibling is taken first.
                    const NodeId next = nodes().nextSibling(child);
                    ParseInternal(fieldCursor, child, childRecord);
                    if (errors().holdsError()) {
                        cursor.advance(octx.consumed);
                        return finish();
                    }
                    child = next;
                }
                if (ctx.GetIFO().empty()) octx.consumed = fieldCursor.position;
            } else {
                // The other parser works on the same node: hand it over as
                // it is, and take it back as the other parser left it.
                ctx.StoreProps();
                handler.ParseInternal(fieldCursor, current, childRecord);
                ctx.SetNode(current);
            }
            // Without an input chain a group's field is the rest of the
            // message; its value is only what its children used.
            if (ctx.GetTSetGroups()) ctx.SetValue(BytesView(data).substr(0, octx.consumed));
        } else if (!data.empty()) {
            ctx.SetValue(data);
        }

        cursor.advance(octx.consumed);
        ctx.AutoNumber();
        // A pending error ends the walk here: what follows would only report
        // the consequences of that error.
        if (cursor.atEnd() || errors().holdsError()) return finish();

        if (repeats) {
            if (cursor.position == repeatStart) {
                errors().record("TPFIX.Parse", kErrRepeatNeedsIfo, {});
                return finish();
            }
            const NodeId parent = nodes().get(current).parent;
            if (!parent) raise("TPFIX.Parse", kErrOrphanRepeat, {});
            ctx.RecordError();
            ctx.StoreProps();
            const auto& siblings = nodes().get(parent).children;
            const auto at = std::find(siblings.begin(), siblings.end(), current) - siblings.begin();
            current = clone.release();
            nodes().addChild(parent, current, at + 1);
            continue;
        }
        if (!nodes().nextSibling(current) && inherited.checkRemainder) {
            errors().record("TPFIX.Parse", kInfoUnusedAfterParsing,
                            {nodes().get(current).name, std::to_string(cursor.left())});
        }
        return finish();
    }
}

std::uint32_t TPFIX::Compile(Variant& message, NodeId tree, std::string_view outputFormat) {
    if (!open_) raise("TVEXParser.Compile", kErrParserNotOpen, {GetParserName()});
    Bytes raw;
    std::uint32_t code = CompileInternal(raw, tree, rootRecord());
    if (!outputFormat.empty()) {
        OpContext octx(kDirectionOutput);
        Output output;
        ApplyOFO(*this, octx, outputFormat, raw, output);
        raw = Bytes(output.view());
        code = worstCode();
    }
    message = message.isBlob() ? Variant::blob(raw) : Variant::text(RawToIStr(raw, settings().escape));
    return code;
}

std::uint32_t TPFIX::Parse(const Variant& message, NodeId tree, std::string_view inputFormat) {
    if (!open_) raise("TVEXParser.Parse", kErrParserNotOpen, {GetParserName()});
    Bytes raw = message.isStr() ? IStrToRaw(errors(), message.bytes(), settings().escape) : Bytes(message.bytes());
    if (raw.empty()) {
        throw EInvalidParameter(KOR_C_TYPEMISMATCH, "TVEXParser.Parse", "The message to parse is empty");
    }
    if (!inputFormat.empty()) {
        OpContext octx(kDirectionInput);
        Output output;
        ApplyIFO(*this, octx, inputFormat, "", true, raw, output);
        raw = Bytes(output.view());
    }
    Cursor cursor{raw, 0};
    return ParseInternal(cursor, tree, rootRecord());
}

void TPFIX::SubParse(NodeId parent, NodeId definition, std::int64_t index, TParseContext& context, Cursor& cursor) {
    if (!parent || !nodes().alive(parent)) raise("PFIX.SubParse", kErrNoDestination, {GetParserName()});
    if (!definition || !nodes().alive(definition))
        raise("PFIX.SubParse", kErrMissingDefinition, {GetParserName(), "Internal", ""});
    OwnedTree copy(nodes().copy(definition, true));
    for (NodeId n = copy.get(); n; n = nodes().nextNode(copy.get(), n)) nodes().get(n).props.remove(settings().valueName);
    const NodeId inserted = copy.get();
    nodes().addChild(parent, copy.release(), index);
    if (!cursor.data.empty()) ParseInternal(cursor, inserted, context.ChildRecord());
}

void TPFIX::DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    using namespace parser_dispid;
    switch (dispid) {
        case kOpen:
        case kClose: {
            Arguments(params, 0, kParserDoCall);
            result = Variant::integer(scripted(errors(), [&] {
                dispid == kOpen ? Open() : Close();
                return worstCode();
            }));
            return;
        }
        case kCompile:
        case kParse: {
            const Arguments args(params, 3, kParserDoCall);
            const auto tree = static_cast<NodeId>(args.integer(1));
            if (!params[2].isStr()) throw EInvalidParameter::type(3, params[2].typeName(), std::string(kParserDoCall));
            const std::string format(params[2].bytes());
            if (dispid == kParse && !params[0].isStr() && !params[0].isBlob())
                throw EInvalidParameter::type(1, params[0].typeName(), std::string(kParserDoCall));
            result = Variant::integer(scripted(errors(), [&] {
                return dispid == kCompile ? Compile(params[0], tree, format) : Parse(params[0], tree, format);
            }));
            return;
        }
        default: TKORComponent::DoCall(dispid, params, result);
    }
}

void TPFIX::DoGetProperty(std::int32_t dispid, Variant& value) {
    using namespace parser_dispid;
    switch (dispid) {
        case kName: value = Variant::text(name_); return;
        case kPath: value = Variant::text(Path()); return;
        case kRequiresDefTree: value = Variant::boolean(RequiresDefTree()); return;
        case kParserType: value = Variant::text(parserType_); return;
        case kAllowNull: value = Variant::boolean(allowNull); return;
        case kProcessNull: value = Variant::boolean(processNull); return;
        case kRecurse: value = Variant::integer(recurse); return;
        case kTSetGroups: value = Variant::boolean(tSetGroups); return;
        case kCharSet: {
            value = Variant::array(26);
            for (char l = 'A'; l <= 'Z'; ++l)
                value.elements()[static_cast<std::size_t>(l - 'A')] = Variant::text(charSetText(charClass(l), settings().escape));
            return;
        }
        default: TKORComponent::DoGetProperty(dispid, value);
    }
}

void TPFIX::DoSetProperty(std::int32_t dispid, const Variant& value) {
    using namespace parser_dispid;
    constexpr std::string_view source = "TVEXParser.DoSetProperty";
    switch (dispid) {
        case kName: {
            auto text = value.toText();
            if (!text) throw EInvalidParameter::type(1, value.typeName(), std::string(source));
            name_ = *text;
            return;
        }
        case kAllowNull: allowNull = toBool(value, source); return;
        case kProcessNull: processNull = toBool(value, source); return;
        case kRecurse: recurse = static_cast<std::int32_t>(std::clamp<std::int64_t>(toInt(value, source), 0, INT32_MAX)); return;
        case kTSetGroups: tSetGroups = toBool(value, source); return;
        default: TKORComponent::DoSetProperty(dispid, value);
    }
}

void TPFIX::DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) {
    if (dispid != parser_dispid::kCharSet) return TKORComponent::DoGetIndexedProperty(dispid, indices, value);
    Arguments(indices, 1, "TPFIX.CharSet");
    std::string shown;
    const char letter = charSetLetter(indices[0], shown);
    value = Variant::text(letter ? charSetText(charClass(letter), settings().escape) : "[]");
}

void TPFIX::DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value) {
    if (dispid != parser_dispid::kCharSet) return TKORComponent::DoSetIndexedProperty(dispid, indices, value);
    Arguments(indices, 1, "TPFIX.CharSet");
    std::string shown;
    const char letter = charSetLetter(indices[0], shown);
    const auto text = value.toText();
    if (!text) throw EInvalidParameter::type(2, value.typeName(), "TPFIX.SetCharSet");
    scripted(errors(), [&] {
        SetCharSet(letter ? std::string(1, letter) : shown, *text);
        return 0;
    });
}

}  // namespace payfmt
