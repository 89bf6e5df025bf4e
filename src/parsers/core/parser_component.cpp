#include "parsers/core/parser_component.h"

#include <algorithm>
#include <climits>

#include "framework/arguments.h"
#include "parsers/core/charset_text.h"
#include "parsers/core/format_errors.h"
#include "parsers/core/parser_info.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

using namespace parser_dispid;

constexpr std::string_view kDoCallSource = "TVEXParser.DoCall";
constexpr std::string_view kSetSource = "TVEXParser.DoSetProperty";

bool toBool(const Variant& v) {
    const auto b = v.toBool();
    if (!b) throw EInvalidParameter::type(1, v.typeName(), std::string(kSetSource));
    return *b;
}

std::int64_t toInt(const Variant& v) {
    const auto i = v.toInt();
    if (!i) throw EInvalidParameter::type(1, v.typeName(), std::string(kSetSource));
    return *i;
}

// The properties every parser has. Definitions is there only for the
// families that keep a definition tree.
struct Property {
    std::int32_t dispid;
    Variant (*get)(const Parser&);
    void (*set)(Parser&, const Variant&);  // null for a read-only property
};

constexpr Property kProperties[] = {
    {kName, [](const Parser& p) { return Variant::text(p.name()); },
     [](Parser& p, const Variant& v) {
         const auto text = v.toText();
         if (!text) throw EInvalidParameter::type(1, v.typeName(), std::string(kSetSource));
         p.setName(*text);
     }},
    {kPath, [](const Parser& p) { return Variant::text(p.Path()); }, nullptr},
    {kRequiresDefTree, [](const Parser& p) { return Variant::boolean(p.RequiresDefTree()); }, nullptr},
    {kParserType, [](const Parser& p) { return Variant::text(p.parserType()); }, nullptr},
    {kAllowNull, [](const Parser& p) { return Variant::boolean(p.allowNull); },
     [](Parser& p, const Variant& v) { p.allowNull = toBool(v); }},
    {kProcessNull, [](const Parser& p) { return Variant::boolean(p.processNull); },
     [](Parser& p, const Variant& v) { p.processNull = toBool(v); }},
    {kRecurse, [](const Parser& p) { return Variant::integer(p.recurse); },
     [](Parser& p, const Variant& v) { p.recurse = static_cast<std::int32_t>(std::clamp<std::int64_t>(toInt(v), 0, INT32_MAX)); }},
    {kTSetGroups, [](const Parser& p) { return Variant::boolean(p.tSetGroups); },
     [](Parser& p, const Variant& v) { p.tSetGroups = toBool(v); }},
    {kCharSet,
     [](const Parser& p) {
         Variant all = Variant::array(26);
         for (char l = 'A'; l <= 'Z'; ++l)
             all.elements()[static_cast<std::size_t>(l - 'A')] = Variant::text(charSetText(p.charClass(l), p.settings().escape));
         return all;
     },
     nullptr},
    {kDefinitions, [](const Parser& p) { return Variant::integer(p.definitions()); },
     [](Parser& p, const Variant& v) { p.assignDefinitions(static_cast<NodeId>(toInt(v))); }},
};

const Property* findProperty(const Parser& parser, std::int32_t dispid) {
    if (dispid == kDefinitions && !parser.RequiresDefTree()) return nullptr;
    const auto it = std::ranges::find(kProperties, dispid, &Property::dispid);
    return it == std::end(kProperties) ? nullptr : it;
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

ParserComponent::ParserComponent(const TKORComponentInfo& info, std::unique_ptr<Parser> parser)
    : info_(info), parser_(std::move(parser)) {}

void ParserComponent::DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    Parser& p = *parser_;
    switch (dispid) {
        case kOpen:
        case kClose: {
            Arguments(params, 0, kDoCallSource);
            result = Variant::integer(scripted(p.errors(), [&] {
                dispid == kOpen ? p.Open() : p.Close();
                return p.worstCode();
            }));
            return;
        }
        case kCompile:
        case kParse: {
            const Arguments args(params, 3, kDoCallSource);
            const auto tree = static_cast<NodeId>(args.integer(1));
            if (!params[2].isStr()) throw EInvalidParameter::type(3, params[2].typeName(), std::string(kDoCallSource));
            const std::string format(params[2].bytes());
            if (dispid == kParse && !params[0].isStr() && !params[0].isBlob())
                throw EInvalidParameter::type(1, params[0].typeName(), std::string(kDoCallSource));
            result = Variant::integer(scripted(p.errors(), [&] {
                return dispid == kCompile ? p.Compile(params[0], tree, format) : p.Parse(params[0], tree, format);
            }));
            return;
        }
        default:
            if (translated([&] { return p.CallMember(dispid, params, result); })) return;
            TKORComponent::DoCall(dispid, params, result);
    }
}

void ParserComponent::DoGetProperty(std::int32_t dispid, Variant& value) {
    if (translated([&] { return parser_->GetMember(dispid, value); })) return;
    if (const Property* prop = findProperty(*parser_, dispid)) {
        value = prop->get(*parser_);
        return;
    }
    TKORComponent::DoGetProperty(dispid, value);
}

void ParserComponent::DoSetProperty(std::int32_t dispid, const Variant& value) {
    if (translated([&] { return parser_->SetMember(dispid, value); })) return;
    if (const Property* prop = findProperty(*parser_, dispid); prop && prop->set) {
        translated([&] { prop->set(*parser_, value); });
        return;
    }
    TKORComponent::DoSetProperty(dispid, value);
}

void ParserComponent::DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) {
    if (dispid != kCharSet) return TKORComponent::DoGetIndexedProperty(dispid, indices, value);
    Arguments(indices, 1, "TPFIX.CharSet");
    std::string shown;
    const char letter = charSetLetter(indices[0], shown);
    value = Variant::text(letter ? charSetText(parser_->charClass(letter), parser_->settings().escape) : "[]");
}

void ParserComponent::DoSetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, const Variant& value) {
    if (dispid != kCharSet) return TKORComponent::DoSetIndexedProperty(dispid, indices, value);
    Arguments(indices, 1, "TPFIX.CharSet");
    std::string shown;
    const char letter = charSetLetter(indices[0], shown);
    const auto text = value.toText();
    if (!text) throw EInvalidParameter::type(2, value.typeName(), "TPFIX.SetCharSet");
    scripted(parser_->errors(), [&] { parser_->SetCharSet(letter ? std::string(1, letter) : shown, *text); });
}

}  // namespace payfmt
