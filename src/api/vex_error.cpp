// Per-thread error records of the public support interface. The records
// themselves are per thread; the functions take the process lock like every
// other export, so that the interface has one rule.
#include <memory>

#include "api/boundary.h"

struct KORErrorRecord {
    payfmt::ErrorInfo info;
};

using namespace payfmt;

namespace {

KORERRINFO newRecord(ErrorInfo info) { return std::make_unique<KORErrorRecord>(KORErrorRecord{std::move(info)}).release(); }

// Under the process lock; a failure here leaves the thread's record as it
// is, since these functions are how a host reads and sets it.
template <class T, class F>
T underLock(T fallback, F&& body) noexcept {
    try {
        ProcessGuard lock(processLock());
        return std::forward<F>(body)();
    } catch (...) {
        return fallback;
    }
}

}  // namespace

extern "C" {

PAYFMT_API KORERRINFO KORCreateErrorInfoA(uint32_t code, const char* source, const char* description,
                                          const char* help_file, uint32_t help_context) {
    return underLock<KORERRINFO>(nullptr, [&] {
        return newRecord(ErrorInfo{code, std::string(textArg(source)), std::string(textArg(description)),
                                   std::string(textArg(help_file)), help_context});
    });
}

PAYFMT_API void KORFreeErrorInfo(KORERRINFO info) {
    underLock(0, [&] {
        std::unique_ptr<KORErrorRecord> owned(info);
        return 0;
    });
}

PAYFMT_API void KORSetErrorInfo(KORERRINFO info) {
    underLock(0, [&] {
        try {
            if (info) setErrorInfo(info->info);
            else clearErrorInfo();
        } catch (...) {
            clearErrorInfo();
        }
        return 0;
    });
}

PAYFMT_API uint32_t KORGetErrorInfo(KORERRINFO* info) {
    if (!info) return VEX_E_POINTER;
    resetOut(info);
    return underLock<uint32_t>(VEX_E_NOMEMORY, [&]() -> uint32_t {
        const auto& current = currentErrorInfo();
        if (!current) return 1;
        *info = newRecord(*current);
        return VEX_OK;
    });
}

PAYFMT_API uint32_t KORErrorInfoCode(KORERRINFO info) {
    return underLock<uint32_t>(0, [&] { return info ? info->info.code : 0u; });
}
PAYFMT_API const char* KORErrorInfoSourceA(KORERRINFO info) {
    return underLock<const char*>("", [&] { return info ? info->info.source.c_str() : ""; });
}
PAYFMT_API const char* KORErrorInfoDescriptionA(KORERRINFO info) {
    return underLock<const char*>("", [&] { return info ? info->info.description.c_str() : ""; });
}
PAYFMT_API const char* KORErrorInfoHelpFileA(KORERRINFO info) {
    return underLock<const char*>("", [&] { return info ? info->info.helpFile.c_str() : ""; });
}
PAYFMT_API uint32_t KORErrorInfoHelpContext(KORERRINFO info) {
    return underLock<uint32_t>(0, [&] { return info ? info->info.helpContext : 0u; });
}

}  // extern "C"
