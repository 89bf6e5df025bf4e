// Byte buffers of the public support interface.
#include <cstring>

#include "api/boundary.h"
#include "support/buffer.h"

using namespace payfmt;

namespace {

Bytes& ensure(VEXBUF* buf) {
    if (!*buf) *buf = newBuffer(BytesView());
    return (*buf)->bytes;
}

BytesView dataArg(const void* data, std::uint32_t len, std::string_view source) {
    if (len == 0) return {};
    requirePointer(data, source, "data");
    return {static_cast<const char*>(data), len};
}

}  // namespace

extern "C" {

PAYFMT_API VEXBUF VEXBufAlloc(uint32_t n, uint8_t fill) {
    return guardedValue<VEXBUF>("VEXBufAlloc", nullptr, [&] { return newBuffer(Bytes(n, static_cast<char>(fill))); });
}

PAYFMT_API void VEXBufFree(VEXBUF buf) {
    guarded("VEXBufFree", [&] {
        freeBuffer(buf);
        return VEX_OK;
    });
}

PAYFMT_API void VEXBufClear(VEXBUF* buf) {
    guarded("VEXBufClear", [&] {
        if (buf) freeBuffer(std::exchange(*buf, nullptr));
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXBufLen(VEXBUF buf) {
    return guardedValue<uint32_t>("VEXBufLen", 0, [&] { return static_cast<uint32_t>(bufferView(buf).size()); });
}

PAYFMT_API const uint8_t* VEXBufData(VEXBUF buf) {
    return guardedValue<const uint8_t*>("VEXBufData", nullptr, [&]() -> const uint8_t* {
        if (!buf || buf->bytes.empty()) return nullptr;
        return reinterpret_cast<const uint8_t*>(buf->bytes.data());
    });
}

PAYFMT_API VEXBUF VEXBufDupl(VEXBUF buf) {
    return guardedValue<VEXBUF>("VEXBufDupl", nullptr, [&]() -> VEXBUF {
        return buf ? newBuffer(bufferView(buf)) : nullptr;
    });
}

PAYFMT_API uint32_t VEXBufCopy(VEXBUF* dst, const void* data, uint32_t len) {
    return guarded("VEXBufCopy", [&] {
        requirePointer(dst, "VEXBufCopy", "dst");
        if (len == UINT32_MAX) len = data ? static_cast<uint32_t>(std::strlen(static_cast<const char*>(data))) : 0;
        const BytesView bytes = dataArg(data, len, "VEXBufCopy");
        VEXBUF fresh = bytes.empty() ? nullptr : newBuffer(bytes);
        freeBuffer(*dst);
        *dst = fresh;
        return VEX_OK;
    });
}

PAYFMT_API VEXBUF VEXBufMid(VEXBUF buf, uint32_t start, uint32_t count) {
    return guardedValue<VEXBUF>("VEXBufMid", nullptr, [&] {
        const BytesView v = bufferView(buf);
        if (start >= v.size()) return newBuffer(BytesView());
        return newBuffer(v.substr(start, count));
    });
}

PAYFMT_API uint32_t VEXBufInsert(VEXBUF* buf, uint32_t pos, const void* data, uint32_t len) {
    return guarded("VEXBufInsert", [&] {
        requirePointer(buf, "VEXBufInsert", "buf");
        const Bytes bytes(dataArg(data, len, "VEXBufInsert"));  // data may point into the buffer
        Bytes& b = ensure(buf);
        b.insert(std::min<std::size_t>(pos, b.size()), bytes);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXBufDelete(VEXBUF* buf, uint32_t start, uint32_t count) {
    return guarded("VEXBufDelete", [&] {
        requirePointer(buf, "VEXBufDelete", "buf");
        if (*buf && start < (*buf)->bytes.size()) (*buf)->bytes.erase(start, count);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t VEXBufResize(VEXBUF* buf, uint32_t n, uint8_t fill) {
    return guarded("VEXBufResize", [&] {
        requirePointer(buf, "VEXBufResize", "buf");
        ensure(buf).resize(n, static_cast<char>(fill));
        return VEX_OK;
    });
}

}  // extern "C"
