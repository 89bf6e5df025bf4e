// payfmt parse --type PXML: a document as a host sees its value tree, but
// readable: each element on a line with its attributes, an element that
// holds only text with that text, comments and processing instructions by
// kind, then the parse's report.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli_common.h"

namespace cli {

namespace {

constexpr std::string_view kAttributePrefix = "XML_ATTR_";

// The node's XML_ATTR_ properties as name="value" pairs.
std::string attributesOf(VEXNODE node) {
    std::string text;
    VEXPROPS props = nullptr;
    if (VEXTreeGetNodeProps(node, &props) != 0) return text;
    for (uint32_t i = 0; i < VEXPropsCount(props); ++i) {
        const char* name = nullptr;
        Value value;
        VEXPropsItemA(props, i, &name, &value.v);
        const std::string_view n = name ? name : "";
        if (!n.starts_with(kAttributePrefix) || value.v.type != VEXVT_STRING) continue;
        text.append(" ").append(n.substr(kAttributePrefix.size())).append("=\"");
        text.append(value.v.u.s, value.v.length).append("\"");
    }
    VEXPropsFree(props);
    return text;
}

void printNodes(VEXNODE parent, int depth) {
    for (VEXNODE node : childrenOf(parent)) {
        VEXBUF b = nullptr;
        VEXTreeGetNodeName(node, &b);
        const std::string name = take(b);
        const auto children = childrenOf(node);
        const auto value = property(node, "Value");
        std::string line = name.empty() ? "(node of kind " + property(node, "ParserType").value_or("?") + ")" : name;
        line += attributesOf(node);
        // An element holding text alone shows it as its value.
        std::optional<std::string> text = value;
        if (children.size() == 1 && nodeName(children[0]) == "XML_TEXT" && childrenOf(children[0]).empty())
            text = property(children[0], "Value");
        if (text) line += (name == "XML_COMMENT" ? " " : " = ") + *text;
        std::printf("%*s%s\n", depth * 2, "", line.c_str());
        if (!text || value) printNodes(node, depth + 1);
    }
}

}  // namespace

void printXml(VEXNODE document) {
    printNodes(document, 0);
    printReport(document, "", 0);
}

}  // namespace cli
