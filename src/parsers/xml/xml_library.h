#pragma once
// libxml2 as the XML parser uses it. The library is brought up once for the
// process; every operation of ours runs inside an XmlScope, which keeps
// libxml2's reports away from stderr (they go to an ErrorSink and from there
// into our error records) and decides what the external entity loader may
// load while it lasts: nothing at all for a message, local files for the
// schemas a host adds. libxml2's own state is never torn down
// (xmlCleanupParser), since other code in the process may be using it.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace payfmt::xml {

// Brings libxml2 up and puts our external entity loader in front of the
// loader the process had, once. Safe from any thread, cheap after the first
// call.
void ensureLibrary();

// Makes a parser context refuse by itself everything a document could load:
// its external DTD, and external entities, which are declared empty instead.
// The loader is process-wide, and another thread may put its own in front
// of ours at any time; a context's own handlers are ours alone. Each refusal
// is reported to the scope running on the thread.
void refuseLoads(xmlParserCtxt* context);

// The first error libxml2 reported during a step of ours. Warnings, and the
// complaint that a document to be validated has no DTD, do not count.
class ErrorSink {
public:
    void reset() { *this = ErrorSink{}; }
    bool failed() const { return failed_; }
    const std::string& reason() const { return reason_; }
    // "Line %d, Pos %d: %s", how load errors are reported.
    std::string located() const;

    void take(const xmlError& e);
    void fail(int line, int column, std::string reason);

private:
    bool failed_ = false;
    int line_ = 0, column_ = 0;
    std::string reason_;
};

enum class Loads { Nothing, LocalFiles };

class XmlScope {
public:
    XmlScope(ErrorSink& sink, Loads loads);
    ~XmlScope();
    XmlScope(const XmlScope&) = delete;
    XmlScope& operator=(const XmlScope&) = delete;

    // Serves text under url to the loader for as long as the scope lasts
    // (a schema compiled from several files of one namespace).
    void serve(std::string url, std::string text) { served_[std::move(url)] = std::move(text); }

    // The loader's decision for this scope.
    xmlParserInputPtr load(const char* url, const char* id, xmlParserCtxtPtr context);
    // Reports that what the document names was not loaded.
    void refuse(std::string_view named, xmlParserCtxtPtr context);

private:
    ErrorSink& sink_;
    Loads loads_;
    std::unordered_map<std::string, std::string> served_;
    XmlScope* outer_;
    bool setAside_ = false;  // a host's loader, put back at the end
    xmlStructuredErrorFunc savedStructured_ = nullptr;
    void* savedStructuredContext_ = nullptr;
    xmlGenericErrorFunc savedGeneric_ = nullptr;
    void* savedGenericContext_ = nullptr;
};

struct FreeDoc {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct FreeParserContext {
    void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};
struct FreeSchema {
    void operator()(xmlSchema* s) const { xmlSchemaFree(s); }
};
struct FreeValidContext {
    void operator()(xmlSchemaValidCtxt* c) const { xmlSchemaFreeValidCtxt(c); }
};
struct FreeSchemaParserContext {
    void operator()(xmlSchemaParserCtxt* c) const { xmlSchemaFreeParserCtxt(c); }
};
using DocPtr = std::unique_ptr<xmlDoc, FreeDoc>;
using ParserContextPtr = std::unique_ptr<xmlParserCtxt, FreeParserContext>;
using SchemaPtr = std::unique_ptr<xmlSchema, FreeSchema>;
using ValidContextPtr = std::unique_ptr<xmlSchemaValidCtxt, FreeValidContext>;
using SchemaParserContextPtr = std::unique_ptr<xmlSchemaParserCtxt, FreeSchemaParserContext>;

inline std::string_view view(const xmlChar* s) { return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view(); }
inline const xmlChar* chars(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

}  // namespace payfmt::xml
