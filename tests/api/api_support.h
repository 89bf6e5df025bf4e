#pragma once
// What the tests of the public C interface read back: buffer bytes and the
// calling thread's error record.
#include <cstdint>
#include <string>

#include "payfmt/payfmt.h"

namespace test {

inline std::string bytes(VEXBUF b) {
    return std::string(reinterpret_cast<const char*>(VEXBufData(b)), VEXBufLen(b));
}

// The calling thread's error record as (code, source, description).
struct Record {
    uint32_t code = 0;
    std::string source, description;
};

inline Record lastRecord() {
    KORERRINFO info = nullptr;
    Record r;
    if (KORGetErrorInfo(&info) == 0) {
        r.code = KORErrorInfoCode(info);
        r.source = KORErrorInfoSourceA(info);
        r.description = KORErrorInfoDescriptionA(info);
        KORFreeErrorInfo(info);
    }
    return r;
}

}  // namespace test
