#include "parsers/core/parser_registry.h"

#include <string>
#include <vector>

#include "engine/settings.h"
#include "parsers/core/parser_url.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

struct Family {
    std::string type;
    ParserFactory create;
};

std::vector<Family>& families() {
    static std::vector<Family> all;
    return all;
}

}  // namespace

void addParserFamily(const TKORComponentInfo& info, ParserFactory create) {
    for (Family& f : families()) {
        if (equalsNoCase(f.type, info.Name())) {
            f.create = create;
            return;
        }
    }
    families().push_back(Family{info.Name(), create});
}

Ref<ParserComponent> createParser(std::string_view type) {
    for (const Family& f : families())
        if (equalsNoCase(f.type, type)) return f.create();
    settings().errors().raise("TVEXParser.ParserCreate", kErrUnknownParserType, {type});
}

}  // namespace payfmt
