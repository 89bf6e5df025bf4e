#pragma once
// Raw byte strings. std::string keeps short fields (most message fields) in
// its inline buffer, so the engine's per-operator outputs rarely allocate.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace payfmt {

using Bytes = std::string;
using BytesView = std::string_view;

inline std::uint8_t byteAt(BytesView v, std::size_t i) { return static_cast<std::uint8_t>(v[i]); }

inline BytesView asView(std::span<const std::uint8_t> s) {
    return {reinterpret_cast<const char*>(s.data()), s.size()};
}

inline std::span<const std::uint8_t> asSpan(BytesView v) {
    return {reinterpret_cast<const std::uint8_t*>(v.data()), v.size()};
}

}  // namespace payfmt
