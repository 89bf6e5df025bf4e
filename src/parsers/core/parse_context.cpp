#include "parsers/core/parse_context.h"

#include <algorithm>

#include "parsers/core/open_parsers.h"
#include "parsers/core/parser.h"
#include "parsers/core/property_names.h"
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
struct Expected<std::string_view> {
    static constexpr VarType type = VarType::String;
    static constexpr std::string_view word = "string";
    static std::string_view get(const Variant& v) { return v.bytes(); }
};

std::int32_t clamp32(std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

bool isReport(std::string_view name) { return equalsNoCase(name, prop::kEC) || equalsNoCase(name, prop::kError); }

}  // namespace

TParseContext::TParseContext(const TParseInherit& inherited, Parser& parser)
    : inherited_(inherited), parser_(parser), errors_(parser.errors()) {}

void TParseContext::SetNode(NodeId node) {
    changes_.clear();
    node_ = node;
    n_ = node ? &nodes().get(node) : nullptr;  // refuses a stale handle now, not later
    def_ = n_ ? ResolvedNode::of(n_->props, ownDef_) : nullptr;
}

const Variant* TParseContext::find(std::string_view name) const {
    if (!n_) return nullptr;
    for (const Change& c : changes_)
        if (equalsNoCase(c.name, name)) return &c.value;
    if (isReport(name)) return nullptr;
    return n_->props.find(name);
}

void TParseContext::set(std::string_view name, Variant value) {
    if (!n_) return;
    for (Change& c : changes_) {
        if (equalsNoCase(c.name, name)) {
            c.value = std::move(value);
            return;
        }
    }
    if (changes_.full()) return n_->props.set(name, std::move(value));
    changes_.emplace_back(Change{name, std::move(value)});
}

void TParseContext::StoreProps() {
    if (!n_ || !nodes().alive(node_)) return;
    NodeProps& props = n_->props;
    if (props.find(prop::kEC)) props.remove(prop::kEC);
    if (props.find(prop::kError)) props.remove(prop::kError);
    for (Change& c : changes_) props.set(c.name, std::move(c.value));
    changes_.clear();
}

void TParseContext::KeepReports() {
    if (!n_) return;
    for (const std::string_view name : {prop::kEC, prop::kError})
        if (const Variant* v = n_->props.find(name)) set(name, *v);
}

template <class T>
T TParseContext::read(std::string_view name, T fallback, std::string_view location) {
    const Variant* v = find(name);
    if (!v || v->isEmpty()) return fallback;
    if (v->type() != Expected<T>::type) {
        errors_.record(location, kErrPropertyType, {name, Expected<T>::word});
        return fallback;
    }
    return Expected<T>::get(*v);
}

std::string_view TParseContext::GetIFO() {
    return def_ ? std::string_view(def_->ifo) : read<std::string_view>(prop::kIFO, {}, "TParsingContext.GetIFO");
}

std::string_view TParseContext::GetIFM() {
    return def_ ? std::string_view(def_->ifm) : read<std::string_view>(prop::kIFM, {}, "TParsingContext.GetIFM");
}

std::string_view TParseContext::GetOFO() {
    return def_ ? std::string_view(def_->ofo) : read<std::string_view>(prop::kOFO, {}, "TParsingContext.GetOFO");
}

std::string_view TParseContext::GetTag() {
    return def_ ? std::string_view(def_->tag) : read<std::string_view>(prop::kTag, {}, "TParsingContext.GetTag");
}

bool TParseContext::GetAllowNull() {
    if (def_) return def_->allowNull.value_or(inherited_.allowNull);
    return read<bool>(prop::kAllowNull, inherited_.allowNull, "TParsingContext.GetAllowNull");
}

bool TParseContext::GetProcessNull() {
    if (def_) return def_->processNull.value_or(inherited_.processNull);
    return read<bool>(prop::kProcessNull, inherited_.processNull, "TParsingContext.GetProcessNull");
}

bool TParseContext::GetTSetGroups() {
    if (def_) return def_->tSetGroups.value_or(inherited_.tSetGroups);
    return read<bool>(prop::kTSetGroups, inherited_.tSetGroups, "TParsingContext.GetTSetGroups");
}

std::int32_t TParseContext::GetRecurse() {
    const bool allowed = def_ ? def_->allowRecurse : read<bool>(prop::kAllowRecurse, true, "TParsingContext.GetRecurse");
    return allowed ? inherited_.recurseLevel : 0;
}

std::int64_t TParseContext::GetRepeatCount() {
    return def_ ? def_->repeatNode : read<std::int64_t>(prop::kRepeatNode, 0, "TParsingContext.GetRepeatCount");
}

std::int32_t TParseContext::GetAutoNumber() {
    if (def_) return def_->repeatAutoNumber ? std::max(autoNumber, clamp32(*def_->repeatAutoNumber)) : autoNumber;
    const Variant* v = find(prop::kRepeatAutoNumber);
    if (!v || !v->isInt()) {
        if (v && !v->isEmpty())
            errors_.record("TParsingContext.GetAutoNumber", kErrPropertyType, {prop::kRepeatAutoNumber, "integer"});
        return autoNumber;
    }
    return std::max(autoNumber, clamp32(v->intValue()));
}

