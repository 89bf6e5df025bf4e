#include "parsers/xml/xml_library.h"

#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemastypes.h>

#include <atomic>

#include "support/ascii.h"

namespace payfmt::xml {

namespace {

thread_local XmlScope* current = nullptr;
// The loader the process had before ours, which still serves everybody
// else's libxml2 work.
std::atomic<xmlExternalEntityLoader> previous{nullptr};

xmlParserInputPtr loadEntity(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (XmlScope* scope = current) return scope->load(url, id, context);
    const xmlExternalEntityLoader before = previous.load();
    return before ? before(url, id, context) : nullptr;
}

void collect(void* sink, xmlErrorPtr e) {
    if (sink && e) static_cast<ErrorSink*>(sink)->take(*e);
}

void silent(void*, const char*, ...) {}

struct Library {
    Library() {
        LIBXML_TEST_VERSION
        xmlInitParser();
        // The schema type tables are otherwise built on first use, racing
        // with any other thread compiling a schema.
        xmlSchemaInitTypes();
    }
    // The library may be unloaded while libxml2 stays: the loader must not
    // point into code that is gone.
    ~Library() {
        if (xmlGetExternalEntityLoader() == loadEntity) xmlSetExternalEntityLoader(previous.load());
    }
};

// A URL naming no scheme (a path) or the file scheme.
bool isLocal(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos) return true;
    const auto slash = url.find('/');
    if (slash != std::string_view::npos && slash < colon) return true;
    return equalsNoCase(url.substr(0, colon), "file");
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

void ensureLibrary() {
    static const Library library;
    const xmlExternalEntityLoader installed = xmlGetExternalEntityLoader();
    if (installed != loadEntity) {
        previous.store(installed);
        xmlSetExternalEntityLoader(loadEntity);
    }
}

std::string ErrorSink::located() const {
    return "Line " + std::to_string(line_) + ", Pos " + std::to_string(column_) + ": " + reason_;
}

void ErrorSink::take(const xmlError& e) {
    if (failed_ || e.level < XML_ERR_ERROR || e.code == XML_DTD_NO_DTD) return;
    fail(e.line, e.int2, trimmed(e.message ? e.message : "unknown error"));
}

void ErrorSink::fail(int line, int column, std::string reason) {
    if (failed_) return;
    failed_ = true;
    line_ = line;
    column_ = column;
    reason_ = std::move(reason);
}

XmlScope::XmlScope(ErrorSink& sink, Loads loads) : sink_(sink), loads_(loads), outer_(current) {
    ensureLibrary();
    // The handlers are the thread's: whoever else uses libxml2 on this
    // thread gets theirs back when we are done.
    savedStructured_ = xmlStructuredError;
    savedStructuredContext_ = xmlStructuredErrorContext;
    savedGeneric_ = xmlGenericError;
    savedGenericContext_ = xmlGenericErrorContext;
    xmlSetStructuredErrorFunc(&sink_, collect);
    xmlSetGenericErrorFunc(nullptr, silent);
    current = this;
}

XmlScope::~XmlScope() {
    current = outer_;
    xmlSetStructuredErrorFunc(savedStructuredContext_, savedStructured_);
    xmlSetGenericErrorFunc(savedGenericContext_, savedGeneric_);
}

xmlParserInputPtr XmlScope::load(const char* url, const char* id, xmlParserCtxtPtr context) {
    const std::string named = url ? url : (id ? id : "");
    if (const auto it = served_.find(named); it != served_.end())
        return xmlNewStringInputStream(context, chars(it->second));
    if (loads_ == Loads::LocalFiles && url && isLocal(named)) return xmlNoNetExternalEntityLoader(url, id, context);
    const xmlParserInputPtr at = context ? context->input : nullptr;
    sink_.fail(at ? at->line : 0, at ? at->col : 0,
               "'" + named + "' not loaded: " +
                   (loads_ == Loads::Nothing ? "a message may not load files or network resources"
                                             : "a schema may only load local files"));
    return nullptr;
}

}  // namespace payfmt::xml
