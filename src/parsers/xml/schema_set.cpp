#include "parsers/xml/schema_set.h"

#include <libxml/uri.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace payfmt::xml {

namespace {

constexpr std::string_view kSchemaNamespace = "http://www.w3.org/2001/XMLSchema";
constexpr int kLoadOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

std::string attributeValue(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string schemaStart(std::string_view targetNamespace) {
    std::string s = "<xs:schema xmlns:xs=" + attributeValue(kSchemaNamespace);
    if (!targetNamespace.empty()) s += " targetNamespace=" + attributeValue(targetNamespace);
    return s + ">";
}

std::string include(std::string_view location) { return "<xs:include schemaLocation=" + attributeValue(location) + "/>"; }

// The file's absolute path as a file URI, as schema locations are written.
std::string locationOf(std::string_view file) {
    std::error_code ec;
    // Canonical, so that a file reached by two paths is one schema (and
    // one a schema includes is not loaded twice).
    const std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::path(file), ec);
    const std::string text = ec ? std::string(file) : path.string();
    xmlChar* uri = xmlPathToURI(chars(text));
    std::string location = uri ? std::string(view(uri)) : text;
    xmlFree(uri);
    // Absolute, so that no base URI (the compiled set has none of a file)
    // changes it.
    return location.starts_with('/') ? "file://" + location : location;
}

}  // namespace

std::optional<std::string> SchemaSet::add(std::string_view ns, std::string_view file) {
    const std::string location = locationOf(file);
    {
        ErrorSink sink;
        const XmlScope scope(sink, Loads::LocalFiles);
        const ParserContextPtr context(xmlNewParserCtxt());
        if (!context) return "Line 0, Pos 0: out of memory";
        const DocPtr doc(xmlCtxtReadFile(context.get(), location.c_str(), nullptr, kLoadOptions));
        if (!doc || sink.failed()) {
            if (!sink.failed()) sink.fail(0, 0, "the file could not be read");
            return sink.located();
        }
        // The namespace it is added under is the one it defines: libxml2
        // would take it for the namespace it defines, and then skip the
        // schemas added under that one.
        const xmlNode* root = xmlDocGetRootElement(doc.get());
        if (!root || !root->ns || view(root->ns->href) != kSchemaNamespace || view(root->name) != "schema")
            sink.fail(root ? static_cast<int>(xmlGetLineNo(root)) : 0, 0, "the file is not an XML schema");
        else if (xmlChar* target = xmlGetProp(root, BAD_CAST "targetNamespace"); view(target) != ns || (!target && !ns.empty())) {
            sink.fail(static_cast<int>(xmlGetLineNo(root)), 0,
                      "the schema's target namespace is '" + std::string(view(target)) + "', not '" + std::string(ns) + "'");
            xmlFree(target);
        } else {
            xmlFree(target);
        }
        if (sink.failed()) return sink.located();
    }
    const Entry entry{std::string(ns), location};
    if (std::ranges::any_of(entries_, [&](const Entry& e) { return e.ns == entry.ns && e.location == entry.location; }))
        return std::nullopt;
    std::vector<Entry> entries = entries_;
    entries.push_back(entry);
    SchemaPtr compiled;
    if (auto failure = compile(entries, compiled)) return failure;
    ValidContextPtr valid(xmlSchemaNewValidCtxt(compiled.get()));
    if (!valid) return "Line 0, Pos 0: out of memory";
    valid_ = std::move(valid);
    schema_ = std::move(compiled);
    entries_ = std::move(entries);
    return std::nullopt;
}

std::optional<std::string> SchemaSet::compile(const std::vector<Entry>& entries, SchemaPtr& compiled) {
    ErrorSink sink;
    XmlScope scope(sink, Loads::LocalFiles);
    // One import per namespace: libxml2 skips a second import of a namespace
    // it already has, so the files of a namespace that has several are
    // included by a schema of that namespace, served from memory.
    std::map<std::string, std::vector<std::string>> byNamespace;
    for (const Entry& e : entries) byNamespace[e.ns].push_back(e.location);
    std::string set = schemaStart({});
    int served = 0;
    for (const auto& [ns, locations] : byNamespace) {
        if (ns.empty()) {
            for (const std::string& location : locations) set += include(location);
            continue;
        }
        std::string location = locations.front();
        if (locations.size() > 1) {
            location = "payfmt-schema:" + std::to_string(++served);
            std::string wrapper = schemaStart(ns);
            for (const std::string& l : locations) wrapper += include(l);
            scope.serve(location, wrapper + "</xs:schema>");
        }
        set += "<xs:import namespace=" + attributeValue(ns) + " schemaLocation=" + attributeValue(location) + "/>";
    }
    set += "</xs:schema>";
    const DocPtr wrapper(xmlReadMemory(set.data(), static_cast<int>(set.size()), "payfmt-schema:set", nullptr, kLoadOptions));
    const SchemaParserContextPtr context(wrapper ? xmlSchemaNewDocParserCtxt(wrapper.get()) : nullptr);
    if (context) compiled.reset(xmlSchemaParse(context.get()));
    if (compiled && !sink.failed()) return std::nullopt;
    compiled.reset();
    if (!sink.failed()) sink.fail(0, 0, "the schemas could not be compiled");
    return sink.located();
}

std::optional<std::string> SchemaSet::validate(xmlDoc* doc) {
    if (!valid_) return std::nullopt;
    ErrorSink sink;
    const XmlScope scope(sink, Loads::Nothing);
    const int rc = xmlSchemaValidateDoc(valid_.get(), doc);
    if (rc == 0 && !sink.failed()) return std::nullopt;
    return sink.failed() ? sink.reason() : "validation failed with code " + std::to_string(rc);
}

}  // namespace payfmt::xml
