#pragma once
// The XML schemas a host added to a parser, by namespace, compiled into one
// schema: a document that mixes namespaces (an envelope and its payload) is
// validated against all of them at once. The set is compiled again at each
// addition, so that a schema that does not compile is refused when it is
// added, not at every parse.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parsers/xml/xml_library.h"

namespace payfmt::xml {

class SchemaSet {
public:
    // Adds the file under the namespace (empty for a schema without target
    // namespace). The reason, as "Line %d, Pos %d: %s", when the file cannot
    // be loaded or the set with it cannot be compiled; the set then stays as
    // it was.
    std::optional<std::string> add(std::string_view ns, std::string_view file);
    bool empty() const { return !schema_; }
    // The first validation error's reason; nullopt for a valid document.
    std::optional<std::string> validate(xmlDoc* doc);

private:
    struct Entry {
        std::string ns, location;  // location: the file's absolute path as a URI
    };
    std::optional<std::string> compile(const std::vector<Entry>& entries, SchemaPtr& compiled);

    std::vector<Entry> entries_;
    SchemaPtr schema_;
    ValidContextPtr valid_;
};

}  // namespace payfmt::xml
