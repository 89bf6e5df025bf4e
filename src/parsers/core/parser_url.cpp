#include "parsers/core/parser_url.h"

#include "framework/dispatch.h"
#include "framework/errors.h"
#include "support/ascii.h"
#include "parsers/core/parser_registry.h"

namespace payfmt {

ParserUrl parseParserUrl(std::string_view url) {
    constexpr std::string_view scheme = "parser:";
    if (url.size() >= scheme.size() && equalsNoCase(url.substr(0, scheme.size()), scheme)) url.remove_prefix(scheme.size());
    ParserUrl r;
    if (const auto semi = url.find(';'); semi != std::string_view::npos) {
        r.properties = url.substr(semi + 1);
        url = url.substr(0, semi);
    }
    if (const auto slash = url.find('/'); slash != std::string_view::npos) {
        r.name = url.substr(slash + 1);
        url = url.substr(0, slash);
    }
    r.type = url;
    return r;
}

Ref<ParserComponent> createParserFromUrl(std::string_view url, NodeId tree) {
    const ParserUrl parts = parseParserUrl(url);
    Ref<ParserComponent> parser = createParser(parts.type);
    if (!parts.name.empty()) parser->parser().setName(parts.name);
    Props props;
    if (!props.fromText(parts.properties))
        throwVex(VEX_E_FORMAT | 0xC0000000u, "TGlobalSettings.ParserCreateFromPath", "Malformed properties in parser URL '" + std::string(url) + "'");
    for (const auto& [name, value] : props.items()) {
        const auto dispid = findDispId(*parser, name);
        if (!dispid) throw EMemberNotFound(parser->ClassName(), name, "TGlobalSettings.ParserCreateFromPath");
        parser->SetProperty(*dispid, value);
    }
    if (tree) setDefinitionTree(*parser, tree);
    return parser;
}

void setDefinitionTree(ParserComponent& parser, NodeId tree) {
    if (tree) nodes().get(tree);
    if (const auto dispid = findDispId(parser, "Definitions")) parser.SetProperty(*dispid, Variant::integer(tree));
    else parser.parser().SetDefTree(tree);
}

}  // namespace payfmt
