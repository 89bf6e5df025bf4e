#include "parsers/core/parser_info.h"

namespace payfmt {

namespace {

constexpr std::string_view kHelpFile = kParserHelpFile;
constexpr std::uint32_t kReadOnly = kReadOnlyAttribute;
constexpr std::uint32_t kTreeOrSpecification = 0x1000400;

}  // namespace

TKORParserInfo::TKORParserInfo(ComponentClass cls, std::string_view classId)
    : TKORComponentInfo(std::move(cls), classId, kHelpFile) {
    using namespace parser_dispid;
    struct Member {
        std::int32_t dispid;
        std::string_view name, description;
        std::uint32_t attributes;
    };
    constexpr Member properties[] = {
        {kName, "Name", "Name of the parser", kReadOnly},
        {kPath, "Path", "Parser URL", kReadOnly},
        {kRequiresDefTree, "RequiresDefTree", "Indicates if a definition tree is required to create the parser", kReadOnly},
        {kParserType, "ParserType", "Type of the parser", kReadOnly},
    };
    for (const auto& p : properties)
        AddProperty(p.dispid, p.name).Describe(p.description).Help(kHelpFile, p.name).Attributes(p.attributes);
    constexpr Member methods[] = {
        {kOpen, "Open", "Opens the parser", 0},
        {kClose, "Close", "Closes the parser", 0},
        {kCompile, "Compile", "Compiles a tree structure into a byte array", 0},
        {kParse, "Parse", "Parses a byte array message into a tree", 0},
    };
    for (const auto& m : methods) AddMethod(m.dispid, m.name).Describe(m.description).Help(kHelpFile, m.name);
}

TKORFIXParserInfo::TKORFIXParserInfo(ComponentClass cls, std::string_view classId)
    : TKORParserInfo(std::move(cls), classId) {
    using namespace parser_dispid;
    AddProperty(kAllowNull, "AllowNull").Describe("Does not generate errors when fields are empty").Help(kHelpFile, "AllowNull");
    AddProperty(kCharSet, "CharSet")
        .Describe("Definition of the 26 character identifiers")
        .Help(kHelpFile, "CharSet")
        .Attributes(kTreeOrSpecification);
    AddProperty(kProcessNull, "ProcessNull")
        .Describe("Also processes empty fields during compilation")
        .Help(kHelpFile, "ProcessNull");
    AddProperty(kRecurse, "Recurse").Describe("Maximum recurse level for TSet/TGet").Help(kHelpFile, "Recurse");
    AddProperty(kTSetGroups, "TSetGroups")
        .Describe("Specifies if data must copied in groups during parsing")
        .Help(kHelpFile, "TSetGroups");
}

TKORDefTreeParserInfo::TKORDefTreeParserInfo(ComponentClass cls, std::string_view classId)
    : TKORFIXParserInfo(std::move(cls), classId) {
    AddProperty(parser_dispid::kDefinitions, "Definitions")
        .Describe("Defines the definition tree")
        .Help(kHelpFile, "Definitions")
        .Attributes(kTreeOrSpecification);
}

}  // namespace payfmt
