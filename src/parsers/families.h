#pragma once
// The parser families of the library, entered once at load.
namespace payfmt {

void addParserFamilies();

}  // namespace payfmt
