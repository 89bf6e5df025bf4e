// Property lists of the public support interface.
#include <memory>

#include "api/boundary.h"
#include "api/props_handle.h"
#include "support/buffer.h"
#include "support/props.h"

struct VEXPropList {
    payfmt::Props props;
};

using namespace payfmt;

namespace {

Props& list(VEXPROPS p, std::string_view source) {
    requirePointer(p, source, "props");
    return p->props;
}

}  // namespace

namespace payfmt {

VEXPROPS newPropsHandle(Props props) { return std::make_unique<VEXPropList>(VEXPropList{std::move(props)}).release(); }
const Props& propsOfHandle(VEXPROPS p) { return list(p, "VEXProps"); }

}  // namespace payfmt

extern "C" {

PAYFMT_API VEXPROPS VEXPropsCreate(void) {
    return guardedValue<VEXPROPS>("VEXPropsCreate", nullptr, [] { return newPropsHandle({}); });
}

PAYFMT_API void VEXPropsFree(VEXPROPS props) {
    guarded("VEXPropsFree", [&] {  // the values may hold components
        std::unique_ptr<VEXPropList> owned(props);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsCount(VEXPROPS props) {
    return guardedValue<uint32_t>("VEXPropsCount", 0,
                                  [&] { return props ? static_cast<uint32_t>(props->props.size()) : 0u; });
}

PAYFMT_API void VEXPropsClear(VEXPROPS props) {
    guarded("VEXPropsClear", [&] {
        if (props) props->props.clear();
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsNamedItemA(VEXPROPS props, const char* name, VEXVARIANT* value) {
    resetOut(value);
    return guarded("VEXPropsNamedItemA", [&] {
        requirePointer(value, "VEXPropsNamedItemA", "value");
        const Variant* v = list(props, "VEXPropsNamedItemA").find(textArg(name));
        if (!v) throwVex(VEX_E_NOTFOUND, "VEXPropsNamedItemA", "No property '" + std::string(textArg(name)) + "'");
        Variant::from(*value) = *v;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsEditNamedItemA(VEXPROPS props, const char* name, const VEXVARIANT* value) {
    return guarded("VEXPropsEditNamedItemA", [&] {
        requirePointer(value, "VEXPropsEditNamedItemA", "value");
        list(props, "VEXPropsEditNamedItemA").set(textArg(name), Variant::from(*value));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsRemoveNamedItemA(VEXPROPS props, const char* name) {
    return guarded("VEXPropsRemoveNamedItemA", [&] {
        list(props, "VEXPropsRemoveNamedItemA").remove(textArg(name));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsItemA(VEXPROPS props, uint32_t index, const char** name, VEXVARIANT* value) {
    resetOut(name);
    resetOut(value);
    return guarded("VEXPropsItemA", [&] {
        const auto& items = list(props, "VEXPropsItemA").items();
        if (index >= items.size())
            throwVex(VEX_E_BADINDEX, "VEXPropsItemA", "Index " + std::to_string(index) + " out of range");
        if (name) *name = items[index].first.c_str();
        if (value) Variant::from(*value) = items[index].second;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsMerge(VEXPROPS dst, VEXPROPS src) {
    return guarded("VEXPropsMerge", [&] {
        Props copy = list(src, "VEXPropsMerge");  // src may be dst
        list(dst, "VEXPropsMerge").merge(copy);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsToTextA(VEXPROPS props, VEXBUF* out) {
    resetOut(out);
    return guarded("VEXPropsToTextA", [&] {
        requirePointer(out, "VEXPropsToTextA", "out");
        *out = newBuffer(list(props, "VEXPropsToTextA").toText());
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXPropsFromTextA(VEXPROPS props, const char* text) {
    return guarded("VEXPropsFromTextA", [&] {
        if (!list(props, "VEXPropsFromTextA").fromText(textArg(text)))
            throwVex(VEX_E_FORMAT, "VEXPropsFromTextA", "Malformed property text");
        return VEX_OK;
    });
}

}  // extern "C"
