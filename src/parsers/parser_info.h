#pragma once
// The component-info classes of the parsers: the members every parser has
// (TKORParserInfo), the fixed-format ones (TKORFIXParserInfo) and the
// definition tree (TKORDefTreeParserInfo). Each parser class answers one
// info object built once for its class.
#include "framework/component_info.h"

namespace payfmt {

class TKORParserInfo : public TKORComponentInfo {
protected:
    TKORParserInfo(ComponentClass cls, std::string_view classId);
};

class TKORFIXParserInfo : public TKORParserInfo {
public:
    // The info of TPFIX itself, registered under "PFIX".
    TKORFIXParserInfo();

protected:
    TKORFIXParserInfo(ComponentClass cls, std::string_view classId);
};

class TKORDefTreeParserInfo : public TKORFIXParserInfo {
protected:
    TKORDefTreeParserInfo(ComponentClass cls, std::string_view classId);
};

const TKORFIXParserInfo& fixParserInfo();

}  // namespace payfmt
