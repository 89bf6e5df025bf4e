#include "components/global_settings_info.h"

#include <string_view>

#include "components/global_settings.h"

namespace payfmt {

namespace {

constexpr std::string_view kHelpFile = "payfmt";
constexpr std::string_view kClassId = "a0563145-c370-4be6-840d-00511045afa4";

struct MemberText {
    std::int32_t dispid;
    std::string_view name, description;
};

using namespace settings_dispid;

constexpr MemberText kProperties[] = {
    {kAnsiCp, "Ansi_CP", "Cope page for ASCII-EBCDIC conversions"},
    {kCodings, "Codings", "Pointer to the coding tree"},
    {kCenturyThreshold, "CenturyThreshold", "Number between 0-99 representing the century threshold"},
    {kDateRef, "DateRef", "Reference Date"},
    {kDecenyThreshold, "DecenyThreshold", "Number between 0-99 representing the deceny threshold"},
    {kTimeRef, "TimeRef", "Reference Time"},
    {kDetailedErrors, "DetailedErrors", "When true, full details on errors is provided"},
    {kParserTypes, "ParserTypes", "Returns the list of available properties"},
};

// ParserCreate (64) is dispatched but not described.
constexpr MemberText kMethods[] = {
    {kDateAdd, "DateAdd", "Adds a number of years, months and days to a serial date"},
    {kDateDay, "DateDay", "Returns the day of the month of a given serial date"},
    {kDateCentury, "DateCentury", "Returns the year (4 digits) from only the two last digits"},
    {kDateDeceny, "DateDeceny", "Returns the year (4 digits) from only the last digits"},
    {kDateIsLeapYear, "DateIsLeapYear", "Returns \"true\" when the supplied serial date is leap"},
    {kDateMonth, "DateMonth", "Returns the month number of a given serial date"},
    {kDateRnd, "DateRnd", "Returns a random serial date within the given boundaries"},
    {kDateSerial2DateString, "DateSerial2DateString", "Converts a serial date into a string date"},
    {kDateString2DateSerial, "DateString2DateSerial", "Converts a string date into a serial date"},
    {kDateIsValidFormat, "DateIsValidFormat", "Verifies if the IFM is a valid date format"},
    {kDateWeek, "DateWeek", "Returns the week number of a given serial date"},
    {kDateWeekDay, "DateWeekDay", "Returns the day number (Monday=1) of a given serial date"},
    {kDateYear, "DateYear", "Returns the year of a given serial date"},
    {kParserCreateFromPath, "ParserCreateFromPath", "Creates a template parser from an URL path"},
    {kRegisterOperator, "RegisterOperator", "Registers a sequence of operators under a new name"},
    {kUnregisterOperator, "UnregisterOperator", "Unregisters a registered sequence of operators"},
};

}  // namespace

// The class is not registered for creation by name: the library's one
// instance, over the process-wide record, is what GetFormatRef hands out,
// and a second object would only look like separate settings.
TGlobalSettingsInfo::TGlobalSettingsInfo()
    : TKORComponentInfo(componentClass<TGlobalSettings>("TGlobalSettings"), kClassId, kHelpFile) {
    for (const MemberText& p : kProperties) AddProperty(p.dispid, p.name).Describe(p.description).Help(kHelpFile, p.name);
    for (const MemberText& m : kMethods) AddMethod(m.dispid, m.name).Describe(m.description).Help(kHelpFile, m.name);
}

const TGlobalSettingsInfo& globalSettingsInfo() {
    static const TGlobalSettingsInfo info;
    return info;
}

}  // namespace payfmt
