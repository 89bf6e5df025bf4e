#pragma once
// TRegName: the operator registry, a character trie over the 48 codes from
// "0" to "_". Names are upper-cased on the way in, so lookups ignore case.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/op_context.h"

namespace payfmt {

class TFormatError;

class TRegName {
public:
    static constexpr std::uint32_t kChildSlots = 48;  // "0" (48) to "_" (95)
    static constexpr char kFirstChar = '0';

    explicit TRegName(std::uint32_t growth = 20) : growth_(growth) { grow(); used_ = 1; }

    // The key of a name: upper-cased ASCII letters; anything but digits,
    // letters and "_" raises 0xE206000A at "TRegName.MakeId".
    static std::string MakeId(TFormatError& errors, std::string_view name);

    // Registers the operator under the name, replacing an earlier one.
    void add(TFormatError& errors, std::string_view name, Operator op);
    // The operator of a name (any case), or null.
    Operator find(std::string_view name) const;

    std::uint32_t nodesInUse() const { return used_; }
    std::size_t capacity() const { return table_.size(); }
    std::vector<std::string> names() const;

private:
    struct Node {
        std::array<std::uint32_t, kChildSlots> child{};
        Operator value = nullptr;
    };
    void grow();
    void collect(std::uint32_t node, std::string& prefix, std::vector<std::string>& out) const;

    std::uint32_t used_ = 0;
    std::uint32_t growth_;
    std::vector<Node> table_;  // node 0 is the root
};

}  // namespace payfmt
