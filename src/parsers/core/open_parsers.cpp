#include "parsers/core/open_parsers.h"

#include <algorithm>

#include "support/ascii.h"

namespace payfmt {

std::vector<OpenParsers::Entry>::const_iterator OpenParsers::lowerBound(std::string_view name) const {
    return std::lower_bound(entries_.begin(), entries_.end(), name,
                            [](const Entry& e, std::string_view n) { return compareNoCase(e.name, n) < 0; });
}

bool OpenParsers::add(std::string_view name, Parser* parser) {
    auto it = lowerBound(name);
    if (it != entries_.end() && compareNoCase(it->name, name) == 0) return false;
    entries_.insert(it, Entry{std::string(name), parser});
    return true;
}

void OpenParsers::remove(std::string_view name) {
    auto it = lowerBound(name);
    if (it != entries_.end() && compareNoCase(it->name, name) == 0) entries_.erase(it);
}

Parser* OpenParsers::find(std::string_view name) const {
    auto it = lowerBound(name);
    if (it != entries_.end() && compareNoCase(it->name, name) == 0) return it->parser;
    return nullptr;
}

std::vector<std::string> OpenParsers::names() const {
    std::vector<std::string> r;
    for (const auto& e : entries_) r.push_back(e.name);
    return r;
}

OpenParsers& openParsers() {
    static OpenParsers list;
    return list;
}

}  // namespace payfmt
