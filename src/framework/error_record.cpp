#include "framework/error_record.h"

#include <new>
#include <system_error>

namespace payfmt {

namespace {

constexpr Status kTopBits = 0xC0000000u;

}  // namespace

ErrorInfo errorRecordOf(std::exception_ptr e) {
    if (!e) return ErrorInfo{kTopBits, {}, "Unknown failure", {}, 0};
    try {
        std::rethrow_exception(e);
    } catch (const EKORError& k) {
        return k.info();
    } catch (const VexError& v) {
        ErrorInfo info = v.info();
        info.code |= kTopBits;
        return info;
    } catch (const std::system_error& s) {
        return ErrorInfo{static_cast<Status>(s.code().value()) | kTopBits, {}, s.what(), {}, 0};
    } catch (const std::bad_alloc&) {
        return ErrorInfo{VEX_E_NOMEMORY | kTopBits, {}, "Out of memory", {}, 0};
    } catch (const std::exception& x) {
        return ErrorInfo{kTopBits, {}, x.what(), {}, 0};
    } catch (...) {
        return ErrorInfo{kTopBits, {}, "Unknown failure", {}, 0};
    }
}

}  // namespace payfmt
