#pragma once
// Property lists: ordered named variants whose names compare without regard
// to ASCII case. Nodes, sequence stores and component state use them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/variant.h"

namespace payfmt {

class Props {
public:
    using Item = std::pair<std::string, Variant>;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void clear() {
        items_.clear();
        signature_ = 0;
    }

    // The item's value, or null when absent.
    const Variant* find(std::string_view name) const;
    Variant* find(std::string_view name);
    // Sets the item, creating it at the end when absent.
    void set(std::string_view name, Variant value);
    // Removing an absent item does nothing.
    void remove(std::string_view name);
    // Items of other replace or extend this list.
    void merge(const Props& other);

    const std::vector<Item>& items() const { return items_; }

    // "Name=value;Name=value", values in the text notation.
    std::string toText() const;
    // Adds the items of such a text; false (list unchanged) when malformed.
    bool fromText(std::string_view text);

    // One bit for a name, from its first letter and its length: a list
    // keeps the bits of its names, so that a name whose bit is clear is
    // certainly absent and a miss rarely compares names.
    static constexpr std::uint64_t bitOf(std::string_view name) {
        const unsigned first = name.empty() ? 0u : static_cast<unsigned char>(name.front()) & ~0x20u;
        return std::uint64_t{1} << ((first * 7 + name.size()) & 63);
    }
    // The bits of every name in the list.
    std::uint64_t signature() const { return signature_; }
    // find for a name whose bit is known.
    const Variant* find(std::string_view name, std::uint64_t bit) const;

private:
    void resign();

    std::vector<Item> items_;
    std::uint64_t signature_ = 0;
};

}  // namespace payfmt
