// payfmt parse --type PBER (and the other tag-length-value types): each
// element with its tag, name and value, constructed ones with their elements
// below them.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli_common.h"

namespace cli {

void printElements(const Options& o, VEXNODE parent, int indent) {
    constexpr int kValueColumn = 46;  // values line up here however deep their element
    for (VEXNODE element : childrenOf(parent)) {
        const std::string tag = property(element, "Tag").value_or("?");
        const std::string name = nodeName(element);
        const bool nested = !childrenOf(element).empty();
        const auto value = property(element, "Value");
        if (value && !nested) {
            const int width = std::max(1, kValueColumn - indent - 7);
            std::printf("%*s%-5s %-*s %s\n", indent, "", tag.c_str(), width, name.c_str(), shown(o, *value).c_str());
        } else {
            std::printf("%*s%-5s %s\n", indent, "", tag.c_str(), name.c_str());
        }
        printReport(element, "", indent + 2);
        if (nested) printElements(o, element, indent + 2);
    }
}

}  // namespace cli
