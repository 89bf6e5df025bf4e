// Text codecs and number reading of the public support interface.
#include <cstring>

#include "api/boundary.h"
#include "support/base64.h"
#include "support/buffer.h"
#include "support/codepage.h"
#include "support/eda.h"
#include "support/hex.h"
#include "support/number.h"

using namespace payfmt;

namespace {

std::string_view textOf(const char* text, uint32_t len, std::string_view source) {
    if (len == 0) return {};
    requirePointer(text, source, "text");
    return {text, len};
}

BytesView bytesOf(const uint8_t* data, uint32_t len, std::string_view source) {
    if (len == 0) return {};
    requirePointer(data, source, "data");
    return {reinterpret_cast<const char*>(data), len};
}

template <class F>
uint32_t convert(std::string_view source, VEXBUF* out, F&& body) {
    resetOut(out);
    return guarded(source, [&] {
        requirePointer(out, source, "out");
        Bytes bytes = body();
        if (!bytes.empty()) *out = newBuffer(std::move(bytes));
        return VEX_OK;
    });
}

}  // namespace

extern "C" {

PAYFMT_API uint32_t VEXHexStrnToRawA(const char* text, uint32_t len, VEXBUF* out, uint32_t* used) {
    return convert("VEXHexStrnToRawA", out, [&] {
        Bytes raw;
        const std::size_t n = hexToRaw(textOf(text, len, "VEXHexStrnToRawA"), raw);
        if (used) *used = static_cast<uint32_t>(n);
        return raw;
    });
}

PAYFMT_API uint32_t VEXRawToHexStrnA(const uint8_t* data, uint32_t len, VEXBUF* out) {
    return convert("VEXRawToHexStrnA", out, [&] { return rawToHex(bytesOf(data, len, "VEXRawToHexStrnA")); });
}

PAYFMT_API uint32_t VEXBase64ToRawA(const char* text, uint32_t len, VEXBUF* out) {
    return convert("VEXBase64ToRawA", out, [&] {
        auto raw = base64ToRaw(textOf(text, len, "VEXBase64ToRawA"));
        if (!raw) throwVex(VEX_E_FORMAT, "VEXBase64ToRawA", "Invalid Base64 text");
        return std::move(*raw);
    });
}

PAYFMT_API uint32_t VEXRawToBase64A(const uint8_t* data, uint32_t len, VEXBUF* out) {
    return convert("VEXRawToBase64A", out, [&] { return rawToBase64(bytesOf(data, len, "VEXRawToBase64A")); });
}

PAYFMT_API uint32_t VEXEdaToRawA(const char* text, uint32_t len, VEXBUF* out) {
    return convert("VEXEdaToRawA", out, [&] {
        auto raw = edaToRaw(textOf(text, len, "VEXEdaToRawA"));
        if (!raw) throwVex(VEX_E_FORMAT, "VEXEdaToRawA", "Invalid escape in EDA text");
        return std::move(*raw);
    });
}

PAYFMT_API uint32_t VEXRawToEdaA(const uint8_t* data, uint32_t len, VEXBUF* out) {
    return convert("VEXRawToEdaA", out, [&] { return rawToEda(bytesOf(data, len, "VEXRawToEdaA")); });
}

PAYFMT_API uint32_t VEXStrnConvertA(uint8_t* data, uint32_t len, uint32_t conversion, const uint8_t table[256]) {
    return guarded("VEXStrnConvertA", [&] {
        if (len) requirePointer(data, "VEXStrnConvertA", "data");
        ByteTable given;
        const ByteTable* t = nullptr;
        if (table) {
            std::memcpy(given.data(), table, 256);
            t = &given;
        } else {
            t = builtinConversion(conversion);
            if (!t) throwVex(VEX_E_INVALIDARG, "VEXStrnConvertA", "Unknown conversion " + std::to_string(conversion));
        }
        recode(std::span<uint8_t>(data, len), *t);
        return VEX_OK;
    });
}

PAYFMT_API int32_t VEXStrnSearchA(const uint8_t* data, uint32_t len, const uint8_t* needle, uint32_t needle_len) {
    return guardedValue<int32_t>("VEXStrnSearchA", -1, [&] {
        if ((len && !data) || (needle_len && !needle)) return -1;
        const BytesView hay(reinterpret_cast<const char*>(data), len);
        const BytesView pin(reinterpret_cast<const char*>(needle), needle_len);
        const auto at = hay.find(pin);
        return at == BytesView::npos ? -1 : static_cast<int32_t>(at);
    });
}

PAYFMT_API uint32_t VEXStrnToLongA(const char* text, uint32_t end, uint32_t base, uint32_t* pos, int32_t* value) {
    return guarded("VEXStrnToLongA", [&] {
        requirePointer(pos, "VEXStrnToLongA", "pos");
        requirePointer(value, "VEXStrnToLongA", "value");
        const NumberRead r = readLong(textOf(text, end, "VEXStrnToLongA"), *pos, base);
        *pos = static_cast<uint32_t>(r.end);
        if (r.status == VEX_E_INVALIDARG)
            throwVex(r.status, "VEXStrnToLongA", "Base " + std::to_string(base) + " is not from 2 to 36");
        if (r.status) {
            throwVex(r.status, "VEXStrnToLongA",
                     r.status == VEX_E_OVERFLOW ? "Number out of range" : "No digits to read");
        }
        *value = r.value;
        return VEX_OK;
    });
}

}  // extern "C"
