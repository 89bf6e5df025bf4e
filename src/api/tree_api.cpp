// The exported tree and component functions: compile and parse value trees
// with the default parser, and references to the default parser and to the
// settings component.
#include <optional>
#include <string>
#include <utility>

#include "api/boundary.h"
#include "api/library.h"
#include "payfmt/format.h"
#include "support/buffer.h"

using namespace payfmt;

namespace {

// The value property a tree call asked for, installed for the length of the
// call; the name before it comes back however the call ends.
class ValueNameScope {
public:
    explicit ValueNameScope(std::string_view name) : saved_(std::exchange(settings().valueName, std::string(name))) {}
    ~ValueNameScope() { settings().valueName = std::move(saved_); }
    ValueNameScope(const ValueNameScope&) = delete;
    ValueNameScope& operator=(const ValueNameScope&) = delete;

private:
    std::string saved_;
};

// The edge of every function here: the process lock, the start of a format
// call where the function has one, and any failure as the framework's status
// with the function's location.
template <class Body>
uint32_t treeExport(std::string_view location, bool startsFormatCall, Body&& body) noexcept {
    try {
        ProcessGuard lock(processLock());
        std::optional<FormatCall> call;
        if (startsFormatCall) call.emplace();
        return std::forward<Body>(body)();
    } catch (...) {
        return frameworkStatus(location);
    }
}

// A new reference to a process-wide component for the caller; out was set
// to null at the start of the call.
uint32_t handOut(RefObject& component, KOROBJ* out, std::string_view location) {
    requirePointer(out, location, "the component reference");
    component.addRef();
    *out = toHandle(&component);
    return 0;
}

template <class T>
void clearOut(T* out) {
    if (out) *out = nullptr;
}

}  // namespace

extern "C" {

PAYFMT_API uint32_t FormatTGetA(VEXNODE tree, void*, const char* value_name, VEXBUF* result, void*) {
    clearOut(result);
    return treeExport("Parser.FormatTGet", true, [&] {
        const ValueNameScope scope(textArg(value_name));
        Parser& parser = Library::instance().defaultParser();
        Variant message;
        parser.Compile(message, tree, "");
        if (result && !message.bytes().empty()) *result = newBuffer(message.bytes());
        return parser.errors().status();
    });
}

PAYFMT_API uint32_t FormatTSetA(const char* message, VEXNODE tree, void*, const char* value_name, void*) {
    return treeExport("Parser.FormatTSet", true, [&] {
        const ValueNameScope scope(textArg(value_name));
        Parser& parser = Library::instance().defaultParser();
        parser.Parse(Variant::text(textArg(message)), tree, "");
        return parser.errors().status();
    });
}

PAYFMT_API int32_t GetDefaultParser(KOROBJ* parser) {
    clearOut(parser);
    return static_cast<int32_t>(treeExport("Parser.GetDefaultParser", true, [&] {
        return handOut(Library::instance().defaultParserComponent(), parser, "Parser.GetDefaultParser");
    }));
}

PAYFMT_API int32_t GetFormatRef(KOROBJ* settings) {
    clearOut(settings);
    return static_cast<int32_t>(treeExport("FrmUtil.GetFormatRef", false, [&] {
        return handOut(Library::instance().globalSettings(), settings, "FrmUtil.GetFormatRef");
    }));
}

}  // extern "C"
