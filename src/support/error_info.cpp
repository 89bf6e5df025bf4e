#include "support/error_info.h"

namespace payfmt {

namespace {
thread_local std::optional<ErrorInfo> threadRecord;
}

const std::optional<ErrorInfo>& currentErrorInfo() { return threadRecord; }

void setErrorInfo(ErrorInfo info) { threadRecord = std::move(info); }

void clearErrorInfo() { threadRecord.reset(); }

void throwVex(Status code, std::string source, std::string description) {
    throw VexError(code, std::move(source), std::move(description));
}

}  // namespace payfmt
