#pragma once
// What XML 1.0 (fifth edition) allows in a document's text and names,
// checked on UTF-8 before a value tree's text is written as XML: libxml2
// writes whatever it is given, so a character it may not hold, a malformed
// byte sequence or a name of the older rules would make a document that no
// parser reads back.
#include <string_view>

namespace payfmt::xml {

// Every character is one XML allows in a document, in well-formed UTF-8
// (shortest forms only, no surrogates).
bool isXmlText(std::string_view utf8);
// A name with at most one colon, neither first nor last (a qualified name).
bool isQualifiedName(std::string_view utf8);

}  // namespace payfmt::xml
