#pragma once
// The record an operator receives, the output it writes, and the operator
// and back-map function types.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "support/variant.h"

namespace payfmt {

class ParserCore;

// Maps units of an operator's output that the rest of the chain consumed to
// bytes of the operator's own input.
using BackMap = std::uint32_t (*)(std::uint32_t);

constexpr std::uint8_t kDirectionInput = 0;
constexpr std::uint8_t kDirectionOutput = 1;

struct OpContext {
    explicit OpContext(std::uint8_t dir = kDirectionInput) : direction(dir) {}

    std::string name;                // upper case, as looked up
    std::span<const Variant> args;   // as written; empty without parentheses
    std::uint8_t direction;          // kDirectionInput or kDirectionOutput
    bool ownCount = true;            // cleared when consumption follows the rest of the chain
    BackMap backMap = nullptr;       // with ownCount cleared; none means identity
    // A back-map by position, for operators whose output units stand for a
    // varying number of input bytes: offsets[n] is the input used by the
    // first n output bytes. Takes precedence over backMap when not empty.
    std::vector<std::uint32_t> offsets;
    std::string inverse;             // the operator that undoes this one, if noted
    std::uint32_t slack = 0;         // trailing output bytes the rest may leave unconsumed
    std::uint32_t consumed = 0;      // input bytes used, from the start of the input

    bool isOutput() const { return direction == kDirectionOutput; }
};

// An operator's output slice. "No buffer" and "an empty buffer" differ: a
// chain hands on the output of the last operator that produced one.
class Output {
public:
    bool produced() const { return produced_; }
    BytesView view() const { return BytesView(bytes_).substr(0, end_); }
    std::size_t size() const { return bytes_.size(); }
    std::uint32_t end() const { return end_; }

    // Stores the operator's result; the slice ends at its length.
    void set(Bytes bytes) {
        bytes_ = std::move(bytes);
        produced_ = true;
        end_ = static_cast<std::uint32_t>(bytes_.size());
    }
    // Cuts the slice to the first n bytes (not beyond the buffer).
    void cut(std::uint32_t n) { end_ = std::min<std::uint32_t>(n, static_cast<std::uint32_t>(bytes_.size())); }
    void reset() {
        bytes_.clear();
        produced_ = false;
        end_ = 0;
    }
    // The bytes of the slice, taken out.
    Bytes take() {
        bytes_.resize(end_);
        produced_ = false;
        end_ = 0;
        return std::move(bytes_);
    }

private:
    Bytes bytes_;
    bool produced_ = false;
    std::uint32_t end_ = 0;
};

// An operator reads its input slice, writes its output and sets the consumed
// count in the context; problems go to the parser's error context.
using Operator = void (*)(OpContext& ctx, BytesView in, Output& out, ParserCore& parser);

// The back-maps operators install.
namespace backmap {
inline std::uint32_t identity(std::uint32_t n) { return n; }
inline std::uint32_t twice(std::uint32_t n) { return 2 * n; }
inline std::uint32_t halfUp(std::uint32_t n) { return (n + 1) / 2; }
inline std::uint32_t eightTimes(std::uint32_t n) { return 8 * n; }
inline std::uint32_t eighthUp(std::uint32_t n) { return (n + 7) / 8; }
inline std::uint32_t base64Text(std::uint32_t n) { return (n + 2) / 3 * 4; }
inline std::uint32_t base64Bytes(std::uint32_t n) { return (n + 3) / 4 * 3; }
}  // namespace backmap

}  // namespace payfmt
