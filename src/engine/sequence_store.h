#pragma once
// Registered operator sequences: named pieces of format text that a format
// may use in place of the chain they stand for. Every change bumps a
// generation number, so that anything caching parsed formats can tell that
// its cache is stale.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/props.h"

namespace payfmt {

class SequenceStore {
public:
    SequenceStore();

    // Creates or replaces the sequence, name kept exactly as given.
    void store(std::string_view name, std::string_view text);
    void remove(std::string_view name);
    // The sequence text, or empty when there is none. Formats always look up
    // upper-case names.
    std::string_view lookup(std::string_view name) const;
    bool empty() const { return items_.empty(); }

    std::uint64_t generation() const { return generation_; }
    const Props& items() const { return items_; }

private:
    Props items_;
    std::uint64_t generation_ = 0;
};

}  // namespace payfmt
