// payfmt parse / compile: whole messages through a parser and a tree.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "cli_common.h"

namespace cli {

namespace {

// A parser reached by member name; failures are printed.
class Parser {
public:
    explicit Parser(const std::string& type) {
        if (KORCreateObjectA(type.c_str(), nullptr, 0, &obj_) != 0) {
            KORERRINFO info = nullptr;
            KORGetErrorInfo(&info);
            std::fprintf(stderr, "payfmt: %s\n", KORErrorInfoDescriptionA(info));
            KORFreeErrorInfo(info);
        }
    }
    ~Parser() {
        if (obj_) {
            invoke("Close", KOR_DISPATCH_METHOD, nullptr, 0);
            KORRelease(obj_);
        }
    }
    explicit operator bool() const { return obj_ != nullptr; }

    // The method's or property's value, or nullopt after printing the failure.
    std::optional<int64_t> invoke(const char* name, uint32_t flags, VEXVARIANT* args, uint32_t count) {
        KOREXCEPINFO excep{};
        Value result;
        const uint32_t status = KORInvokeByNameA(obj_, name, flags, args, count, &result.v, &excep);
        if (status != 0) {
            std::fprintf(stderr, "payfmt: %s: %s\n", name, excep.description ? excep.description : "failed");
            KORExcepInfoClear(&excep);
            return std::nullopt;
        }
        return result.v.type == VEXVT_INT ? result.v.u.i : (result.v.type == VEXVT_BOOL ? result.v.u.b : 0);
    }
    bool put(const char* name, VEXVARIANT& value) { return invoke(name, KOR_DISPATCH_PUT, &value, 1).has_value(); }

private:
    KOROBJ obj_ = nullptr;
};

std::optional<VEXNODE> loadTree(const std::string& path) {
    VEXNODE root = 0;
    if (VEXTreeLoadA(path.c_str(), &root) != 0) {
        KORERRINFO info = nullptr;
        KORGetErrorInfo(&info);
        std::fprintf(stderr, "payfmt: %s: %s\n", path.c_str(), KORErrorInfoDescriptionA(info));
        KORFreeErrorInfo(info);
        return std::nullopt;
    }
    return root;
}

// Indented names; fields with their value, then any report on the node.
void printTree(const Options& o, VEXNODE node, int depth) {
    VEXBUF nameBuf = nullptr;
    VEXTreeGetNodeName(node, &nameBuf);
    const std::string name = take(nameBuf);
    uint32_t attrib = 0, count = 0;
    VEXTreeGetNodeAttrib(node, &attrib);
    VEXTreeChildCount(node, &count);
    const bool group = (attrib & VEX_NODE_GROUP) != 0;
    std::printf("%*s%s", depth * 2, "", name.c_str());
    // A group shows its data only when it has no children to show them.
    const auto value = property(node, "Value");
    if (value && (!group || count == 0)) std::printf(" = %s", shown(o, *value).c_str());
    std::printf("\n");
    if (const auto error = property(node, "Error")) {
        // Detailed reports come one per line: show them on one.
        std::string lines;
        for (char c : *error) {
            if (c == '\n') lines += ' ';
            else if (c != '\r') lines += c;
        }
        std::printf("%*s! %s\n", depth * 2 + 2, "", lines.c_str());
    }
    for (uint32_t i = 0; i < count; ++i) printTree(o, VEXTreeGetChild(node, i), depth + 1);
}

void printJson(VEXNODE node) {
    VEXBUF json = nullptr;
    VEXTreeToJsonA(node, &json);
    std::puts(take(json).c_str());
}

// The types whose messages are tagged elements.
bool tagged(const std::string& type) {
    for (const char* t : {"PLTV", "PTLV", "PBER", "PTV"})
        if (strcasecmp(type.c_str(), t) == 0) return true;
    return false;
}

int statusLine(int64_t code) {
    std::fflush(stdout);  // the status follows what was printed
    if (code != 0) std::fprintf(stderr, "status 0x%08X\n", static_cast<uint32_t>(code));
    return exitCode(static_cast<uint32_t>(code));
}

}  // namespace

// Sets the settings' EBCDIC code page; false after printing the failure.
bool selectCodePage(const std::string& name) {
    KOROBJ settings = nullptr;
    if (GetFormatRef(&settings) != 0) return false;
    Value value;
    VEXVarSetStrA(&value.v, name.c_str(), UINT32_MAX);
    KOREXCEPINFO excep{};
    Value result;
    const uint32_t status = KORInvokeByNameA(settings, "Ansi_CP", KOR_DISPATCH_PUT, &value.v, 1, &result.v, &excep);
    if (status != 0) std::fprintf(stderr, "payfmt: --codepage: %s\n", excep.description ? excep.description : "refused");
    KORExcepInfoClear(&excep);
    KORRelease(settings);
    return status == 0;
}

// Opens the parser a --with names (NAME=TYPE:TREE.json); false after
// printing why it could not.
bool openHelper(const std::string& given, std::vector<std::unique_ptr<Parser>>& open) {
    const auto eq = given.find('='), colon = given.find(':');
    if (eq == std::string::npos || colon == std::string::npos || colon < eq || eq == 0) {
        std::fprintf(stderr, "payfmt: --with %s: expected NAME=TYPE:TREE.json\n", given.c_str());
        return false;
    }
    auto parser = std::make_unique<Parser>(given.substr(eq + 1, colon - eq - 1));
    if (!*parser) return false;
    Value name;
    VEXVarSetStrA(&name.v, given.substr(0, eq).c_str(), UINT32_MAX);
    if (!parser->put("Name", name.v)) return false;
    const auto tree = loadTree(given.substr(colon + 1));
    if (!tree) return false;
    Value handle;
    VEXVarSetInt(&handle.v, *tree);
    const bool set = parser->put("Definitions", handle.v);  // the parser keeps a copy
    VEXTreeDeleteNode(*tree, -1);
    if (!set || !parser->invoke("Open", KOR_DISPATCH_METHOD, nullptr, 0)) return false;
    open.push_back(std::move(parser));
    return true;
}

// Sets the property a --set names (NAME=VALUE, the value a number, true or
// false, or text); false after printing why it could not.
bool setProperty(Parser& parser, const std::string& given) {
    const auto eq = given.find('=');
    if (eq == std::string::npos || eq == 0) {
        std::fprintf(stderr, "payfmt: --set %s: expected NAME=VALUE\n", given.c_str());
        return false;
    }
    const std::string name = given.substr(0, eq), text = given.substr(eq + 1);
    Value value;
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0') VEXVarSetInt(&value.v, number);
    else if (strcasecmp(text.c_str(), "true") == 0 || strcasecmp(text.c_str(), "false") == 0)
        VEXVarSetBool(&value.v, strcasecmp(text.c_str(), "true") == 0);
    else VEXVarSetStrA(&value.v, text.c_str(), UINT32_MAX);
    return parser.put(name.c_str(), value.v);
}

// Adds the schemas --schema names (NAMESPACE=FILE.xsd) to an open XML
// parser; false after printing why one could not be added (validating
// without it would pass what it should catch).
bool addSchemas(Parser& parser, const Options& o) {
    for (const std::string& given : o.schemas) {
        // Namespaces and paths may both hold "=": the split that names a
        // file wins, else the first.
        auto eq = given.find('=');
        for (auto at = eq; at != std::string::npos; at = given.find('=', at + 1))
            if (access(given.c_str() + at + 1, R_OK) == 0) {
                eq = at;
                break;
            }
        if (eq == std::string::npos) {
            std::fprintf(stderr, "payfmt: --schema %s: expected NAMESPACE=FILE.xsd\n", given.c_str());
            return false;
        }
        VEXVARIANT args[2] = {};
        VEXVarSetStrA(&args[0], given.substr(0, eq).c_str(), UINT32_MAX);
        VEXVarSetStrA(&args[1], given.substr(eq + 1).c_str(), UINT32_MAX);
        const auto code = parser.invoke("SchemaAdd", KOR_DISPATCH_METHOD, args, 2);
        for (auto& a : args) VEXVarClear(&a);
        if (!code) return false;
        if (*code == 0) continue;
        KORERRINFO info = nullptr;
        KORGetErrorInfo(&info);
        std::fprintf(stderr, "payfmt: --schema: %s\n", info ? KORErrorInfoDescriptionA(info) : "not added");
        KORFreeErrorInfo(info);
        return false;
    }
    return true;
}

int runParserCommand(const Options& o) {
    std::vector<std::unique_ptr<Parser>> helpers;
    for (const std::string& with : o.with)
        if (!openHelper(with, helpers)) return 2;
    const std::string type = o.type.empty() ? "PFIX" : o.type;
    Parser parser(type);
    if (!parser) return 2;
    Value name;
    VEXVarSetStrA(&name.v, "payfmt-cli", UINT32_MAX);
    if (!parser.put("Name", name.v)) return 2;
    for (const std::string& set : o.set)
        if (!setProperty(parser, set)) return 2;
    if (!o.codePage.empty() && !selectCodePage(o.codePage)) return 2;

    // Definition-tree parsers take their definitions for both directions.
    const auto needsDefs = parser.invoke("RequiresDefTree", KOR_DISPATCH_GET, nullptr, 0);
    const bool definitionTree = needsDefs && *needsDefs;
    // An XML document is its own template.
    const bool xml = strcasecmp(type.c_str(), "PXML") == 0;
    if ((definitionTree || (o.args[0] == "parse" && !xml)) && o.defs.empty()) {
        std::fprintf(stderr, "payfmt: %s needs --defs TREE.json\n", o.args[0].c_str());
        return 2;
    }
    std::optional<VEXNODE> defs;
    if (!o.defs.empty() && !(defs = loadTree(o.defs))) return 2;
    struct Deleter {
        std::optional<VEXNODE>& tree;
        ~Deleter() {
            if (tree) VEXTreeDeleteNode(*tree, -1);
        }
    } deleteDefs{defs};
    if (definitionTree) {
        Value handle;
        VEXVarSetInt(&handle.v, *defs);
        if (!parser.put("Definitions", handle.v)) return 2;
    }

    if (o.args[0] == "compile") {
        const auto tree = loadTree(o.args[1]);
        if (!tree) return 2;
        if (!parser.invoke("Open", KOR_DISPATCH_METHOD, nullptr, 0)) return 2;
        VEXVARIANT args[3] = {};
        VEXVarSetStrA(&args[0], "", 0);
        VEXVarSetInt(&args[1], *tree);
        VEXVarSetStrA(&args[2], "", 0);
        const auto code = parser.invoke("Compile", KOR_DISPATCH_METHOD, args, 3);
        // XML is text already, with its own line ends.
        if (code && xml && !o.hex) std::fwrite(args[0].u.s, 1, args[0].length, stdout);
        else if (code && xml) {
            VEXBUF hex = nullptr;
            VEXRawToHexStrnA(reinterpret_cast<const uint8_t*>(args[0].u.s), args[0].length, &hex);
            std::puts(take(hex).c_str());
        } else if (code) std::puts(shown(o, std::string(args[0].u.s, args[0].length)).c_str());
        if (code && *code && !o.json) {
            if (const auto error = property(*tree, "Error")) std::fprintf(stderr, "%s\n", error->c_str());
        }
        for (auto& a : args) VEXVarClear(&a);
        VEXTreeDeleteNode(*tree, -1);
        return code ? statusLine(*code) : 1;
    }

    std::string message;
    if (!(xml ? readText(o.args[1], message) : readValue(o, o.args[1], message))) return 2;
    // Definition-tree parsers fill a value tree of their own.
    const bool ownRoot = definitionTree || xml;
    const VEXNODE root = ownRoot ? VEXTreeCreateNode(xml ? "XML" : "Message", VEX_NODE_GROUP) : *defs;
    if (!parser.invoke("Open", KOR_DISPATCH_METHOD, nullptr, 0) || !addSchemas(parser, o)) {
        if (ownRoot) VEXTreeDeleteNode(root, -1);
        return 2;
    }
    VEXVARIANT args[3] = {};
    VEXVarSetStrA(&args[0], message.data(), static_cast<uint32_t>(message.size()));
    VEXVarSetInt(&args[1], root);
    VEXVarSetStrA(&args[2], "", 0);
    const auto code = parser.invoke("Parse", KOR_DISPATCH_METHOD, args, 3);
    for (auto& a : args) VEXVarClear(&a);
    if (code) {
        if (o.json) printJson(root);
        else if (strcasecmp(type.c_str(), "P8583") == 0) printIso8583(o, root, *defs);
        else if (strcasecmp(type.c_str(), "PEDI") == 0) printSegments(o, root);
        else if (xml) printXml(root);
        else if (tagged(type)) {
            printElements(o, root, 0);
            printReport(root, "", 2);
        } else printTree(o, root, 0);
    }
    if (ownRoot) VEXTreeDeleteNode(root, -1);
    return code ? statusLine(*code) : 1;
}

}  // namespace cli
