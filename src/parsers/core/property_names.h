#pragma once
// The node properties the parser framework reads and writes, by name.
#include <string_view>

namespace payfmt::prop {

inline constexpr std::string_view kIFO = "IFO";
inline constexpr std::string_view kIFM = "IFM";
inline constexpr std::string_view kOFO = "OFO";
inline constexpr std::string_view kName = "Name";
inline constexpr std::string_view kAllowNull = "AllowNull";
inline constexpr std::string_view kProcessNull = "ProcessNull";
inline constexpr std::string_view kTSetGroups = "TSetGroups";
inline constexpr std::string_view kAllowRecurse = "AllowRecurse";
inline constexpr std::string_view kRepeatNode = "RepeatNode";
inline constexpr std::string_view kRepeatAutoNumber = "RepeatAutoNumber";
inline constexpr std::string_view kParser = "Parser";
inline constexpr std::string_view kTag = "Tag";
inline constexpr std::string_view kBit = "Bit";
inline constexpr std::string_view kConstructed = "Constructed";
inline constexpr std::string_view kBerLenMinSize = "BerLenMinSize";
inline constexpr std::string_view kParserType = "ParserType";
inline constexpr std::string_view kEC = "EC";
inline constexpr std::string_view kError = "Error";
// Where a field that was reported on starts in the message; on the value
// tree's root, where a parse stopped between fields.
inline constexpr std::string_view kOffset = "Offset";
// The value property is named by the settings record ("Value" by default),
// since the tree exports may choose another one for a call.

}  // namespace payfmt::prop
