#pragma once
// The list of open parsers, by registered name: kept sorted, names compared
// without regard to case, a second entry under an existing name refused.
// The list does not own the parsers: whoever created a parser keeps it, and a
// parser that goes away while open takes itself off the list first.
#include <string>
#include <string_view>
#include <vector>

namespace payfmt {

class Parser;

class OpenParsers {
public:
    // False when the name is already taken.
    bool add(std::string_view name, Parser* parser);
    void remove(std::string_view name);
    Parser* find(std::string_view name) const;
    std::size_t size() const { return entries_.size(); }
    std::vector<std::string> names() const;
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::string name;
        Parser* parser;
    };
    std::vector<Entry>::const_iterator lowerBound(std::string_view name) const;
    std::vector<Entry> entries_;
};

// The process-wide list.
OpenParsers& openParsers();

}  // namespace payfmt
