#include "support/props.h"

#include "support/ascii.h"
#include "support/variant_text.h"

namespace payfmt {

void Props::resign() {
    signature_ = 0;
    for (const auto& item : items_) signature_ |= bitOf(item.first);
}

const Variant* Props::find(std::string_view name) const { return find(name, bitOf(name)); }

const Variant* Props::find(std::string_view name, std::uint64_t bit) const {
    if (!(signature_ & bit)) return nullptr;
    for (const auto& [n, v] : items_)
        if (equalsNoCase(n, name)) return &v;
    return nullptr;
}

Variant* Props::find(std::string_view name) {
    return const_cast<Variant*>(static_cast<const Props*>(this)->find(name));
}

void Props::set(std::string_view name, Variant value) {
    if (Variant* v = find(name)) {
        *v = std::move(value);
        return;
    }
    items_.emplace_back(std::string(name), std::move(value));
    signature_ |= bitOf(name);
}

void Props::remove(std::string_view name) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (equalsNoCase(it->first, name)) {
            items_.erase(it);
            resign();
            return;
        }
    }
}

void Props::merge(const Props& other) {
    for (const auto& [n, v] : other.items_) set(n, v);
}

std::string Props::toText() const {
    std::string s;
    for (const auto& [n, v] : items_) {
        if (!s.empty()) s += ';';
        s += n;
        s += '=';
        s += writeNotation(v);
    }
    return s;
}

bool Props::fromText(std::string_view text) {
    Props parsed;
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t eq = text.find('=', p);
        if (eq == std::string_view::npos) return false;
        std::string name(text.substr(p, eq - p));
        while (!name.empty() && name.front() == ' ') name.erase(0, 1);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        if (name.empty()) return false;
        std::size_t q = eq + 1;
        Variant value;
        if (q < text.size() && text[q] != ';') {
            ValueRead r = readValue(text, q);
            if (r.status) return false;
            value = std::move(r.value);
            q = r.end;
        }
        if (q < text.size() && text[q] != ';') return false;
        parsed.set(name, std::move(value));
        p = q + 1;
    }
    merge(parsed);
    return true;
}

}  // namespace payfmt
