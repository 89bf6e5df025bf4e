#pragma once
// Error records and the exception that carries one. Each thread has one
// current record, which entry points clear and failures replace, so that a
// host can read code, source and description after any call.
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "support/status.h"

namespace payfmt {

struct ErrorInfo {
    Status code = 0;
    std::string source;
    std::string description;
    std::string helpFile;
    std::uint32_t helpContext = 0;
};

// The calling thread's current record.
const std::optional<ErrorInfo>& currentErrorInfo();
void setErrorInfo(ErrorInfo info);
void clearErrorInfo();

// A failure of the support layer or the component framework, carrying the
// record that is published when it reaches the boundary.
class VexError : public std::exception {
public:
    explicit VexError(ErrorInfo info) : info_(std::move(info)) {}
    VexError(Status code, std::string source, std::string description)
        : info_{code, std::move(source), std::move(description), {}, 0} {}
    const char* what() const noexcept override { return info_.description.c_str(); }
    const ErrorInfo& info() const { return info_; }
    Status code() const { return info_.code; }

private:
    ErrorInfo info_;
};

[[noreturn]] void throwVex(Status code, std::string source, std::string description);

}  // namespace payfmt
