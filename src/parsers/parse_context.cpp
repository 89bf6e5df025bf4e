#include "parsers/parse_context.h"

#include <algorithm>

#include "parsers/node_props.h"
#include "parsers/pfix.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::uint32_t kErrPropertyType = 0xE2060009;

template <class T>
struct Expected;
template <>
struct Expected<bool> {
    static constexpr VarType type = VarType::Bool;
    static constexpr std::string_view word = "boolean";
    static bool get(const Variant& v) { return v.boolValue(); }
};
template <>
struct Expected<std::int64_t> {
    static constexpr VarType type = VarType::Int;
    static constexpr std::string_view word = "integer";
    static std::int64_t get(const Variant& v) { return v.intValue(); }
};
template <>
struct Expected<std::string> {
    static constexpr VarType type = VarType::String;
    static constexpr std::string_view word = "string";
    static std::string get(const Variant& v) { return std::string(v.bytes()); }
};

std::int32_t clamp32(std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

TParseContext::TParseContext(const TParseInherit& inherited, TPFIX& parser) : inherited_(inherited), parser_(parser) {}

void TParseContext::SetNode(NodeId node) {
    changes_.clear();
    if (node) nodes().get(node);  // refuses a stale handle now, not later
    node_ = node;
}

const Variant* TParseContext::find(std::string_view name) const {
    if (!node_) return nullptr;
    if (const Variant* v = changes_.find(name)) return v;
    if (equalsNoCase(name, prop::kEC) || equalsNoCase(name, prop::kError)) return nullptr;
    Node* n = nodes().find(node_);
    return n ? n->props.find(name) : nullptr;
}

void TParseContext::set(std::string_view name, Variant value) {
    if (node_) changes_.set(name, std::move(value));
}

void TParseContext::StoreProps() {
    Node* n = node_ ? nodes().find(node_) : nullptr;
    if (!n) return;
    n->props.remove(prop::kEC);
    n->props.remove(prop::kError);
    n->props.merge(changes_);
    changes_.clear();
}

template <class T>
T TParseContext::read(std::string_view name, T fallback, std::string_view location) {
    const Variant* v = find(name);
    if (!v || v->isEmpty()) return fallback;
    if (v->type() != Expected<T>::type) {
        parser_.errors().record(location, kErrPropertyType, {name, Expected<T>::word});
        return fallback;
    }
    return Expected<T>::get(*v);
}

std::string TParseContext::GetIFO() { return read<std::string>(prop::kIFO, {}, "TParsingContext.GetIFO"); }
std::string TParseContext::GetIFM() { return read<std::string>(prop::kIFM, {}, "TParsingContext.GetIFM"); }
std::string TParseContext::GetOFO() { return read<std::string>(prop::kOFO, {}, "TParsingContext.GetOFO"); }
std::string TParseContext::GetTag() { return read<std::string>(prop::kTag, {}, "TParsingContext.GetTag"); }

bool TParseContext::GetAllowNull() {
    return read<bool>(prop::kAllowNull, inherited_.allowNull, "TParsingContext.GetAllowNull");
}

bool TParseContext::GetProcessNull() {
    return read<bool>(prop::kProcessNull, inherited_.processNull, "TParsingContext.GetProcessNull");
}

bool TParseContext::GetTSetGroups() {
    return read<bool>(prop::kTSetGroups, inherited_.tSetGroups, "TParsingContext.GetTSetGroups");
}

std::int32_t TParseContext::GetRecurse() {
    return read<bool>(prop::kAllowRecurse, true, "TParsingContext.GetRecurse") ? inherited_.recurseLevel : 0;
}

std::int64_t TParseContext::GetRepeatCount() {
    return read<std::int64_t>(prop::kRepeatNode, 0, "TParsingContext.GetRepeatCount");
}

std::int32_t TParseContext::GetAutoNumber() {
    const Variant* v = find(prop::kRepeatAutoNumber);
    if (!v || !v->isInt()) {
        if (v && !v->isEmpty())
            parser_.errors().record("TParsingContext.GetAutoNumber", kErrPropertyType, {prop::kRepeatAutoNumber, "integer"});
        return autoNumber;
    }
    return std::max(autoNumber, clamp32(v->intValue()));
}

std::int32_t TParseContext::GetBit() { return clamp32(read<std::int64_t>(prop::kBit, -32768, "TParsingContext.GetTag")); }

bool TParseContext::ConstructedBER() {
    const Variant* c = find(prop::kConstructed);
    if (c && c->is(VarType::Bool)) return c->boolValue();
    const std::string tag = GetTag();
    // The first hexadecimal digit of a constructed tag has its 2 bit set.
    return !tag.empty() && std::string_view("2367ABEFabef").find(tag.front()) != std::string_view::npos;
}

std::int32_t TParseContext::BerLenMinSize() {
    return clamp32(read<std::int64_t>(prop::kBerLenMinSize, 1, "TParsingContext.BerLenMinSize"));
}

std::string TParseContext::GetName() {
    const Variant* v = find(prop::kName);
    if (v) {
        if (auto t = v->toText()) return *t;
    }
    return node_ && nodes().alive(node_) ? nodes().get(node_).name : std::string();
}

TPFIX& TParseContext::GetParser() {
    const Variant* v = find(prop::kParser);
    if (!v || v->isEmpty()) return parser_;
    if (!v->isStr()) {
        parser_.errors().record("TParsingContext.GetParser", kErrPropertyType, {prop::kParser, "string"});
        return parser_;
    }
    const BytesView name = v->bytes();
    if (auto* other = dynamic_cast<TPFIX*>(parser_.settings().openParsers.find(name))) return *other;
    parser_.errors().record("TParsingContext.GetParser", kErrParserNotOpen, {name});
    return parser_;
}

TParseInherit TParseContext::ChildRecord() {
    TParseInherit r;
    r.allowNull = GetAllowNull();
    r.processNull = GetProcessNull();
    r.recurseLevel = std::max(GetRecurse() - 1, 0);
    r.checkRemainder = checkRemainder;
    r.tSetGroups = GetTSetGroups();
    return r;
}

void TParseContext::SetValue(BytesView data) { set(parser_.settings().valueName, Variant::blob(data)); }

void TParseContext::SetName(std::string_view name) {
    set(prop::kName, Variant::text(name));
    if (node_ && nodes().alive(node_)) nodes().get(node_).name = name;
}

void TParseContext::AutoNumber() {
    const std::int32_t n = GetAutoNumber();
    if (n < 0) return;
    SetName(GetName() + std::to_string(n));
    autoNumber = n + 1;
}

void TParseContext::RecordError() {
    if (!node_) return;
    TFormatError& errors = parser_.errors();
    const auto& entries = errors.entries();
    if (entries.size() > 1 && errors.lastCode() != 0) {
        set(prop::kEC, Variant::integer(errors.lastCode()));
        set(prop::kError, Variant::text(errors.errorText(parser_.settings().detailedErrors)));
        errors.collapseToMostSevere();
    } else if (errors.holdsError()) {
        // The walk unwinds with an error reported below this node.
        set(prop::kEC, Variant::integer(entries.front().code));
        set(prop::kError, Variant::text(entries.front().message));
    }
}

}  // namespace payfmt
