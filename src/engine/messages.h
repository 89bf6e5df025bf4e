#pragma once
// The library's message table: one template per status code, "%s" filled in
// order from a report's arguments.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace payfmt {

std::optional<std::string_view> messageTemplate(std::uint32_t code);

// "(" + code in upper-case hexadecimal + ") " + the filled template; the two
// internal-error texts (no prefix) for an unknown code or too few arguments.
std::string buildMessage(std::uint32_t code, std::initializer_list<std::string_view> args);

}  // namespace payfmt
