#include "api/boundary.h"

#include <exception>
#include <string>

#include "engine/format_error.h"

namespace payfmt {

namespace {

Status describeCurrent(std::string_view source) {
    try {
        throw;
    } catch (const VexError& e) {
        setErrorInfo(e.info());
        return e.code();
    } catch (const std::bad_alloc&) {
        setErrorInfo(ErrorInfo{VEX_E_NOMEMORY, std::string(source), "Out of memory", {}, 0});
        return VEX_E_NOMEMORY;
    } catch (const std::exception& e) {
        setErrorInfo(ErrorInfo{VEX_E_UNEXPECTED, std::string(source), e.what(), {}, 0});
        return VEX_E_UNEXPECTED;
    } catch (...) {
        setErrorInfo(ErrorInfo{VEX_E_UNEXPECTED, std::string(source), "Unknown failure", {}, 0});
        return VEX_E_UNEXPECTED;
    }
}

}  // namespace

Status reportFailure(std::string_view source) noexcept {
    try {
        return describeCurrent(source);
    } catch (...) {
        return VEX_E_NOMEMORY;  // not even the record could be kept
    }
}

Status frameworkStatus(std::string_view location) noexcept {
    try {
        try {
            throw;
        } catch (const TFormatError& e) {
            const ErrorEntry& last = e.entries().back();
            setErrorInfo(ErrorInfo{last.code, std::string(location), last.message, {}, 0});
            return last.code;
        } catch (const VexError& e) {
            ErrorInfo info = e.info();
            info.source = location;
            setErrorInfo(info);
            return info.code;
        } catch (const std::exception& e) {
            setErrorInfo(ErrorInfo{0xC0000000, std::string(location), e.what(), {}, 0});
            return 0xC0000000;
        }
    } catch (...) {
        return 0xC0000000;
    }
}

void requirePointer(const void* p, std::string_view source, std::string_view what) {
    if (!p) throwVex(VEX_E_POINTER, std::string(source), std::string(what) + " must not be null");
}

}  // namespace payfmt
