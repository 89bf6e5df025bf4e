#include "parsers/ltv/pltv.h"

#include <algorithm>
#include <climits>

#include "framework/errors.h"
#include "parsers/core/property_names.h"

namespace payfmt {

namespace {

constexpr std::string_view kSetSource = "TVEXParser.DoSetProperty";
constexpr std::string_view kTagNotFound = "TNF";
constexpr std::string_view kTrailingData = "TDL";
constexpr std::string_view kNoTagSearch = "NoTagSearch";

constexpr LtvDefaults kTlvDefaults{"PTLV", LtvMode::Tlv, "FIX(2).DEC2RAW", "LLVAR.FIX(2)", "FIX(2)", "PADR(\"_\",2)", true};
constexpr LtvDefaults kBerDefaults{"PBER", LtvMode::Ber, "berlen", "berlen", "bertag", "hex2raw", false};
constexpr LtvDefaults kTvDefaults{"PTV", LtvMode::Tv, "", "", "FIX(2)", "PADR(\"_\",2)", true};

// The formats by dispid, with the names a parser URL sets them by.
struct FormatMember {
    std::int32_t dispid;
    std::string_view name;
    HeldFormat TPLTV::*format;
    std::string_view LtvDefaults::*fallback;  // null: empty by default
};

constexpr FormatMember kFormats[] = {
    {ltv_dispid::kLenIfm, "LenIfm", &TPLTV::lenIfm, nullptr},
    {ltv_dispid::kLenIfo, "LenIfo", &TPLTV::lenIfo, &LtvDefaults::lenIfo},
    {ltv_dispid::kLenOfo, "LenOfo", &TPLTV::lenOfo, &LtvDefaults::lenOfo},
    {ltv_dispid::kTagIfm, "TagIfm", &TPLTV::tagIfm, nullptr},
    {ltv_dispid::kTagIfo, "TagIfo", &TPLTV::tagIfo, &LtvDefaults::tagIfo},
    {ltv_dispid::kTagOfo, "TagOfo", &TPLTV::tagOfo, &LtvDefaults::tagOfo},
};

// Stamps are unique in the process, so that no parser takes another's memo
// (nor one of a parser gone before it) for its own.
std::uint64_t freshStamp() {
    static std::uint64_t last = 0;  // parsers run under the process lock
    return ++last;
}

const FormatMember* formatMember(std::int32_t dispid) {
    const auto it = std::ranges::find(kFormats, dispid, &FormatMember::dispid);
    return it == std::end(kFormats) ? nullptr : it;
}

// The node below root whose Tag is the text; 0 when none.
NodeId findTagged(NodeId root, std::string_view tag) {
    for (NodeId n = nodes().nextNode(root, root); n; n = nodes().nextNode(root, n)) {
        const Variant* v = nodes().get(n).props.find(prop::kTag);
        if (v && v->isStr() && v->bytes() == tag) return n;
    }
    return 0;
}

}  // namespace

const LtvDefaults TPLTV::kDefaults{"PLTV", LtvMode::Ltv, "FIX(2).DEC2RAW", "RAW2DEC.PADL(\"0\",2)", "FIX(2)",
                                   "PADR(\"_\",2)", true};

TPLTV::TPLTV(const LtvDefaults& defaults)
    : TKORDefTreeParser(std::string(defaults.type)),
      mode(static_cast<std::int32_t>(defaults.mode)),
      lenIfo(defaults.lenIfo),
      lenOfo(defaults.lenOfo),
      tagIfo(defaults.tagIfo),
      tagOfo(defaults.tagOfo),
      defaults_(defaults),
      memoStamp_(freshStamp()) {}

TPTLV::TPTLV() : TPLTV(kTlvDefaults) {}
TPBER::TPBER() : TPLTV(kBerDefaults) {}
TPTV::TPTV() : TPLTV(kTvDefaults) {}

bool TPLTV::GetMember(std::int32_t dispid, Variant& value) {
    if (dispid == ltv_dispid::kMode) {
        value = Variant::integer(mode);
        return true;
    }
    const FormatMember* m = formatMember(dispid);
    if (!m) return false;
    value = Variant::text((this->*(m->format)).text());
    return true;
}

bool TPLTV::SetMember(std::int32_t dispid, const Variant& value) {
    if (dispid == ltv_dispid::kMode) {
        const auto m = value.toInt();
        if (!m) throw EInvalidParameter::type(1, value.typeName(), std::string(kSetSource));
        // Any number is kept: compiling and parsing refuse a mode they do not have.
        mode = static_cast<std::int32_t>(std::clamp<std::int64_t>(*m, INT32_MIN, INT32_MAX));
        return true;
    }
    const FormatMember* m = formatMember(dispid);
    if (!m) return false;
    (this->*(m->format)).assign(value, kSetSource);
    memoStamp_ = freshStamp();
    return true;
}

void TPLTV::reportSettings(Props& reported) const {
    // A class whose info does not list the formats cannot be given them by
    // name, so its URL does not name them either.
    if (!defaults_.published) return;
    for (const FormatMember& m : kFormats) {
        const std::string_view fallback = m.fallback ? defaults_.*(m.fallback) : std::string_view();
        const std::string& text = (this->*(m.format)).text();
        if (text != fallback) reported.set(m.name, Variant::text(text));
    }
    if (mode != static_cast<std::int32_t>(defaults_.mode)) reported.set("Mode", Variant::integer(mode));
}

void TPLTV::clearDefinitions() {
    memoStamp_ = freshStamp();
    storeDefinitions(0);
    fallbackNode = tdl_ = 0;
    alwaysFallback = false;
    index_.clear();
}

void TPLTV::SetDefTree(NodeId tree) {
    if (!tree) return clearDefinitions();
    try {
        CheckGroup(tree);
        CheckProperty(tree, prop::kTag, false, false, PropertyKind::Text);
    } catch (...) {
        // Nothing of a refused tree stays, nor what was set before, and a
        // parser left without definitions is not left open.
        clearDefinitions();
        Close();
        throw;
    }
    // The copy is made before the old tree goes: the tree given may be the
    // one the parser holds.
    storeDefinitions(tree);
    const NodeId root = definitions();
    fallbackNode = findTagged(root, kTagNotFound);
    if (fallbackNode) {
        const Variant* v = nodes().get(fallbackNode).props.find(kNoTagSearch);
        alwaysFallback = v && v->toBool().value_or(false);
    } else {
        fallbackNode = nodes().create(kTagNotFound, 0);
        nodes().addChild(root, fallbackNode, -1);
        nodes().get(fallbackNode).props.set(prop::kAllowRecurse, Variant::boolean(false));
    }
    tdl_ = findTagged(root, kTrailingData);
    if (tdl_) nodes().get(tdl_).props.set(prop::kAllowRecurse, Variant::boolean(false));
    index_.build(root, fallbackNode);
    memoStamp_ = freshStamp();
}

NodeId TPLTV::definitionOf(std::string_view tag) {
    if (alwaysFallback) return 0;
    const NodeId definition = index_.find(tag);
    if (!definition)
        errors().record("TVEXParser.GetDefNode", kErrMissingDefinition & 0x7FFFFFFFu, {GetParserName(), prop::kTag, tag});
    return definition;
}

bool TPLTV::lookup(std::string_view tag, NodeId& definition) {
    definition = definitionOf(tag);
    if (definition) return true;
    // Without a fallback node the element is kept on a node of its own.
    definition = useFallback(tag);
    return false;
}

bool TPLTV::GetDefNode(NodeId root, std::string_view property, std::uint32_t severityBits, NodeId& node,
                       const Variant& value) {
    if (property != prop::kTag) return TKORDefTreeParser::GetDefNode(root, property, severityBits, node, value);
    return lookup(value.toText().value_or(std::string()), node);
}

}  // namespace payfmt
