#pragma once
// Where a parse walk reads: the message and how much of it is used.
#include <algorithm>
#include <cstdint>

#include "support/bytes.h"

namespace payfmt {

struct Cursor {
    BytesView data;
    std::uint32_t position = 0;

    bool atEnd() const { return position >= data.size(); }
    BytesView rest() const { return position < data.size() ? data.substr(position) : BytesView(); }
    std::uint32_t left() const { return atEnd() ? 0 : static_cast<std::uint32_t>(data.size() - position); }
    void advance(std::uint32_t n) {
        position = static_cast<std::uint32_t>(std::min<std::size_t>(std::size_t{position} + n, data.size()));
    }
};

}  // namespace payfmt
