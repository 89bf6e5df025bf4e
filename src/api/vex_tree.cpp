// Trees of the public support interface.
#include "api/boundary.h"
#include "api/props_handle.h"
#include "support/buffer.h"
#include "support/tree_json.h"

using namespace payfmt;

namespace {

template <class F>
VEXNODE nodeResult(std::string_view source, F&& body) {
    return guardedValue<VEXNODE>(source, 0, std::forward<F>(body));
}

}  // namespace

extern "C" {

PAYFMT_API VEXNODE VEXTreeCreateNode(const char* name, uint32_t attrib) {
    return nodeResult("VEXTreeCreateNode", [&] { return nodes().create(textArg(name), attrib); });
}

PAYFMT_API uint32_t VEXTreeAddChild(VEXNODE parent, VEXNODE child, int32_t index) {
    return guarded("VEXTreeAddChild", [&] {
        nodes().addChild(parent, child, index);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeDeleteNode(VEXNODE node, int32_t depth) {
    return guarded("VEXTreeDeleteNode", [&] {
        if (depth != -1) throwVex(VEX_E_INVALIDARG, "VEXTreeDeleteNode", "Only whole subtrees (-1) can be deleted");
        nodes().remove(node);
        return VEX_OK;
    });
}

PAYFMT_API VEXNODE VEXTreeCopy(VEXNODE node, int32_t depth) {
    return nodeResult("VEXTreeCopy", [&] { return nodes().copy(node, depth != 0); });
}

PAYFMT_API int32_t VEXTreeIsNode(VEXNODE node) {
    return guardedValue<int32_t>("VEXTreeIsNode", 0, [&] { return nodes().alive(node) ? 1 : 0; });
}

PAYFMT_API uint32_t VEXTreeChildCount(VEXNODE node, uint32_t* count) {
    return guarded("VEXTreeChildCount", [&] {
        requirePointer(count, "VEXTreeChildCount", "count");
        *count = static_cast<uint32_t>(nodes().get(node).children.size());
        return VEX_OK;
    });
}

PAYFMT_API VEXNODE VEXTreeGetChild(VEXNODE node, uint32_t index) {
    return nodeResult("VEXTreeGetChild", [&] { return nodes().child(node, index); });
}

PAYFMT_API VEXNODE VEXTreeGetParent(VEXNODE node) {
    return nodeResult("VEXTreeGetParent", [&] { return nodes().get(node).parent; });
}

PAYFMT_API VEXNODE VEXTreeGetNextSibling(VEXNODE node) {
    return nodeResult("VEXTreeGetNextSibling", [&] { return nodes().nextSibling(node); });
}

PAYFMT_API VEXNODE VEXTreeGetNextNode(VEXNODE root, VEXNODE node) {
    return nodeResult("VEXTreeGetNextNode", [&] {
        nodes().get(root);
        return nodes().nextNode(root, node);
    });
}

PAYFMT_API uint32_t VEXTreeGetLevel(VEXNODE node, uint32_t* level) {
    return guarded("VEXTreeGetLevel", [&] {
        requirePointer(level, "VEXTreeGetLevel", "level");
        *level = nodes().level(node);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeGetNodeName(VEXNODE node, VEXBUF* name) {
    resetOut(name);
    return guarded("VEXTreeGetNodeName", [&] {
        requirePointer(name, "VEXTreeGetNodeName", "name");
        *name = newBuffer(BytesView(nodes().get(node).name));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeSetNodeName(VEXNODE node, const char* name) {
    return guarded("VEXTreeSetNodeName", [&] {
        nodes().get(node).name = textArg(name);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeGetNodeAttrib(VEXNODE node, uint32_t* attrib) {
    return guarded("VEXTreeGetNodeAttrib", [&] {
        requirePointer(attrib, "VEXTreeGetNodeAttrib", "attrib");
        *attrib = nodes().get(node).attrib;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeSetNodeAttrib(VEXNODE node, uint32_t attrib) {
    return guarded("VEXTreeSetNodeAttrib", [&] {
        nodes().get(node).attrib = attrib;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeGetNodeProps(VEXNODE node, VEXPROPS* props) {
    resetOut(props);
    return guarded("VEXTreeGetNodeProps", [&] {
        requirePointer(props, "VEXTreeGetNodeProps", "props");
        *props = newPropsHandle(nodes().get(node).props.items());
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeSetNodeProps(VEXNODE node, VEXPROPS props) {
    return guarded("VEXTreeSetNodeProps", [&] {
        Node& n = nodes().get(node);
        n.props = propsOfHandle(props);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeGetPropA(VEXNODE node, const char* name, VEXVARIANT* value) {
    resetOut(value);
    return guarded("VEXTreeGetPropA", [&] {
        requirePointer(value, "VEXTreeGetPropA", "value");
        const Variant* v = nodes().get(node).props.find(textArg(name));
        if (!v) throwVex(VEX_E_NOTFOUND, "VEXTreeGetPropA", "No property '" + std::string(textArg(name)) + "'");
        Variant::from(*value) = *v;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeSetPropA(VEXNODE node, const char* name, const VEXVARIANT* value) {
    return guarded("VEXTreeSetPropA", [&] {
        requirePointer(value, "VEXTreeSetPropA", "value");
        nodes().get(node).props.set(textArg(name), Variant::from(*value));
        return VEX_OK;
    });
}

PAYFMT_API VEXNODE VEXTreeSearchNode(VEXNODE start, const char* name, const VEXVARIANT* value) {
    return nodeResult("VEXTreeSearchNode", [&] {
        requirePointer(value, "VEXTreeSearchNode", "value");
        return nodes().search(start, textArg(name), Variant::from(*value));
    });
}

PAYFMT_API uint32_t VEXTreeToJsonA(VEXNODE node, VEXBUF* json) {
    resetOut(json);
    return guarded("VEXTreeToJsonA", [&] {
        requirePointer(json, "VEXTreeToJsonA", "json");
        *json = newBuffer(treeToJson(node));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeFromJsonA(const char* json, uint32_t len, VEXNODE* node) {
    resetOut(node);
    return guarded("VEXTreeFromJsonA", [&] {
        requirePointer(node, "VEXTreeFromJsonA", "node");
        if (len) requirePointer(json, "VEXTreeFromJsonA", "json");
        *node = treeFromJson(std::string_view(json ? json : "", len));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeSaveA(VEXNODE node, const char* path) {
    return guarded("VEXTreeSaveA", [&] {
        requirePointer(path, "VEXTreeSaveA", "path");
        saveTree(node, path);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeLoadA(const char* path, VEXNODE* node) {
    resetOut(node);
    return guarded("VEXTreeLoadA", [&] {
        requirePointer(path, "VEXTreeLoadA", "path");
        requirePointer(node, "VEXTreeLoadA", "node");
        *node = loadTree(path);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXTreeNodeCount(void) {
    return guardedValue<uint32_t>("VEXTreeNodeCount", 0, [] { return static_cast<uint32_t>(nodes().liveCount()); });
}

}  // extern "C"
