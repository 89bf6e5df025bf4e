#include "components/global_settings.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "framework/arguments.h"
#include "operators/date_functions.h"
#include "components/global_settings_info.h"
#include "operators/serial_dates.h"
#include "operators/year_windows.h"
#include "parsers/core/format_errors.h"
#include "parsers/core/parser_registry.h"
#include "parsers/core/parser_url.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

using namespace settings_dispid;

// The argument checks of every method report this one location.
constexpr std::string_view kArgumentSource = "TVEXParser.RegisterOperator";
constexpr std::string_view kSetSource = "TGlobalSettings.DoSetProperty";
constexpr std::string_view kParserTypesSource = "TGlobalSettings.ParserTypes";

// What ParserTypes answers for the indexes 1 to 7.
constexpr std::array<std::string_view, 7> kParserTypeNames = {"P8583", "PTLV", "PLTV", "PBER", "PTV", "PEDI", "PVBM"};

std::int32_t int32At(const Arguments& a, std::size_t i) {
    return static_cast<std::int32_t>(
        a.integerIn(i, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

NodeId treeAt(const Arguments& a, std::size_t i) {
    return static_cast<NodeId>(a.integerIn(i, 0, std::numeric_limits<NodeId>::max()));
}

// A reference date or time must be a serial date of the years 0 to 9999;
// anything else is refused and the record keeps what it had.
double checkedSerial(Settings& s, const Arguments& a, std::string_view property) {
    const double serial = a.real(0);
    civilDayOf(serial, DateReport{s.errors(), kSetSource, property});
    return serial;
}

struct Property {
    std::int32_t dispid;
    Variant (*get)(const Settings&);
    void (*set)(Settings&, const Arguments& value);  // null for a read-only property
};

constexpr Property kProperties[] = {
    {kAnsiCp, [](const Settings& s) { return Variant::text(s.codePageName); },
     [](Settings& s, const Arguments& a) { s.selectCodePage(a.text(0)); }},
    // Reading hands out a copy that the caller owns and deletes.
    {kCodings, [](const Settings& s) { return Variant::integer(s.codings() ? nodes().copy(s.codings(), true) : 0); },
     [](Settings& s, const Arguments& a) { s.replaceCodings(treeAt(a, 0)); }},
    {kCenturyThreshold, [](const Settings& s) { return Variant::integer(s.centuryThreshold); },
     [](Settings& s, const Arguments& a) { s.centuryThreshold = int32At(a, 0); }},
    {kDateRef, [](const Settings& s) { return Variant::date(s.referenceDate()); },
     [](Settings& s, const Arguments& a) { s.setReferenceDate(checkedSerial(s, a, "DateRef")); }},
    {kDecenyThreshold, [](const Settings& s) { return Variant::integer(s.decadeThreshold); },
     [](Settings& s, const Arguments& a) { s.decadeThreshold = int32At(a, 0); }},
    {kTimeRef, [](const Settings& s) { return Variant::date(s.referenceTime()); },
     [](Settings& s, const Arguments& a) { s.setReferenceTime(checkedSerial(s, a, "TimeRef")); }},
    {kDetailedErrors, [](const Settings& s) { return Variant::boolean(s.detailedErrors); },
     [](Settings& s, const Arguments& a) { s.detailedErrors = a.boolean(0); }},
    // Only read element by element (DoGetIndexedProperty).
    {kParserTypes, [](const Settings&) -> Variant { throw EInvalidParameter::count(std::string(kParserTypesSource)); },
     nullptr},
};

struct Method {
    std::int32_t dispid;
    // One letter per argument, in order: d a date, i a 32-bit integer, h a
    // tree handle, t a text; upper case for an argument that may be left out.
    std::string_view signature;
    void (*run)(Settings&, const Arguments&, Variant& result);
};

// DateRnd (57) is described but not offered here: the random date is the
// exported Date_Rnd, and calling 57 answers that the member is not found.
constexpr Method kMethods[] = {
    {kDateAdd, "diii",
     [](Settings& s, const Arguments& a, Variant& r) {
         r = Variant::date(DateAdd(s, a.real(0), int32At(a, 1), int32At(a, 2), int32At(a, 3)));
     }},
    {kDateDay, "d", [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateDay(s, a.real(0))); }},
    {kDateCentury, "i",
     [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateCentury(s, int32At(a, 0))); }},
    {kDateDeceny, "i",
     [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateDeceny(s, int32At(a, 0))); }},
    {kDateIsLeapYear, "d",
     [](Settings& s, const Arguments& a, Variant& r) { r = Variant::boolean(DateIsLeapYear(s, a.real(0))); }},
    {kDateMonth, "d", [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateMonth(s, a.real(0))); }},
    {kDateSerial2DateString, "dt",
     [](Settings& s, const Arguments& a, Variant& r) {
         r = Variant::text(DateSerial2DateString(s, a.real(0), a.text(1)));
     }},
    {kDateString2DateSerial, "tt",
     [](Settings& s, const Arguments& a, Variant& r) {
         r = Variant::date(DateString2DateSerial(s, a.text(0), a.text(1)));
     }},
    {kDateIsValidFormat, "t",
     [](Settings&, const Arguments& a, Variant& r) { r = Variant::boolean(DateIsValidFormat(a.text(0))); }},
    {kDateWeek, "d", [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateWeek(s, a.real(0))); }},
    {kDateWeekDay, "d",
     [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateWeekDay(s, a.real(0))); }},
    {kDateYear, "d", [](Settings& s, const Arguments& a, Variant& r) { r = Variant::integer(DateYear(s, a.real(0))); }},
    // Named, given its definitions and opened.
    {kParserCreate, "tth",
     [](Settings&, const Arguments& a, Variant& r) {
         Ref<ParserComponent> parser = createParser(a.text(1));
         parser->parser().setName(a.text(0));
         setDefinitionTree(*parser, treeAt(a, 2));
         parser->parser().Open();
         r = Variant::object(parser.get());
     }},
    // Left closed, as a template.
    {kParserCreateFromPath, "tH",
     [](Settings&, const Arguments& a, Variant& r) {
         const NodeId tree = a.size() > 1 && a.present(1) ? treeAt(a, 1) : 0;
         r = Variant::object(createParserFromUrl(a.text(0), tree).get());
     }},
    {kRegisterOperator, "tt", [](Settings& s, const Arguments& a, Variant&) { s.sequences.store(a.text(0), a.text(1)); }},
    {kUnregisterOperator, "t", [](Settings& s, const Arguments& a, Variant&) { s.sequences.remove(a.text(0)); }},
};

