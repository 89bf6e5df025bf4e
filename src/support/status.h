#pragma once
// Status codes of the support layer, shared with the public header.
#include <cstdint>

#include "payfmt/vex.h"

namespace payfmt {

using Status = std::uint32_t;

constexpr bool failed(Status s) { return (s & 0x80000000u) != 0; }

}  // namespace payfmt
