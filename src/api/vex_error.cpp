// Per-thread error records of the public support interface.
#include <memory>

#include "api/boundary.h"

struct KORErrorRecord {
    payfmt::ErrorInfo info;
};

using namespace payfmt;

namespace {

KORERRINFO newRecord(ErrorInfo info) { return std::make_unique<KORErrorRecord>(KORErrorRecord{std::move(info)}).release(); }

const char* textOf(const std::string& s) { return s.c_str(); }

}  // namespace

extern "C" {

PAYFMT_API KORERRINFO KORCreateErrorInfoA(uint32_t code, const char* source, const char* description,
                                          const char* help_file, uint32_t help_context) {
    try {
        return newRecord(ErrorInfo{code, std::string(textArg(source)), std::string(textArg(description)),
                                   std::string(textArg(help_file)), help_context});
    } catch (...) {
        return nullptr;
    }
}

PAYFMT_API void KORFreeErrorInfo(KORERRINFO info) { std::unique_ptr<KORErrorRecord> owned(info); }

PAYFMT_API void KORSetErrorInfo(KORERRINFO info) {
    try {
        if (info) setErrorInfo(info->info);
        else clearErrorInfo();
    } catch (...) {
        clearErrorInfo();
    }
}

PAYFMT_API uint32_t KORGetErrorInfo(KORERRINFO* info) {
    if (!info) return VEX_E_POINTER;
    *info = nullptr;
    const auto& current = currentErrorInfo();
    if (!current) return 1;
    try {
        *info = newRecord(*current);
    } catch (...) {
        return VEX_E_NOMEMORY;
    }
    return VEX_OK;
}

PAYFMT_API uint32_t KORErrorInfoCode(KORERRINFO info) { return info ? info->info.code : 0; }
PAYFMT_API const char* KORErrorInfoSourceA(KORERRINFO info) { return info ? textOf(info->info.source) : ""; }
PAYFMT_API const char* KORErrorInfoDescriptionA(KORERRINFO info) { return info ? textOf(info->info.description) : ""; }
PAYFMT_API const char* KORErrorInfoHelpFileA(KORERRINFO info) { return info ? textOf(info->info.helpFile) : ""; }
PAYFMT_API uint32_t KORErrorInfoHelpContext(KORERRINFO info) { return info ? info->info.helpContext : 0; }

}  // extern "C"
