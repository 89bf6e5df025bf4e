// payfmt parse --type PEDI: an interchange segment by segment, each data
// element and component with its code (its Name) and node name; elements
// without data are left out, so what is printed is what the segment holds.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli_common.h"

namespace cli {

namespace {

constexpr int kValueColumn = 44;  // values line up here however deep their element

// Whether the element, or one of its components, holds data or a report (a
// composite's own Value is the text its components were read from).
bool holdsAnything(VEXNODE node) {
    if (property(node, "EC")) return true;
    const auto children = childrenOf(node);
    if (children.empty()) return !property(node, "Value").value_or("").empty();
    return std::any_of(children.begin(), children.end(), holdsAnything);
}

void printDataElements(const Options& o, VEXNODE parent, int indent) {
    for (VEXNODE element : childrenOf(parent)) {
        if (!holdsAnything(element)) continue;
        const std::string code = nodeName(element);
        VEXBUF b = nullptr;
        VEXTreeGetNodeName(element, &b);
        const std::string name = take(b);
        const std::string label = name == code ? code : code + " " + name;
        const bool composite = !childrenOf(element).empty();
        const auto value = property(element, "Value");
        if (value && !composite) {
            const int width = std::max(1, kValueColumn - indent);
            std::printf("%*s%-*s %s\n", indent, "", width, label.c_str(), shown(o, *value).c_str());
        } else {
            std::printf("%*s%s\n", indent, "", label.c_str());
        }
        printReport(element, "", indent + 2);
        if (composite) printDataElements(o, element, indent + 2);
    }
}

}  // namespace

void printSegments(const Options& o, VEXNODE interchange) {
    for (VEXNODE segment : childrenOf(interchange)) {
        const std::string tag = nodeName(segment);
        const auto value = property(segment, "Value");
        // A service string advice, or a segment without definition.
        if (childrenOf(segment).empty()) std::printf("%s%s%s\n", tag.c_str(), value ? " " : "", value ? shown(o, *value).c_str() : "");
        else std::printf("%s\n", tag.c_str());
        printReport(segment, "", 2);
        printDataElements(o, segment, 2);
    }
    printReport(interchange, "", 0);
}

}  // namespace cli
