#include "api/boundary.h"

#include <exception>
#include <string>

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

void requirePointer(const void* p, std::string_view source, std::string_view what) {
    if (!p) throwVex(VEX_E_POINTER, std::string(source), std::string(what) + " must not be null");
}

}  // namespace payfmt
