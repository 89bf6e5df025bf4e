#include "parsers/fixed/pfix.h"

#include "parsers/core/parser_component.h"
#include "parsers/core/parser_info.h"
#include "parsers/core/template_walk.h"

namespace payfmt {

namespace {

class PfixInfo final : public TKORFIXParserInfo {
public:
    PfixInfo() : TKORFIXParserInfo(parserClass<TPFIX>("TPFIX", fixParserInfo), "7c4e2a10-5b3d-4f6e-9a81-0d2c6b1e3f01") {
        Register();
    }
};

}  // namespace

std::uint32_t TPFIX::CompileInternal(Bytes& out, NodeId node, const TParseInherit& inherited) {
    return CompileTemplate(*this, out, node, inherited);
}

std::uint32_t TPFIX::ParseInternal(Cursor& cursor, NodeId node, const TParseInherit& inherited) {
    return ParseTemplate(*this, cursor, node, inherited);
}

const TKORComponentInfo& fixParserInfo() {
    static const PfixInfo info;
    return info;
}

}  // namespace payfmt
