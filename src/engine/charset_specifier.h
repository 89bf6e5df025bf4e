#pragma once
// Character-set specifiers: "[...]" lists of bytes and ranges (IStr text, so
// escapes stand for any byte), or letters naming a parser's classes.
#include <string_view>

#include "engine/char_set.h"
#include "support/bytes.h"

namespace payfmt {

// Adds single bytes and inclusive ranges "a-z" of already decoded text. A "-"
// without a byte on each side is an ordinary byte; a range whose end is
// below its start adds nothing.
void addBracketSet(CharSet& set, BytesView bytes);

}  // namespace payfmt
