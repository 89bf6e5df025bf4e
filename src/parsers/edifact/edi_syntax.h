#pragma once
// The service characters of an EDIFACT interchange and the parts of its
// syntax that the parser handles on the text itself rather than through
// operator chains: the service string advice ("UNA" and six characters) and
// the trimming of empty trailing elements and components from compiled text.
#include <cstddef>
#include <string_view>

#include "support/bytes.h"

namespace payfmt {

struct EdiSeparators {
    char segment = '\'';
    char data = '+';
    char component = ':';
    char escape = '?';         // the release character
    char binaryEscape = '@';   // published; no binary block is read or written
};

// "UNA" and the six service characters after it. ISO 9735 makes them a
// fixed-length string that no release character protects (they name the
// separators themselves), so it is read and written as it stands.
inline constexpr std::string_view kServiceAdvice = "UNA";
inline constexpr std::size_t kServiceAdviceLength = 9;

// Whether the text at a segment's start is a service string advice.
inline bool isServiceAdvice(BytesView text) { return text.starts_with(kServiceAdvice); }

// Whether compiled text at a segment's start is a whole service string
// advice naming these separators (its decimal mark and reserved character
// may be any), not a segment of that tag written with its elements.
bool namesSeparators(BytesView text, const EdiSeparators& separators);

// Appends compiled to out without the data and component separators that
// directly precede a segment separator, nor the component separators that
// directly precede a data separator: the empty trailing elements and
// components. A separator released by the escape character is data and
// stays; with advices, a service string advice naming these separators at
// a segment's start is copied as it stands.
void appendTrimmed(BytesView compiled, const EdiSeparators& separators, Bytes& out, bool advices);

}  // namespace payfmt
