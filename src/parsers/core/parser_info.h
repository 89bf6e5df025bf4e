#pragma once
// The component-info classes of the parsers: the members every parser has
// (TKORParserInfo), those of the fixed-format settings every parser also has
// (TKORFIXParserInfo) and the definition tree (TKORDefTreeParserInfo). Each
// family has one info object, built once, that describes its class; a
// family's own members follow those of the class it builds on.
#include <cstdint>

#include "framework/component_info.h"

namespace payfmt {

// Dispids of the members every parser has.
namespace parser_dispid {
inline constexpr std::int32_t kName = -800;
inline constexpr std::int32_t kPath = 118;
inline constexpr std::int32_t kRequiresDefTree = 124;
inline constexpr std::int32_t kParserType = 116;
inline constexpr std::int32_t kAllowNull = 10;
inline constexpr std::int32_t kCharSet = 2;
inline constexpr std::int32_t kProcessNull = 11;
inline constexpr std::int32_t kRecurse = 4;
inline constexpr std::int32_t kTSetGroups = 14;
inline constexpr std::int32_t kDefinitions = 21;
inline constexpr std::int32_t kOpen = 154;
inline constexpr std::int32_t kClose = 155;
inline constexpr std::int32_t kCompile = 152;
inline constexpr std::int32_t kParse = 151;
}  // namespace parser_dispid

// The attribute word of a property that cannot be written.
inline constexpr std::uint32_t kReadOnlyAttribute = 0x4000000;

// The help file every parser member links to.
inline constexpr std::string_view kParserHelpFile = "payfmt";

class TKORParserInfo : public TKORComponentInfo {
protected:
    TKORParserInfo(ComponentClass cls, std::string_view classId);
};

class TKORFIXParserInfo : public TKORParserInfo {
protected:
    TKORFIXParserInfo(ComponentClass cls, std::string_view classId);
};

class TKORDefTreeParserInfo : public TKORFIXParserInfo {
protected:
    TKORDefTreeParserInfo(ComponentClass cls, std::string_view classId);
};

}  // namespace payfmt
