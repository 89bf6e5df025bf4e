#include "parsers/xml/xml_library.h"

#include <libxml/SAX2.h>
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

// A loader a host had put in front of ours, which a schema's scope set
// aside for as long as it lasts; it still serves the host's own loads.
std::atomic<xmlExternalEntityLoader> displaced{nullptr};
// Set while this thread is inside a loader we handed a load to: a host
// loader that calls the one it found (ours) then gets the one we found.
thread_local bool delegating = false;

xmlParserInputPtr loadEntity(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (XmlScope* scope = current) return scope->load(url, id, context);
    xmlExternalEntityLoader next = previous.load();
    if (const xmlExternalEntityLoader host = displaced.load(); host && !delegating) next = host;
    if (!next) return nullptr;
    const bool outer = !delegating;
    delegating = true;
    xmlParserInputPtr input = next(url, id, context);
    if (outer) delegating = false;
    return input;
}

// libxml2 calls these from C: nothing may unwind through it.
void collect(void* sink, xmlErrorPtr e) noexcept {
    try {
        if (sink && e) static_cast<ErrorSink*>(sink)->take(*e);
    } catch (...) {
    }
}

void refused(void* context, const xmlChar* publicId, const xmlChar* systemId) noexcept {
    try {
        if (XmlScope* scope = current) scope->refuse(view(systemId ? systemId : publicId), static_cast<xmlParserCtxtPtr>(context));
    } catch (...) {
    }
}

void refuseSubset(void* context, const xmlChar*, const xmlChar* publicId, const xmlChar* systemId) noexcept {
    if (publicId || systemId) refused(context, publicId, systemId);
}

xmlParserInputPtr refuseEntity(void* context, const xmlChar* publicId, const xmlChar* systemId) noexcept {
    refused(context, publicId, systemId);
    return nullptr;
}

void declareEntity(void* context, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                   xmlChar* content) noexcept {
    if (type == XML_EXTERNAL_GENERAL_PARSED_ENTITY || type == XML_EXTERNAL_PARAMETER_ENTITY) {
        refused(context, publicId, systemId);
        const int internal = type == XML_EXTERNAL_PARAMETER_ENTITY ? XML_INTERNAL_PARAMETER_ENTITY : XML_INTERNAL_GENERAL_ENTITY;
        xmlChar empty[] = "";
        return xmlSAX2EntityDecl(context, name, internal, nullptr, nullptr, empty);
    }
    xmlSAX2EntityDecl(context, name, type, publicId, systemId, content);
}

void silent(void*, const char*, ...) {}

struct Library {
    Library() {
        LIBXML_TEST_VERSION
        xmlInitParser();
        // The schema type tables are otherwise built on first use, racing
        // with any other thread compiling a schema.
        xmlSchemaInitTypes();
        // Once: a host loader put in front of ours later calls ours in turn,
        // and ours then calls the one it found here, never the host's again.
        previous.store(xmlGetExternalEntityLoader());
        xmlSetExternalEntityLoader(loadEntity);
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

void ensureLibrary() { static const Library library; }

void refuseLoads(xmlParserCtxt* context) {
    if (!context || !context->sax) return;
    context->sax->externalSubset = refuseSubset;
    context->sax->resolveEntity = refuseEntity;
    context->sax->entityDecl = declareEntity;
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
    // Schemas include and import through the process's loader: ours must be
    // the one asked, even when a host has put another in front since.
    if (loads == Loads::LocalFiles && xmlGetExternalEntityLoader() != loadEntity) {
        displaced.store(xmlGetExternalEntityLoader());
        xmlSetExternalEntityLoader(loadEntity);
        setAside_ = true;
    }
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
    if (setAside_ && xmlGetExternalEntityLoader() == loadEntity) {
        xmlSetExternalEntityLoader(displaced.load());
        displaced.store(nullptr);
    }
    current = outer_;
    xmlSetStructuredErrorFunc(savedStructuredContext_, savedStructured_);
    xmlSetGenericErrorFunc(savedGenericContext_, savedGeneric_);
}

xmlParserInputPtr XmlScope::load(const char* url, const char* id, xmlParserCtxtPtr context) {
    try {
        const std::string named = url ? url : (id ? id : "");
        if (const auto it = served_.find(named); it != served_.end())
            return xmlNewStringInputStream(context, chars(it->second));
        if (loads_ == Loads::LocalFiles && url && isLocal(named)) return xmlNoNetExternalEntityLoader(url, id, context);
        refuse(named, context);
    } catch (...) {
    }
    return nullptr;
}

void XmlScope::refuse(std::string_view named, xmlParserCtxtPtr context) {
    const xmlParserInputPtr at = context ? context->input : nullptr;
    sink_.fail(at ? at->line : 0, at ? at->col : 0,
               "'" + std::string(named) + "' not loaded: " +
                   (loads_ == Loads::Nothing ? "a message may not load files or network resources"
                                             : "a schema may only load local files"));
}

}  // namespace payfmt::xml
