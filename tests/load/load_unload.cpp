// A host that loads libpayfmt.so at run time, uses it and unloads it, twice.
// Loading brings up the settings, the settings component and the default
// parser; unloading must release all of it: under the sanitizer build
// LeakSanitizer checks the process at exit, and the library really goes
// away on dlclose, so nothing of it is left to keep its memory reachable.
//
// The library is used from a worker thread that ends before dlclose: the
// thread's error record is thread-local storage of the library, and a
// thread holding such storage keeps the library loaded until it exits.
//
// The host uses libxml2 itself: the library's XML parser puts an external
// entity loader of its own in front of the host's, which must be gone with
// the library, or the host's next parse that loads anything calls into
// unloaded code.
//
// Usage: payfmt_load_test path/to/libpayfmt.so
#include <dlfcn.h>
#include <libxml/parser.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "payfmt/payfmt.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

// The library's functions, looked up by name as a plug-in host does.
struct Library {
    void* handle = nullptr;
    decltype(&FormatInputA) formatInput = nullptr;
    decltype(&FormatTGetA) treeGet = nullptr;
    decltype(&FormatTSetA) treeSet = nullptr;
    decltype(&GetFormatRef) settingsRef = nullptr;
    decltype(&GetDefaultParser) defaultParser = nullptr;
    decltype(&KORInvokeByNameA) invokeByName = nullptr;
    decltype(&KORRelease) release = nullptr;
    decltype(&KORCreateObjectA) create = nullptr;
    decltype(&VEXVarSetStrA) setText = nullptr;
    decltype(&VEXVarClear) clearVar = nullptr;
    decltype(&VEXBufData) bufData = nullptr;
    decltype(&VEXBufLen) bufLen = nullptr;
    decltype(&VEXBufFree) bufFree = nullptr;
    decltype(&VEXTreeFromJsonA) treeFromJson = nullptr;

    template <class F>
    void find(F& f, const char* name) {
        f = reinterpret_cast<F>(dlsym(handle, name));
        check(f != nullptr, name);
    }

    bool open(const char* path) {
        handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            return false;
        }
        find(formatInput, "FormatInputA");
        find(treeGet, "FormatTGetA");
        find(treeSet, "FormatTSetA");
        find(settingsRef, "GetFormatRef");
        find(defaultParser, "GetDefaultParser");
        find(invokeByName, "KORInvokeByNameA");
        find(release, "KORRelease");
        find(create, "KORCreateObjectA");
        find(setText, "VEXVarSetStrA");
        find(clearVar, "VEXVarClear");
        find(bufData, "VEXBufData");
        find(bufLen, "VEXBufLen");
        find(bufFree, "VEXBufFree");
        find(treeFromJson, "VEXTreeFromJsonA");
        return failures == 0;
    }

    std::string text(VEXBUF b) const {
        std::string s(reinterpret_cast<const char*>(bufData(b)), bufLen(b));
        bufFree(b);
        return s;
    }

    std::string input(const char* value, const char* format) const {
        VEXBUF out = nullptr;
        const uint32_t status = formatInput(value, format, &out, 0);
        const std::string t = text(out);
        return status ? "status " + std::to_string(status) : t;
    }

    uint32_t call(KOROBJ obj, const char* name, std::initializer_list<std::string_view> args, VEXVARIANT* result) const {
        VEXVARIANT a[4] = {};
        uint32_t n = 0;
        for (std::string_view s : args) setText(&a[n++], s.data(), static_cast<uint32_t>(s.size()));
        const uint32_t status = invokeByName(obj, name, KOR_DISPATCH_METHOD | KOR_DISPATCH_GET, a, n, result, nullptr);
        for (uint32_t i = 0; i < n; ++i) clearVar(&a[i]);
        return status;
    }
};

