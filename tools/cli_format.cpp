// payfmt input / output / validate / check: one field through a format.
#include <cstdio>

#include "cli_common.h"

namespace cli {

int runFormatCommand(const Options& o) {
    const auto& a = o.args;
    const std::string& command = a[0];
    if (command == "check") {
        const uint32_t status = FormatValidateFmtA(a[1].c_str(), 0);
        if (status == 0) std::puts("ok");
        return report(status);
    }
    std::string value;
    if (!readValue(o, a.back(), value)) return 2;
    if (command == "validate") {
        const uint32_t status = FormatValidateA(value.c_str(), a[1].c_str(), a[2].c_str(), 0);
        if (status == 0) std::puts("valid");
        return report(status);
    }
    VEXBUF result = nullptr;
    const uint32_t status = command == "input" ? FormatInputA(value.c_str(), a[1].c_str(), &result, 0)
                                               : FormatOutputA(value.c_str(), a[1].c_str(), &result, 0);
    if (result) std::puts(shown(o, take(result)).c_str());
    return report(status);
}

}  // namespace cli
