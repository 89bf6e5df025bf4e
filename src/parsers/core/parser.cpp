#include "parsers/core/parser.h"

#include "engine/chain.h"
#include "engine/istr.h"
#include "framework/errors.h"
#include "parsers/core/open_parsers.h"
#include "parsers/core/parse_context.h"
#include "parsers/core/property_names.h"
#include "parsers/core/template_walk.h"
#include "support/props.h"

namespace payfmt {

namespace {

const TParseInherit kNewParser{};

// A host's call starts afresh: the reports an earlier call left on the
// tree's root no longer describe it, whether or not this call reports.
void clearRootReports(NodeId tree) {
    if (tree) clearReports(nodes().get(tree).props);
}

}  // namespace

Parser::Parser(std::string parserType, bool processNullByDefault)
    : ParserCore(payfmt::settings()),
      processNull(processNullByDefault),
      parserType_(std::move(parserType)),
      processNullByDefault_(processNullByDefault) {}

Parser::~Parser() {
    if (open_) openParsers().remove(registeredName_);
}

void Parser::SetDefTree(NodeId) {}

bool Parser::GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                        const Variant& value) {
    node = nodes().search(root, property, value);
    if (node) return true;
    reportMissingDefinition(property, severityBits, value.toText().value_or(std::string(value.typeName())));
    return false;
}

void Parser::reportMissingDefinition(std::string_view property, std::uint32_t severityBits, std::string_view shown) {
    const std::uint32_t code = (kErrMissingDefinition & 0x3FFFFFFFu) | (severityBits ? severityBits : 0x40000000u);
    errors().record("TVEXParser.GetDefNode", code, {GetParserName(), property, shown});
}

bool Parser::GetMember(std::int32_t, Variant&) { return false; }
bool Parser::SetMember(std::int32_t, const Variant&) { return false; }
bool Parser::CallMember(std::int32_t, std::span<Variant>, Variant&) { return false; }

void Parser::raise(std::string_view location, std::uint32_t code, std::initializer_list<std::string_view> args) {
    errors().raise(location, code, args);
}

std::uint32_t Parser::worstCode() const { return errors().mostSevere().code; }

TParseInherit Parser::rootRecord() const {
    TParseInherit r;
    r.allowNull = allowNull;
    r.processNull = processNull;
    r.recurseLevel = recurse;
    r.checkRemainder = true;
    r.tSetGroups = tSetGroups;
    return r;
}

std::string Parser::Path() const {
    Props reported;
    if (allowNull != kNewParser.allowNull) reported.set("AllowNull", Variant::boolean(allowNull));
    if (processNull != processNullByDefault_) reported.set("ProcessNull", Variant::boolean(processNull));
    if (recurse != kNewParser.recurseLevel) reported.set("Recurse", Variant::integer(recurse));
    if (tSetGroups != kNewParser.tSetGroups) reported.set("TSetGroups", Variant::boolean(tSetGroups));
    reportSettings(reported);
    std::string path = "parser:" + parserType_ + "/" + name_;
    if (!reported.empty()) path.append(";").append(reported.toText());
    return path;
}

void Parser::Open() {
    if (name_.empty()) raise("TVEXParser.Open", kErrParserUnnamed);
    if (registeredName_.empty()) registeredName_ = name_;
    if (RequiresDefTree() && !definitions()) raise("TVEXParser.Open", kErrNoDefinitionTree);
    if (open_) return;
    if (!openParsers().add(registeredName_, this)) raise("TVEXParser.Open", kErrParserNameTaken, {registeredName_});
    open_ = true;
}

void Parser::Close() {
    if (open_) openParsers().remove(registeredName_);
    open_ = false;
}

void Parser::assignDefinitions(NodeId tree) {
    if (tree) nodes().get(tree);
    // A parser that needs definitions cannot stay open without them.
    if (!tree) Close();
    SetDefTree(tree);
}

void Parser::storeDefinitions(NodeId tree) { definitions_.reset(tree ? nodes().copy(tree, true) : 0); }

bool Parser::NodeHasData(NodeId node, const TParseInherit& inherited) { return hasData(node, inherited, true); }

bool Parser::NodeWritesData(NodeId node, const TParseInherit& inherited) { return hasData(node, inherited, false); }

bool Parser::hasData(NodeId node, const TParseInherit& inherited, bool ownProcessNull) {
    const NestingGuard nesting(*this, "TVEXParser.NodeHasData");
    TParseContext ctx(inherited, *this);
    ctx.SetNode(node);
    if (ownProcessNull ? ctx.GetProcessNull() : inherited.processNull) return true;
    if (nodes().get(node).isGroup() && ctx.GetRecurse() >= 1) {
        const TParseInherit childRecord = ctx.ChildRecord();
        for (std::size_t i = 0; i < nodes().get(node).children.size(); ++i)
            if (hasData(nodes().get(node).children[i], childRecord, ownProcessNull)) return true;
        return false;
    }
    const Variant* v = ctx.find(settings().valueName);
    return v && !v->bytes().empty();
}

std::uint32_t Parser::Compile(Variant& message, NodeId tree, std::string_view outputFormat) {
    if (!open_) raise("TVEXParser.Compile", kErrParserNotOpen, {GetParserName()});
    // The message is built in a buffer kept from call to call, so that it
    // does not grow from nothing each time; a nested call finds none kept
    // and builds its own.
    Bytes raw = std::move(buffer_);
    raw.clear();
    clearRootReports(tree);
    std::uint32_t code = CompileInternal(raw, tree, rootRecord());
    if (!outputFormat.empty()) {
        OpContext octx(kDirectionOutput);
        Output output;
        ApplyOFO(*this, octx, outputFormat, raw, output);
        raw.assign(output.view());
        code = worstCode();
    }
    message = message.isBlob() ? Variant::blob(raw) : Variant::text(RawToIStr(raw, settings().escape));
    buffer_ = std::move(raw);
    return code;
}

std::uint32_t Parser::Parse(const Variant& message, NodeId tree, std::string_view inputFormat) {
    if (!open_) raise("TVEXParser.Parse", kErrParserNotOpen, {GetParserName()});
    // A byte message is read where it lies; IStr text is decoded first.
    Bytes decoded;
    BytesView raw = message.bytes();
    if (message.isStr()) {
        decoded = IStrToRaw(errors(), raw, settings().escape);
        raw = decoded;
    }
    if (raw.empty()) {
        throw EInvalidParameter(KOR_C_TYPEMISMATCH, "TVEXParser.Parse", "The message to parse is empty");
    }
    Output converted;
    if (!inputFormat.empty()) {
        OpContext octx(kDirectionInput);
        ApplyIFO(*this, octx, inputFormat, "", true, raw, converted);
        raw = converted.view();
    }
    Cursor cursor{raw, 0};
    clearRootReports(tree);
    return ParseInternal(cursor, tree, rootRecord());
}

}  // namespace payfmt