// Everything the library makes at load and on first use, left in the state a
// host that simply unloads would leave it in.
void use(const Library& lib) {
    check(lib.input("1234", "HEX2DEC") == "4660", "HEX2DEC");

    KOROBJ settings = nullptr;
    check(lib.settingsRef(&settings) == 0, "GetFormatRef");
    VEXVARIANT result{};
    check(lib.call(settings, "RegisterOperator", {"TWOHEX", "FIX(2).HEX2RAW"}, &result) == 0, "RegisterOperator");
    lib.clearVar(&result);
    check(lib.input("1234", "TWOHEX.RAW2DEC") == "18", "a registered sequence");
    check(lib.call(settings, "ParserCreateFromPath", {"parser:PFIX/loaded"}, &result) == 0, "ParserCreateFromPath");
    lib.clearVar(&result);
    lib.release(settings);

    KOROBJ parser = nullptr;
    check(lib.defaultParser(&parser) == 0, "GetDefaultParser");
    check(lib.call(parser, "Name", {}, &result) == 0 && result.type == VEXVT_STRING &&
              std::string_view(result.u.s, result.length) == "Default",
          "the default parser's name");
    lib.clearVar(&result);
    lib.release(parser);

    KOROBJ tvr = nullptr;
    check(lib.create("Quorvin.EMV.TVR", nullptr, 0, &tvr) == 0, "KORCreateObjectA");
    lib.release(tvr);

    // A value tree that the host does not delete: it goes with the library.
    const std::string_view json = R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"IFO":"FIX(2)"}}]})j";
    VEXNODE tree = 0;
    check(lib.treeFromJson(json.data(), static_cast<uint32_t>(json.size()), &tree) == 0, "VEXTreeFromJsonA");
    check(lib.treeSet("AB", tree, nullptr, "Value", nullptr) == 0, "FormatTSetA");
    VEXBUF message = nullptr;
    check(lib.treeGet(tree, nullptr, "Value", &message, nullptr) == 0, "FormatTGetA");
    check(lib.text(message) == "AB", "FormatTGetA message");

    // A failing call leaves the thread's error record set.
    check(lib.input("1234", "NOSUCHOP").rfind("status ", 0) == 0, "a failing format");

    // An XML document whose DTD the parser refuses to load.
    KOROBJ xml = nullptr;
    check(lib.create("PXML", nullptr, 0, &xml) == 0, "PXML");
    VEXVARIANT name{};
    lib.setText(&name, "loaded-xml", UINT32_MAX);
    check(lib.invokeByName(xml, "Name", KOR_DISPATCH_PUT, &name, 1, &result, nullptr) == 0, "PXML name");
    lib.clearVar(&name);
    check(lib.call(xml, "Open", {}, &result) == 0, "PXML Open");
    VEXVARIANT args[3] = {};
    lib.setText(&args[0], "<!DOCTYPE a SYSTEM \"a.dtd\"><a>1</a>", UINT32_MAX);
    args[1].type = VEXVT_INT;
    args[1].u.i = tree;
    lib.setText(&args[2], "", 0);
    check(lib.invokeByName(xml, "Parse", KOR_DISPATCH_METHOD, args, 3, &result, nullptr) == 0 && result.type == VEXVT_INT &&
              result.u.i == 0x62070062,
          "PXML Parse refuses the DTD and warns");
    for (VEXVARIANT& a : args) lib.clearVar(&a);
    lib.release(xml);
}

int hostLoads = 0;
xmlParserInputPtr countingLoader(const char*, const char*, xmlParserCtxtPtr) {
    ++hostLoads;
    return nullptr;
}

void loadUseUnload(const char* path) {
    xmlSetExternalEntityLoader(countingLoader);
    Library lib;
    if (!lib.open(path)) return;
    std::thread worker([&lib] { use(lib); });
    worker.join();
    check(dlclose(lib.handle) == 0, "dlclose");
    check(dlopen(path, RTLD_NOW | RTLD_NOLOAD) == nullptr, "the library is unloaded by dlclose");
    // The host's loader is back, and serves the host's own parses.
    check(xmlGetExternalEntityLoader() == countingLoader, "the host's entity loader is back");
    const std::string_view doc = "<!DOCTYPE a SYSTEM \"a.dtd\"><a/>";
    hostLoads = 0;
    xmlFreeDoc(xmlReadMemory(doc.data(), static_cast<int>(doc.size()), nullptr, nullptr,
                             XML_PARSE_DTDLOAD | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    check(hostLoads == 1, "the host's loader is asked for the host's DTD");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s path/to/libpayfmt.so\n", argv[0]);
        return 2;
    }
    // Twice: a library loaded again starts from its initial state.
    for (int round = 0; round < 2; ++round) loadUseUnload(argv[1]);
    if (failures) return 1;
    std::puts("loaded, used and unloaded twice");
    return 0;
}