template <class Member, std::size_t N>
const Member* find(const Member (&table)[N], std::int32_t dispid) {
    const auto it = std::ranges::find(table, dispid, &Member::dispid);
    return it == std::end(table) ? nullptr : it;
}

// The count first, then each argument's type in order, before the method
// reads any of them. An argument must hold its type as given: a text is not
// read as a number, nor a number as a text. A date may be given as a date or
// as a plain number of days, which is what a serial date is.
Arguments checkedArguments(const Method& m, std::span<const Variant> params) {
    const auto required = static_cast<std::size_t>(std::ranges::count_if(m.signature, [](char c) { return c >= 'a'; }));
    if (params.size() < required || params.size() > m.signature.size())
        throw EInvalidParameter::count(std::string(kArgumentSource));
    const Arguments args(params, params.size(), kArgumentSource);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const char kind = m.signature[i];
        if (kind < 'a' && !args.present(i)) continue;
        switch (toLower(kind)) {
            case 'd':
                args.require(i, {VarType::Date, VarType::Double, VarType::Int});
                args.real(i);
                break;
            case 'i':
                args.require(i, {VarType::Int});
                int32At(args, i);
                break;
            case 'h':
                args.require(i, {VarType::Int});
                treeAt(args, i);
                break;
            default: args.require(i, {VarType::String}); break;
        }
    }
    return args;
}

}  // namespace

TGlobalSettings::TGlobalSettings() : TGlobalSettings(payfmt::settings()) {}

TGlobalSettings::TGlobalSettings(Settings& record) : record_(record) {}

const TKORComponentInfo* TGlobalSettings::GetComponentInfo() const { return &globalSettingsInfo(); }

void TGlobalSettings::DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    scripted(record_.errors(), [&] {
        const Method* m = find(kMethods, dispid);
        if (!m) return TKORComponent::DoCall(dispid, params, result);
        m->run(record_, checkedArguments(*m, params), result);
    });
}

void TGlobalSettings::DoGetProperty(std::int32_t dispid, Variant& value) {
    scripted(record_.errors(), [&] {
        const Property* p = find(kProperties, dispid);
        if (!p) return TKORComponent::DoGetProperty(dispid, value);
        value = p->get(record_);
    });
}

void TGlobalSettings::DoSetProperty(std::int32_t dispid, const Variant& value) {
    scripted(record_.errors(), [&] {
        const Property* p = find(kProperties, dispid);
        if (!p || !p->set) return TKORComponent::DoSetProperty(dispid, value);
        p->set(record_, Arguments(std::span(&value, 1), 1, kSetSource));
    });
}

void TGlobalSettings::DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) {
    if (dispid != kParserTypes) return TKORComponent::DoGetIndexedProperty(dispid, indices, value);
    record_.errors().reset();
    const std::int64_t index = Arguments(indices, 1, kParserTypesSource).integer(0);
    const bool known = index >= 1 && index <= static_cast<std::int64_t>(kParserTypeNames.size());
    value = Variant::text(known ? kParserTypeNames[static_cast<std::size_t>(index - 1)] : std::string_view());
}

}  // namespace payfmt
