#include "support/tree_json.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/error_info.h"
#include "support/hex.h"
#include "support/limits.h"

namespace payfmt {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kMaxDepth = static_cast<int>(kMaxNesting);

[[noreturn]] void bad(const std::string& why) { throwVex(VEX_E_FORMAT, "VEXTreeFromJson", why); }

Json valueToJson(const Variant& v) {
    switch (v.type()) {
        case VarType::Int: return v.intValue();
        case VarType::Bool: return v.boolValue();
        case VarType::Double: return v.doubleValue();
        case VarType::Date: return Json{{"date", v.doubleValue()}};
        case VarType::String: return std::string(v.bytes());
        case VarType::Blob: return Json{{"blob", rawToHex(v.bytes())}};
        case VarType::Null: return Json{{"null", true}};
        case VarType::Missing: return Json{{"missing", true}};
        case VarType::Array: {
            Json a = Json::array();
            for (const auto& e : v.elements()) a.push_back(valueToJson(e));
            return a;
        }
        default: return nullptr;
    }
}

Bytes istrBytes(std::string_view s) {
    // IStr decoding lives above this layer; the JSON reader needs only the
    // escape rule: "#" and two hexadecimal digits stand for one byte.
    Bytes out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '#') {
            out += s[i];
            continue;
        }
        Bytes b;
        if (i + 2 >= s.size() || hexToRaw(s.substr(i + 1, 2), b) != 2) bad("bad escape in istr value");
        out += b;
        i += 2;
    }
    return out;
}

Variant jsonToValue(const Json& j, int depth) {
    if (depth > kMaxDepth) bad("property value nested too deep");
    if (j.is_null()) return {};
    if (j.is_boolean()) return Variant::boolean(j.get<bool>());
    if (j.is_number_integer()) return Variant::integer(j.get<std::int64_t>());
    if (j.is_number()) return Variant::real(j.get<double>());
    if (j.is_string()) return Variant::text(j.get<std::string>());
    if (j.is_array()) {
        Variant a = Variant::array(j.size());
        for (std::size_t i = 0; i < j.size(); ++i) a.elements()[i] = jsonToValue(j[i], depth + 1);
        return a;
    }
    if (j.is_object() && j.size() == 1) {
        const auto first = j.begin();
        const std::string& key = first.key();
        const Json& val = first.value();
        if (key == "blob" && val.is_string()) {
            const auto hex = val.get<std::string>();
            Bytes b;
            if (hexToRaw(hex, b) != hex.size() || hex.size() % 2) bad("blob must be an even number of hexadecimal digits");
            return Variant::blob(b);
        }
        if (key == "istr" && val.is_string()) return Variant::blob(istrBytes(val.get<std::string>()));
        if (key == "date" && val.is_number()) return Variant::date(val.get<double>());
        if (key == "null") return Variant::null();
        if (key == "missing") return Variant::missing();
    }
    bad("unsupported property value " + j.dump());
}

Json nodeToJson(NodeId id, int depth) {
    if (depth > kMaxDepth) throwVex(VEX_E_INVALIDARG, "VEXTreeToJson", "tree too deep for JSON");
    const Node& n = nodes().get(id);
    Json j;
    j["name"] = n.name;
    j["group"] = n.isGroup();
    if (n.attrib & ~kGroupAttrib) j["attrib"] = n.attrib;
    if (!n.props.empty()) {
        Json props = Json::object();
        const Props items = n.props.items();
        for (const auto& [k, v] : items.items()) props[k] = valueToJson(v);
        j["props"] = std::move(props);
    }
    if (!n.children.empty()) {
        Json kids = Json::array();
        for (NodeId c : n.children) kids.push_back(nodeToJson(c, depth + 1));
        j["children"] = std::move(kids);
    }
    return j;
}

void fillNode(NodeId id, const Json& j, int depth) {
    if (depth > kMaxDepth) bad("tree too deep");
    if (!j.is_object()) bad("a node must be a JSON object");
    Node& n = nodes().get(id);
    for (const auto& [key, val] : j.items()) {
        if (key == "name") {
            if (!val.is_string()) bad("name must be a string");
            n.name = val.get<std::string>();
        } else if (key == "group") {
            if (!val.is_boolean()) bad("group must be true or false");
            n.attrib = val.get<bool>() ? (n.attrib | kGroupAttrib) : (n.attrib & ~kGroupAttrib);
        } else if (key == "attrib") {
            if (!val.is_number_unsigned()) bad("attrib must be a non-negative integer");
            n.attrib = static_cast<std::uint32_t>(val.get<std::uint64_t>());
        } else if (key == "props") {
            if (!val.is_object()) bad("props must be an object");
            for (const auto& [pk, pv] : val.items()) nodes().get(id).props.set(pk, jsonToValue(pv, depth));
        } else if (key == "children") {
            if (!val.is_array()) bad("children must be an array");
            for (const auto& c : val) {
                const NodeId kid = nodes().create("", 0);
                nodes().addChild(id, kid, -1);
                fillNode(kid, c, depth + 1);
            }
        } else {
            bad("unknown node key \"" + key + "\"");
        }
    }
}

}  // namespace

std::string treeToJson(NodeId root, int indent) { return nodeToJson(root, 0).dump(indent); }

NodeId treeFromJson(std::string_view json) {
    Json j;
    try {
        j = Json::parse(json.begin(), json.end());
    } catch (const Json::exception& e) {
        bad(e.what());
    }
    OwnedTree tree(nodes().create("", 0));
    fillNode(tree.get(), j, 0);
    return tree.release();
}

NodeId loadTree(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throwVex(VEX_E_FILE, "VEXTreeLoad", "Cannot open " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return treeFromJson(s.str());
}

void saveTree(NodeId root, const std::string& path) {
    const std::string text = treeToJson(root);
    std::ofstream out(path, std::ios::binary);
    if (!out || !(out << text << '\n')) throwVex(VEX_E_FILE, "VEXTreeSave", "Cannot write " + path);
}

}  // namespace payfmt
