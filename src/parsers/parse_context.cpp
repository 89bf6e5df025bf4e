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
    props_.reset();
    node_ = node;
    if (!node) return;
    props_ = nodes().get(node).props;
    props_->remove(prop::kEC);
    props_->remove(prop::kError);
}

void TParseContext::StoreProps() {
    if (props_ && nodes().alive(node_)) nodes().get(node_).props = *props_;
}

template <class T>
T TParseContext::read(std::string_view name, T fallback, std::string_view location) {
    if (!props_) return fallback;
    const Variant* v = props_->find(name);
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
    const Variant* v = props_ ? props_->find(prop::kRepeatAutoNumber) : nullptr;
    if (!v || !v->isInt()) {
        if (v && !v->isEmpty())
            parser_.errors().record("TParsingContext.GetAutoNumber", kErrPropertyType, {prop::kRepeatAutoNumber, "integer"});
        return autoNumber;
    }
    return std::max(autoNumber, clamp32(v->intValue()));
}

std::int32_t TParseContext::GetBit() { return clamp32(read<std::int64_t>(prop::kBit, -32768, "TParsingContext.GetTag")); }

bool TParseContext::ConstructedBER() {
    const Variant* c = props_ ? props_->find(prop::kConstructed) : nullptr;
    if (c && c->is(VarType::Bool)) return c->boolValue();
    const std::string tag = GetTag();
    // The first hexadecimal digit of a constructed tag has its 2 bit set.
    return !tag.empty() && std::string_view("2367ABEFabef").find(tag.front()) != std::string_view::npos;
}

std::int32_t TParseContext::BerLenMinSize() {
    return clamp32(read<std::int64_t>(prop::kBerLenMinSize, 1, "TParsingContext.BerLenMinSize"));
}

std::string TParseContext::GetName() {
    const Variant* v = props_ ? props_->find(prop::kName) : nullptr;
    if (v) {
        if (auto t = v->toText()) return *t;
    }
    return node_ && nodes().alive(node_) ? nodes().get(node_).name : std::string();
}

TPFIX& TParseContext::GetParser() {
    const Variant* v = props_ ? props_->find(prop::kParser) : nullptr;
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

void TParseContext::SetValue(BytesView data) {
    if (props_) props_->set(parser_.settings().valueName, Variant::blob(data));
}

void TParseContext::SetName(std::string_view name) {
    if (props_) props_->set(prop::kName, Variant::text(name));
    if (node_ && nodes().alive(node_)) nodes().get(node_).name = name;
}

void TParseContext::AutoNumber() {
    const std::int32_t n = GetAutoNumber();
    if (n < 0) return;
    SetName(GetName() + std::to_string(n));
    autoNumber = n + 1;
}

void TParseContext::RecordError() {
    if (!props_) return;
    TFormatError& errors = parser_.errors();
    const auto& entries = errors.entries();
    if (entries.size() > 1 && errors.lastCode() != 0) {
        props_->set(prop::kEC, Variant::integer(errors.lastCode()));
        props_->set(prop::kError, Variant::text(errors.errorText(parser_.settings().detailedErrors)));
        errors.collapseToMostSevere();
    } else if (errors.holdsError()) {
        // The walk unwinds with an error reported below this node.
        props_->set(prop::kEC, Variant::integer(entries.front().code));
        props_->set(prop::kError, Variant::text(entries.front().message));
    }
}

}  // namespace payfmt
