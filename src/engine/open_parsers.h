#pragma once
// The list of open parsers, by registered name: kept sorted, names compared
// without regard to case, a second entry under an existing name refused.
// The list holds a reference to each parser while it is open.
#include <string>
#include <string_view>
#include <vector>

#include "support/object.h"

namespace payfmt {

class OpenParsers {
public:
    // False when the name is already taken.
    bool add(std::string_view name, RefObject* parser);
    void remove(std::string_view name);
    RefObject* find(std::string_view name) const;
    std::size_t size() const { return entries_.size(); }
    std::vector<std::string> names() const;
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::string name;
        Ref<RefObject> parser;
    };
    std::vector<Entry>::const_iterator lowerBound(std::string_view name) const;
    std::vector<Entry> entries_;
};

}  // namespace payfmt
