#pragma once
// The text notation for single values, as format arguments and property-list
// text use it: "quoted" strings ("" for a quote), signed integers, decimal
// numbers with a point, true and false.
#include <string>
#include <string_view>

#include "support/variant.h"

namespace payfmt {

struct ValueRead {
    Status status = 0;  // 0 or VEX_E_FORMAT
    Variant value;
    std::size_t end = 0;  // position after the value and the blanks behind it
};

// Reads one value at text[pos]; blanks before and after it are skipped. On
// failure end is the position of the offending character.
ValueRead readValue(std::string_view text, std::size_t pos);

// Writes a value in the notation, so that readValue gives it back (blobs and
// dates come back as strings and numbers).
std::string writeNotation(const Variant& v);

}  // namespace payfmt
