// Variants of the public support interface.
#include <cstring>

#include "api/boundary.h"
#include "support/buffer.h"
#include "support/variant_text.h"

using namespace payfmt;

namespace {

Variant& var(VEXVARIANT* v, std::string_view source) {
    requirePointer(v, source, "variant");
    return Variant::from(*v);
}

const Variant& var(const VEXVARIANT* v, std::string_view source) {
    requirePointer(v, source, "variant");
    return Variant::from(*v);
}

// 1 when v holds a value of the type; ifNull for a null v.
int32_t isType(const VEXVARIANT* v, uint32_t type, int32_t ifNull) {
    return guardedValue<int32_t>("VEXVarIs", 0, [&] { return v ? (v->type == type ? 1 : 0) : ifNull; });
}

template <class F>
void assign(VEXVARIANT* v, F&& make) {
    if (!v) return;
    guarded("VEXVarSet", [&] {
        Variant::from(*v) = make();
        return VEX_OK;
    });
}

}  // namespace

extern "C" {

PAYFMT_API void VEXVarInit(VEXVARIANT* v) {
    guarded("VEXVarInit", [&] {
        resetOut(v);
        return VEX_OK;
    });
}

PAYFMT_API void VEXVarClear(VEXVARIANT* v) {
    // Releasing a component may run its destruction, which touches the
    // library's shared state: under the lock like every other entry.
    guarded("VEXVarClear", [&] {
        if (v) Variant::from(*v).clear();
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarCopy(VEXVARIANT* dst, const VEXVARIANT* src) {
    return guarded("VEXVarCopy", [&] {
        var(dst, "VEXVarCopy") = var(src, "VEXVarCopy");
        return VEX_OK;
    });
}

PAYFMT_API void VEXVarSetInt(VEXVARIANT* v, int64_t value) { assign(v, [&] { return Variant::integer(value); }); }
PAYFMT_API void VEXVarSetBool(VEXVARIANT* v, int32_t value) { assign(v, [&] { return Variant::boolean(value != 0); }); }
PAYFMT_API void VEXVarSetDouble(VEXVARIANT* v, double value) { assign(v, [&] { return Variant::real(value); }); }
PAYFMT_API void VEXVarSetDate(VEXVARIANT* v, double serial) { assign(v, [&] { return Variant::date(serial); }); }
PAYFMT_API void VEXVarSetMissing(VEXVARIANT* v) { assign(v, [] { return Variant::missing(); }); }
PAYFMT_API void VEXVarSetNull(VEXVARIANT* v) { assign(v, [] { return Variant::null(); }); }
PAYFMT_API void VEXVarSetObject(VEXVARIANT* v, KOROBJ obj) { assign(v, [&] { return Variant::object(fromHandle(obj)); }); }

PAYFMT_API uint32_t VEXVarSetStrA(VEXVARIANT* v, const char* text, uint32_t len) {
    return guarded("VEXVarSetStrA", [&] {
        Variant& target = var(v, "VEXVarSetStrA");
        if (len == UINT32_MAX) len = text ? static_cast<uint32_t>(std::strlen(text)) : 0;
        if (len) requirePointer(text, "VEXVarSetStrA", "text");
        target = Variant::text(std::string_view(text ? text : "", len));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarSetBlob(VEXVARIANT* v, const uint8_t* data, uint32_t len) {
    return guarded("VEXVarSetBlob", [&] {
        Variant& target = var(v, "VEXVarSetBlob");
        if (len) requirePointer(data, "VEXVarSetBlob", "data");
        target = Variant::blob(BytesView(reinterpret_cast<const char*>(data), len));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarSetArray(VEXVARIANT* v, uint32_t count) {
    return guarded("VEXVarSetArray", [&] {
        var(v, "VEXVarSetArray") = Variant::array(count);
        return VEX_OK;
    });
}

PAYFMT_API int32_t VEXVarIsEmpty(const VEXVARIANT* v) { return isType(v, VEXVT_EMPTY, 1); }
PAYFMT_API int32_t VEXVarIsMissing(const VEXVARIANT* v) { return isType(v, VEXVT_MISSING, 0); }
PAYFMT_API int32_t VEXVarIsStr(const VEXVARIANT* v) { return isType(v, VEXVT_STRING, 0); }
PAYFMT_API int32_t VEXVarIsBlob(const VEXVARIANT* v) { return isType(v, VEXVT_BLOB, 0); }

PAYFMT_API const char* VEXVarTypeNameA(const VEXVARIANT* v) {
    return guardedValue<const char*>("VEXVarTypeNameA", "Empty", [&] {
        // The names are NUL-terminated literals.
        return v ? Variant::from(*v).typeName().data() : "Empty";
    });
}

PAYFMT_API uint32_t VEXVarCast(VEXVARIANT* dst, const VEXVARIANT* src, uint32_t type) {
    return guarded("VEXVarCast", [&] {
        const Variant& from = var(src, "VEXVarCast");
        Variant& to = var(dst, "VEXVarCast");
        if (type > VEXVT_ARRAY) throwVex(VEX_E_INVALIDARG, "VEXVarCast", "Unknown variant type " + std::to_string(type));
        Variant result;
        if (from.castTo(static_cast<VarType>(type), result)) {
            throwVex(VEX_E_TYPE, "VEXVarCast",
                     "Cannot convert " + std::string(from.typeName()) + " to " +
                         std::string(typeName(static_cast<VarType>(type))));
        }
        to = std::move(result);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarComp(const VEXVARIANT* a, const VEXVARIANT* b, int32_t* result) {
    return guarded("VEXVarComp", [&] {
        requirePointer(result, "VEXVarComp", "result");
        const Variant& x = var(a, "VEXVarComp");
        const Variant& y = var(b, "VEXVarComp");
        auto c = x.compare(y);
        if (!c) {
            throwVex(VEX_E_TYPE, "VEXVarComp",
                     "Cannot compare " + std::string(x.typeName()) + " with " + std::string(y.typeName()));
        }
        *result = *c;
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarArrayGet(const VEXVARIANT* array, uint32_t index, VEXVARIANT* element) {
    const bool inPlace = element && element == array;
    if (!inPlace) resetOut(element);
    return guarded("VEXVarArrayGet", [&] {
        if (inPlace) throwVex(VEX_E_INVALIDARG, "VEXVarArrayGet", "element must not be the array");
        const Variant& a = var(array, "VEXVarArrayGet");
        Variant& out = var(element, "VEXVarArrayGet");
        if (!a.is(VarType::Array)) throwVex(VEX_E_TYPE, "VEXVarArrayGet", "Value is not an array");
        if (index >= a.elements().size())
            throwVex(VEX_E_BADINDEX, "VEXVarArrayGet", "Index " + std::to_string(index) + " out of range");
        out = a.elements()[index];
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarArrayPut(VEXVARIANT* array, uint32_t index, const VEXVARIANT* element) {
    return guarded("VEXVarArrayPut", [&] {
        Variant& a = var(array, "VEXVarArrayPut");
        const Variant& value = var(element, "VEXVarArrayPut");
        if (!a.is(VarType::Array)) throwVex(VEX_E_TYPE, "VEXVarArrayPut", "Value is not an array");
        if (index >= a.elements().size())
            throwVex(VEX_E_BADINDEX, "VEXVarArrayPut", "Index " + std::to_string(index) + " out of range");
        a.elements()[index] = Variant(value);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarFromTextA(const char* text, uint32_t len, uint32_t* pos, uint32_t /*flags*/, VEXVARIANT* out) {
    resetOut(out);
    return guarded("VEXVarFromTextA", [&] {
        requirePointer(pos, "VEXVarFromTextA", "pos");
        Variant& target = var(out, "VEXVarFromTextA");
        if (len) requirePointer(text, "VEXVarFromTextA", "text");
        ValueRead r = readValue(std::string_view(text ? text : "", len), *pos);
        *pos = static_cast<uint32_t>(r.end);
        if (r.status) throwVex(r.status, "VEXVarFromTextA", "No value at position " + std::to_string(r.end));
        target = std::move(r.value);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXVarToTextA(const VEXVARIANT* v, uint32_t flags, VEXBUF* out) {
    resetOut(out);
    return guarded("VEXVarToTextA", [&] {
        requirePointer(out, "VEXVarToTextA", "out");
        const Variant& value = var(v, "VEXVarToTextA");
        std::string text;
        if (flags & VEX_TEXT_NOTATION) {
            text = writeNotation(value);
        } else {
            auto t = value.toText();
            if (!t) throwVex(VEX_E_TYPE, "VEXVarToTextA", "A " + std::string(value.typeName()) + " has no text");
            text = std::move(*t);
        }
        *out = newBuffer(std::move(text));
        return VEX_OK;
    });
}

}  // extern "C"
