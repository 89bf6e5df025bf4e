#pragma once
// IStr: the text form of raw bytes. Printable ASCII other than the escape
// character stands for itself; every other byte is the escape character and
// two hexadecimal digits.
#include <string>
#include <string_view>

#include "support/bytes.h"

namespace payfmt {

class TFormatError;

constexpr char kDefaultEscape = '#';

// Decodes IStr text (which ends at its first NUL). A bad escape records and
// raises 0xE2060029 "IStrToRaw: data must be hexadecimal" in errors.
Bytes IStrToRaw(TFormatError& errors, std::string_view text, char escape = kDefaultEscape);

// Whether IStrToRaw would decode the text without a bad escape.
bool isIStr(std::string_view text, char escape = kDefaultEscape);

// Never fails.
std::string RawToIStr(BytesView raw, char escape = kDefaultEscape);
void appendIStr(std::string& out, BytesView raw, char escape = kDefaultEscape);

}  // namespace payfmt
