#include "engine/reg_name.h"

#include "engine/format_error.h"
#include "support/ascii.h"

namespace payfmt {

namespace {

constexpr std::uint32_t kErrInvalidIdentifier = 0xE206000A;

// Slot of a key character, or -1 for one outside "0".."_".
int slotOf(char c) {
    const int s = static_cast<unsigned char>(toUpper(c)) - TRegName::kFirstChar;
    return (s >= 0 && s < static_cast<int>(TRegName::kChildSlots)) ? s : -1;
}

}  // namespace

std::string TRegName::MakeId(TFormatError& errors, std::string_view name) {
    std::string key = upper(name);
    for (char c : key)
        if (!(isDigit(c) || (c >= 'A' && c <= 'Z') || c == '_'))
            errors.raise("TRegName.MakeId", kErrInvalidIdentifier, {name});
    return key;
}

void TRegName::grow() { table_.resize(table_.size() + growth_); }

void TRegName::add(TFormatError& errors, std::string_view name, Operator op) {
    const std::string key = MakeId(errors, name);
    std::uint32_t node = 0;
    for (char c : key) {
        const auto slot = static_cast<std::size_t>(slotOf(c));
        if (table_[node].child[slot] == 0) {
            if (used_ == table_.size()) grow();
            table_[node].child[slot] = used_++;
        }
        node = table_[node].child[slot];
    }
    table_[node].value = op;
}

Operator TRegName::find(std::string_view name) const {
    std::uint32_t node = 0;
    for (char c : name) {
        const int slot = slotOf(c);
        if (slot < 0) return nullptr;
        node = table_[node].child[static_cast<std::size_t>(slot)];
        if (node == 0) return nullptr;
    }
    return table_[node].value;
}

void TRegName::collect(std::uint32_t node, std::string& prefix, std::vector<std::string>& out) const {
    if (table_[node].value) out.push_back(prefix);
    for (std::uint32_t s = 0; s < kChildSlots; ++s) {
        if (const std::uint32_t c = table_[node].child[s]) {
            prefix.push_back(static_cast<char>(kFirstChar + s));
            collect(c, prefix, out);
            prefix.pop_back();
        }
    }
}

std::vector<std::string> TRegName::names() const {
    std::vector<std::string> out;
    std::string prefix;
    collect(0, prefix, out);
    return out;
}

}  // namespace payfmt
