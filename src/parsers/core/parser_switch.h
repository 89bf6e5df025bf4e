#pragma once
// Boolean settings of a family (a parser's "switches"), described once in a
// table: the parser answers and takes them by dispid, the family's info
// publishes them from it, and a parser URL reports those that differ from a
// new parser's.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/errors.h"
#include "support/props.h"
#include "support/variant.h"

namespace payfmt {

template <class P>
struct ParserSwitch {
    std::int32_t dispid;
    std::string_view name, description;
    bool P::*member;
    bool fallback;  // a new parser's setting
};

template <class P>
const ParserSwitch<P>* findSwitch(std::span<const ParserSwitch<P>> table, std::int32_t dispid) {
    const auto it = std::ranges::find(table, dispid, &ParserSwitch<P>::dispid);
    return it == table.end() ? nullptr : &*it;
}

// GetMember for the table's dispids; false for any other.
template <class P>
bool getSwitch(std::span<const ParserSwitch<P>> table, const P& parser, std::int32_t dispid, Variant& value) {
    const ParserSwitch<P>* s = findSwitch(table, dispid);
    if (!s) return false;
    value = Variant::boolean(parser.*(s->member));
    return true;
}

// SetMember for the table's dispids: anything that reads as a boolean;
// false for any other dispid.
template <class P>
bool setSwitch(std::span<const ParserSwitch<P>> table, P& parser, std::int32_t dispid, const Variant& value) {
    const ParserSwitch<P>* s = findSwitch(table, dispid);
    if (!s) return false;
    const auto on = value.toBool();
    if (!on) throw EInvalidParameter::type(1, value.typeName(), "TVEXParser.DoSetProperty");
    parser.*(s->member) = *on;
    return true;
}

template <class P>
void reportSwitches(std::span<const ParserSwitch<P>> table, const P& parser, Props& reported) {
    for (const ParserSwitch<P>& s : table)
        if (parser.*(s.member) != s.fallback) reported.set(s.name, Variant::boolean(parser.*(s.member)));
}

}  // namespace payfmt
