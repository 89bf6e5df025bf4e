// The info objects of the four length-tag-value classes.
#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/ltv/pltv.h"

namespace payfmt {

namespace {

constexpr std::uint32_t kModeAttributes = 0x4000400;

// The formats and the mode, after the members of every definition-tree parser.
class TVEXLTVFamilyInfo : public TKORDefTreeParserInfo {
protected:
    TVEXLTVFamilyInfo(ComponentClass cls, std::string_view classId, bool publishFormats)
        : TKORDefTreeParserInfo(std::move(cls), classId) {
        if (!publishFormats) return;
        using namespace ltv_dispid;
        struct Member {
            std::int32_t dispid;
            std::string_view name, description;
        };
        constexpr Member formats[] = {
            {kLenIfm, "LenIfm", "Optional validation of the length field"},
            {kLenIfo, "LenIfo", "Operator that converts the length field into binary"},
            {kLenOfo, "LenOfo", "Operator that converts a binary value into the length field"},
            {kTagIfm, "TagIfm", "Optional validation of a Tag field"},
            {kTagIfo, "TagIfo", "Operator that converts the Tag field into hexadecimal"},
            {kTagOfo, "TagOfo", "Operator that converts a hexadecimal value into the Tag field"},
        };
        for (const Member& m : formats) AddProperty(m.dispid, m.name).Describe(m.description).Help(kParserHelpFile, m.name);
        AddProperty(kMode, "Mode")
            .Describe("Active mode of the LTV parser")
            .Help(kParserHelpFile, "Mode")
            .Attributes(kModeAttributes);
    }
};

class TVEXLTVParserInfo final : public TVEXLTVFamilyInfo {
public:
    TVEXLTVParserInfo()
        : TVEXLTVFamilyInfo(parserClass<TPLTV>("TPLTV", ltvParserInfo), "5e1b7a42-2c9d-4f08-8b3e-71d4a6c0e201", true) {
        Register();
    }
};

class TVEXTLVParserInfo final : public TVEXLTVFamilyInfo {
public:
    TVEXTLVParserInfo()
        : TVEXLTVFamilyInfo(parserClass<TPTLV>("TPTLV", tlvParserInfo), "5e1b7a42-2c9d-4f08-8b3e-71d4a6c0e202", true) {
        Register();
    }
};

class TVEXBERParserInfo final : public TVEXLTVFamilyInfo {
public:
    TVEXBERParserInfo()
        : TVEXLTVFamilyInfo(parserClass<TPBER>("TPBER", berParserInfo), "5e1b7a42-2c9d-4f08-8b3e-71d4a6c0e203", false) {
        Register();
    }
};

class TVEXTVParserInfo final : public TVEXLTVFamilyInfo {
public:
    TVEXTVParserInfo()
        : TVEXLTVFamilyInfo(parserClass<TPTV>("TPTV", tvParserInfo), "5e1b7a42-2c9d-4f08-8b3e-71d4a6c0e204", true) {
        Register();
    }
};

}  // namespace

const TKORComponentInfo& ltvParserInfo() {
    static const TVEXLTVParserInfo info;
    return info;
}

const TKORComponentInfo& tlvParserInfo() {
    static const TVEXTLVParserInfo info;
    return info;
}

const TKORComponentInfo& berParserInfo() {
    static const TVEXBERParserInfo info;
    return info;
}

const TKORComponentInfo& tvParserInfo() {
    static const TVEXTVParserInfo info;
    return info;
}

}  // namespace payfmt
