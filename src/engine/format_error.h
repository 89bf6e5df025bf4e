#pragma once
// The error context. TFormatError collects the reports of one call and is
// also the exception that carries a report upward: every TFormatError raised
// from the context shares its entry list, so catching one never loses what
// was recorded before.
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/tree.h"

namespace payfmt {

struct ErrorEntry {
    std::string location;
    std::string message;
    std::uint32_t code = 0;
};

constexpr unsigned severity(std::uint32_t code) { return code >> 30; }
constexpr unsigned kSeverityError = 3;

// Status codes used from more than one place.
constexpr std::uint32_t kErrForeignException = 0xE20700FF;
constexpr std::uint32_t kErrInternal = 0xE2060000;

class TFormatError : public std::exception {
public:
    // A new context holding only the placeholder entry.
    TFormatError();

    const char* what() const noexcept override { return ""; }

    // Back to the placeholder entry alone; the error node stays.
    void reset();
    // Appends a report and publishes it as the thread's error record.
    void record(std::string_view location, std::uint32_t code, std::initializer_list<std::string_view> args = {});
    // Records, then throws a TFormatError sharing this context's entries.
    [[noreturn]] void raise(std::string_view location, std::uint32_t code,
                            std::initializer_list<std::string_view> args = {});
    // Reports an exception that is not a TFormatError under 0xE20700FF.
    void recordException(std::string_view location, const std::exception& e);

    bool holdsError() const { return state_->maxSeverity == kSeverityError; }
    const ErrorEntry& mostSevere() const;
    // The most severe entry's code (0 when nothing was reported), published.
    std::uint32_t status() const;
    // For a call that ended in an exception: reports a foreign exception
    // first, then publishes and returns the last entry's code.
    std::uint32_t statusAfterException(std::string_view location, const std::exception& e);

    // All messages after the placeholder (each with CR LF) when detailed,
    // else the last message.
    std::string errorText(bool detailed) const;
    // Attaches the current reports to a value node and/or the error node,
    // then keeps only the last report more severe than the first entry.
    void writeToTree(NodeId node, bool detailed);

    // For a walk that goes on past an error confined to one part of the
    // message (whose reports were attached there): the most severe report,
    // and the context starts afresh. putBack records it again at the end, so
    // that the call still answers it.
    ErrorEntry setAside();
    void putBack(const ErrorEntry& e);

    // Keeps only the most severe entry, which then stands first: the reports
    // so far have been attached somewhere and only their severity remains.
    void collapseToMostSevere();

    std::uint32_t lastCode() const { return entries().back().code; }
    const std::string& lastLocation() const { return entries().back().location; }
    const std::vector<ErrorEntry>& entries() const { return state_->entries; }

    NodeId errorNode() const { return state_->errorNode; }
    void setErrorNode(NodeId node) { state_->errorNode = node; }

private:
    struct State {
        std::vector<ErrorEntry> entries;
        unsigned maxSeverity = 0;
        std::size_t worst = 0;  // index of the most severe entry, the earliest among equals
        NodeId errorNode = 0;
    };
    void append(ErrorEntry e);
    std::shared_ptr<State> state_;
};

// Publishes an entry as the calling thread's error record.
void publish(const ErrorEntry& e);

namespace detail {
// Every call reaches its thread's context several times: a plain pointer in
// static thread-local storage is read without any lookup or guard.
[[gnu::tls_model("initial-exec")]] extern thread_local TFormatError* threadContext;
TFormatError& makeThreadErrors();
}  // namespace detail

// The calling thread's error context, made on the thread's first use.
inline TFormatError& threadErrors() {
    if (TFormatError* context = detail::threadContext) return *context;
    return detail::makeThreadErrors();
}

}  // namespace payfmt
