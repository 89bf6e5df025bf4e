#pragma once
// The text form of a character class as CharSet reads it: "[" members "]"
// in ascending byte order, runs of two or more as first "-" last, a "-"
// member placed last, all as IStr text ("[A-Za-z]").
#include <string>

#include "engine/char_set.h"

namespace payfmt {

std::string charSetText(const CharSet& set, char escape);

}  // namespace payfmt
