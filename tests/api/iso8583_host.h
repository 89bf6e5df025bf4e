#pragma once
// A definition-tree parser (ISO 8583 unless told otherwise) driven by member
// name, as a host drives it: definitions and value trees written as JSON,
// messages as bytes.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "api/kor_host.h"

namespace kortest {

inline VEXNODE jsonTree(std::string_view json) {
    VEXNODE root = 0;
    EXPECT_EQ(VEXTreeFromJsonA(json.data(), static_cast<uint32_t>(json.size()), &root), 0u) << json;
    return root;
}

inline std::string blobOf(const Var& v) {
    return v.v.type == VEXVT_BLOB ? std::string(reinterpret_cast<const char*>(v.v.u.p), v.v.length) : "<" + v.typeName() + ">";
}

inline std::string hexOf(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

// A bundled example file, from its folder below examples/ ("iso8583", "emv").
inline std::string exampleFile(const std::string& folder, const std::string& name) {
    std::ifstream in(std::string(PAYFMT_EXAMPLES_DIR) + "/" + folder + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << folder << "/" << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes as IStr text, the form the examples' listings use.
inline std::string istrOf(const std::string& raw) {
    VEXVARIANT blob{}, text{};
    VEXVarSetBlob(&blob, reinterpret_cast<const uint8_t*>(raw.data()), static_cast<uint32_t>(raw.size()));
    FormatRawToIStrA(&blob, &text);
    std::string s(text.u.s, text.length);
    VEXVarClear(&blob);
    VEXVarClear(&text);
    return s;
}

inline std::string propOf(VEXNODE node, const char* name) {
    Var v;
    if (VEXTreeGetPropA(node, name, &v.v) != 0) return "<none>";
    if (v.v.type == VEXVT_BLOB) return blobOf(v);
    if (v.v.type == VEXVT_INT) return std::to_string(v.v.u.i);
    return v.str();
}

inline uint32_t childCount(VEXNODE node) {
    uint32_t n = 0;
    VEXTreeChildCount(node, &n);
    return n;
}

// The nodes below root: name, then "=" and the value (in hexadecimal when
// hex) for a field, or the nodes below it in braces.
inline std::string outline(VEXNODE root, bool hex = false) {
    std::string s;
    for (uint32_t i = 0; i < childCount(root); ++i) {
        const VEXNODE n = VEXTreeGetChild(root, i);
        VEXBUF name = nullptr;
        VEXTreeGetNodeName(n, &name);
        s += (i ? " " : "") + test::bytes(name);
        VEXBufFree(name);
        const std::string value = propOf(n, "Value");
        if (childCount(n)) s += "{" + outline(n, hex) + "}";
        else if (value != "<none>") s += "=" + (hex ? hexOf(value) : value);
    }
    return s;
}

// A tree handle deleted at the end of the scope.
class Tree {
public:
    explicit Tree(std::string_view json) : root_(jsonTree(json)) {}
    explicit Tree(VEXNODE root) : root_(root) {}
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    ~Tree() {
        if (root_) VEXTreeDeleteNode(root_, -1);
    }
    VEXNODE get() const { return root_; }
    VEXNODE child(uint32_t i) const { return VEXTreeGetChild(root_, i); }

private:
    VEXNODE root_;
};

class Iso8583Host {
public:
    // An open parser of the type, named name, over the definitions.
    Iso8583Host(const char* name, std::string_view definitions, const char* type = "P8583") : parser(Obj::create(type)) {
        EXPECT_EQ(parser.put("Name", Var::text(name)).status, 0u);
        Tree defs(definitions);
        const Outcome set = parser.put("Definitions", Var::integer(defs.get()));
        EXPECT_EQ(set.status, 0u) << set.description;
        const Outcome open = parser.call("Open", {});
        EXPECT_EQ(open.status, 0u) << open.description;
    }
    ~Iso8583Host() { parser.call("Close", {}); }

    // The message's fields go under the root given; answers the status.
    int64_t parse(std::string_view message, VEXNODE root) {
        const Outcome r = parser.call("Parse", {Var::blob(message), Var::integer(root), Var::text("")});
        EXPECT_EQ(r.status, 0u) << r.description;
        return r.result.v.u.i;
    }
    std::string compile(VEXNODE values, int64_t* status = nullptr) {
        const Outcome r = parser.call("Compile", {Var::blob(""), Var::integer(values), Var::text("")});
        EXPECT_EQ(r.status, 0u) << r.description;
        if (status) *status = r.result.v.u.i;
        return blobOf(r.args[0]);
    }

    Obj parser;
};

}  // namespace kortest
