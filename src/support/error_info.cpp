#include "support/error_info.h"

namespace payfmt {

namespace {

// Cleared by every call: a plain pointer in static thread-local storage is
// read without any lookup; the record itself is made on the thread's first
// failure and released when the thread ends.
[[gnu::tls_model("initial-exec")]] thread_local std::optional<ErrorInfo>* threadRecord = nullptr;

std::optional<ErrorInfo>& record() {
    if (threadRecord) return *threadRecord;
    struct Owner {
        std::optional<ErrorInfo> record;
        ~Owner() { threadRecord = nullptr; }
    };
    thread_local Owner owner;
    threadRecord = &owner.record;
    return owner.record;
}

}  // namespace

const std::optional<ErrorInfo>& currentErrorInfo() { return record(); }

void setErrorInfo(ErrorInfo info) { record() = std::move(info); }

void clearErrorInfo() {
    if (threadRecord) threadRecord->reset();
}

void throwVex(Status code, std::string source, std::string description) {
    throw VexError(code, std::move(source), std::move(description));
}

}  // namespace payfmt
