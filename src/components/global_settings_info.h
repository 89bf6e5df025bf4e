#pragma once
// TGlobalSettingsInfo: the description of the settings component, its
// properties and methods with their dispids, built once.
#include <cstdint>

#include "framework/component_info.h"

namespace payfmt {

namespace settings_dispid {
inline constexpr std::int32_t kAnsiCp = 1;
inline constexpr std::int32_t kDateRef = 5;
inline constexpr std::int32_t kTimeRef = 6;
inline constexpr std::int32_t kCenturyThreshold = 12;
inline constexpr std::int32_t kDecenyThreshold = 13;
inline constexpr std::int32_t kDetailedErrors = 15;
inline constexpr std::int32_t kParserTypes = 22;
inline constexpr std::int32_t kCodings = 23;
inline constexpr std::int32_t kDateAdd = 51;
inline constexpr std::int32_t kDateDay = 52;
inline constexpr std::int32_t kDateCentury = 53;
inline constexpr std::int32_t kDateDeceny = 54;
inline constexpr std::int32_t kDateIsLeapYear = 55;
inline constexpr std::int32_t kDateMonth = 56;
inline constexpr std::int32_t kDateRnd = 57;
inline constexpr std::int32_t kDateSerial2DateString = 58;
inline constexpr std::int32_t kDateString2DateSerial = 59;
inline constexpr std::int32_t kDateIsValidFormat = 60;
inline constexpr std::int32_t kDateWeek = 61;
inline constexpr std::int32_t kDateWeekDay = 62;
inline constexpr std::int32_t kDateYear = 63;
inline constexpr std::int32_t kParserCreate = 64;
inline constexpr std::int32_t kParserCreateFromPath = 65;
inline constexpr std::int32_t kRegisterOperator = 66;
inline constexpr std::int32_t kUnregisterOperator = 67;
}  // namespace settings_dispid

class TGlobalSettingsInfo final : public TKORComponentInfo {
public:
    TGlobalSettingsInfo();
};

const TGlobalSettingsInfo& globalSettingsInfo();

}  // namespace payfmt
