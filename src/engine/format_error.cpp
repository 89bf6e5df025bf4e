#include "engine/format_error.h"

#include "engine/messages.h"
#include "support/error_info.h"

namespace payfmt {

TFormatError::TFormatError() : state_(std::make_shared<State>()) { reset(); }

namespace detail {

thread_local TFormatError* threadContext = nullptr;

TFormatError& makeThreadErrors() {
    // Owned for the thread's lifetime; released when the thread ends.
    struct Owner {
        std::unique_ptr<TFormatError> context = std::make_unique<TFormatError>();
        ~Owner() { threadContext = nullptr; }
    };
    thread_local Owner owner;
    threadContext = owner.context.get();
    return *threadContext;
}

}  // namespace detail

void publish(const ErrorEntry& e) { setErrorInfo(ErrorInfo{e.code, e.location, e.message, {}, 0}); }

void TFormatError::reset() {
    auto& es = state_->entries;
    // Most calls report nothing: the placeholder stays as it is.
    const bool justPlaceholder = es.size() == 1 && es.front().code == 0 && es.front().location.empty() &&
                                 es.front().message.empty();
    if (!justPlaceholder) {
        es.clear();
        es.push_back(ErrorEntry{});
    }
    state_->maxSeverity = 0;
    state_->worst = 0;
}

void TFormatError::append(ErrorEntry e) {
    if (severity(e.code) > state_->maxSeverity) {
        state_->maxSeverity = severity(e.code);
        state_->worst = state_->entries.size();
    }
    state_->entries.push_back(std::move(e));
    publish(state_->entries.back());
}

void TFormatError::record(std::string_view location, std::uint32_t code,
                          std::initializer_list<std::string_view> args) {
    append(ErrorEntry{std::string(location), buildMessage(code, args), code});
}

void TFormatError::raise(std::string_view location, std::uint32_t code,
                         std::initializer_list<std::string_view> args) {
    record(location, code, args);
    throw *this;
}

void TFormatError::recordException(std::string_view location, const std::exception& e) {
    append(ErrorEntry{std::string(location), e.what(), kErrForeignException});
}

const ErrorEntry& TFormatError::mostSevere() const { return state_->entries[state_->worst]; }

std::uint32_t TFormatError::status() const {
    const ErrorEntry& e = mostSevere();
    if (e.code) publish(e);
    return e.code;
}

std::uint32_t TFormatError::statusAfterException(std::string_view location, const std::exception& e) {
    if (!dynamic_cast<const TFormatError*>(&e)) recordException(location, e);
    publish(entries().back());
    return lastCode();
}

std::string TFormatError::errorText(bool detailed) const {
    const auto& es = entries();
    if (es.size() <= 1) return {};
    if (!detailed) return es.back().message;
    std::string text;
    for (std::size_t i = 1; i < es.size(); ++i) text += es[i].message + "\r\n";
    return text;
}

ErrorEntry TFormatError::setAside() {
    ErrorEntry worst = mostSevere();
    reset();
    return worst;
}

void TFormatError::putBack(const ErrorEntry& e) {
    if (e.code) append(e);
}

void TFormatError::collapseToMostSevere() {
    ErrorEntry kept = mostSevere();
    auto& es = state_->entries;
    es.clear();
    es.push_back(std::move(kept));
    state_->maxSeverity = severity(es.front().code);
    state_->worst = 0;
}

void TFormatError::writeToTree(NodeId node, bool detailed) {
    const std::string text = errorText(detailed);
    if (text.empty()) return;
    const auto code = static_cast<std::int64_t>(lastCode());
    if (node) {
        NodeProps& p = nodes().get(node).props;
        p.set("EC", Variant::integer(code));
        p.set("Error", Variant::text(text));
    }
    if (state_->errorNode) {
        const NodeId report = nodes().create("", 0);
        OwnedTree guard(report);
        NodeProps& p = nodes().get(report).props;
        if (node) p.set("Link", Variant::integer(node));
        p.set("EC", Variant::integer(code));
        p.set("Error", Variant::text(text));
        nodes().addChild(state_->errorNode, guard.release(), -1);
    }
    auto& es = state_->entries;
    const unsigned floor = severity(es.front().code);
    std::size_t keep = 0;
    for (std::size_t i = es.size(); i-- > 1;) {
        if (severity(es[i].code) > floor) {
            keep = i;
            break;
        }
    }
    ErrorEntry kept = std::move(es[keep]);
    es.clear();
    es.push_back(std::move(kept));
    state_->maxSeverity = severity(es.front().code);
    state_->worst = 0;
}

}  // namespace payfmt
