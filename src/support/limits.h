#pragma once
// How deep trees may nest where the library walks them recursively. Any
// depth the data allows could otherwise exhaust the native stack of the
// calling thread (a host's thread may have a small one): deeper trees are
// refused with a status instead.
#include <cstdint>

namespace payfmt {

inline constexpr std::uint32_t kMaxNesting = 512;

}  // namespace payfmt