std::int32_t TParseContext::GetBit() {
    return clamp32(def_ ? def_->bit : read<std::int64_t>(prop::kBit, -32768, "TParsingContext.GetTag"));
}

bool TParseContext::ConstructedBER() {
    if (def_ && def_->constructed) return *def_->constructed;
    if (!def_) {
        const Variant* c = find(prop::kConstructed);
        if (c && c->is(VarType::Bool)) return c->boolValue();
    }
    return ResolvedNode::constructedTag(GetTag());
}

std::int32_t TParseContext::BerLenMinSize() {
    return clamp32(def_ ? def_->berLenMinSize : read<std::int64_t>(prop::kBerLenMinSize, 1, "TParsingContext.BerLenMinSize"));
}

std::string TParseContext::GetName() {
    if (const Variant* v = find(prop::kName)) {
        if (auto t = v->toText()) return *t;
    }
    return n_ ? n_->name : std::string();
}

Parser& TParseContext::GetParser() {
    std::string_view name;
    if (def_) {
        if (def_->parser.empty()) return parser_;
        name = def_->parser;
    } else {
        const Variant* v = find(prop::kParser);
        if (!v || v->isEmpty()) return parser_;
        if (!v->isStr()) {
            errors_.record("TParsingContext.GetParser", kErrPropertyType, {prop::kParser, "string"});
            return parser_;
        }
        name = v->bytes();
    }
    if (Parser* other = openParsers().find(name)) return *other;
    errors_.record("TParsingContext.GetParser", kErrParserNotOpen, {name});
    return parser_;
}

const ParsedChain& TParseContext::ifoChain() {
    if (def_) return def_->ifoChain(parser_);
    Settings& s = parser_.settings();
    slowChain_ = s.chains.get(GetIFO(), true, s.sequences);
    return *slowChain_;
}

const ParsedChain& TParseContext::ofoChain() {
    if (def_) return def_->ofoChain(parser_);
    Settings& s = parser_.settings();
    slowChain_ = s.chains.get(GetOFO(), true, s.sequences);
    return *slowChain_;
}

const InputMask& TParseContext::mask() {
    if (def_) return def_->mask(parser_);
    slowMask_ = std::make_unique<InputMask>(InputMask::compile(parser_, GetIFM()));
    return *slowMask_;
}

bool TParseContext::ofoIsNone() { return def_ && def_->ofoChain(parser_).plainNone; }

TParseInherit TParseContext::ChildRecord() {
    TParseInherit r;
    r.allowNull = GetAllowNull();
    r.processNull = inherited_.keepPlace || GetProcessNull();
    r.keepPlace = inherited_.keepPlace;
    r.recurseLevel = std::max(GetRecurse() - 1, 0);
    r.checkRemainder = checkRemainder;
    r.tSetGroups = GetTSetGroups();
    return r;
}

void TParseContext::SetValue(BytesView data) { set(parser_.settings().valueName, Variant::blob(data)); }

void TParseContext::SetName(std::string_view name) {
    set(prop::kName, Variant::text(name));
    if (n_) n_->name = name;
}

void TParseContext::AutoNumber() {
    const std::int32_t n = GetAutoNumber();
    if (n < 0) return;
    SetName(GetName() + std::to_string(n));
    autoNumber = n + 1;
}

bool takeReport(TFormatError& errors, bool detailed, std::uint32_t& code, std::string& text) {
    const auto& entries = errors.entries();
    if (entries.size() > 1 && errors.lastCode() != 0) {
        code = errors.lastCode();
        text = errors.errorText(detailed);
        errors.collapseToMostSevere();
        return true;
    }
    if (!errors.holdsError()) return false;
    // The walk unwinds with an error reported below this node.
    code = entries.front().code;
    text = entries.front().message;
    return true;
}

bool attachReport(Parser& parser, NodeProps& props) {
    std::uint32_t code = 0;
    std::string text;
    if (!takeReport(parser.errors(), parser.settings().detailedErrors, code, text)) return false;
    props.set(prop::kEC, Variant::integer(code));
    props.set(prop::kError, Variant::text(text));
    return true;
}

std::string nameOf(const Node& node) {
    const Variant* v = node.props.find(prop::kName);
    auto text = v ? v->toText() : std::nullopt;
    return text ? std::move(*text) : node.name;
}

TParseInherit childRecordOf(Parser& parser, NodeId node, const TParseInherit& inherited) {
    TParseContext ctx(inherited, parser);
    ctx.SetNode(node);
    return ctx.ChildRecord();
}

void clearReports(NodeProps& props) {
    constexpr std::uint64_t bits = Props::bitOf(prop::kEC) | Props::bitOf(prop::kError);
    if (!props.mayHave(bits)) return;
    for (const std::string_view name : {prop::kEC, prop::kError})
        if (props.find(name)) props.remove(name);
}

void TParseContext::RecordError() {
    if (!n_) return;
    std::uint32_t code = 0;
    std::string text;
    if (!takeReport(errors_, parser_.settings().detailedErrors, code, text)) return;
    set(prop::kEC, Variant::integer(code));
    set(prop::kError, Variant::text(text));
}

}  // namespace payfmt
