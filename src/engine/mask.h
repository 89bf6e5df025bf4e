#pragma once
// Input masks: either a registered validation format (a date layout, INSET)
// or terms of character classes and counts such as N2, A1-12, [0-9 ]3, joined
// by "+".
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/char_set.h"
#include "engine/op_context.h"

namespace payfmt {

class ParserCore;

constexpr std::uint32_t kErrNotValidIfm = 0xE2060006;
constexpr std::uint32_t kWarnExpectedInput = 0xA2060025;
constexpr std::uint32_t kInfoNotClassCharacter = 0x62060011;

struct MaskTerm {
    CharSet set;
    std::uint32_t maximum = 0;
    std::uint32_t minimum = 0;
};

// Reads one term; nullopt when it does not parse. A bad escape inside a
// bracket set raises from the IStr decoding.
std::optional<MaskTerm> parseMaskTerm(ParserCore& parser, std::string_view term);

// Validates the slice; the effect is ctx.consumed and the recorded reports.
void Validate(ParserCore& parser, OpContext& ctx, std::string_view mask, BytesView slice, bool allowNull);

// Checks up to maximum bytes of slice from start against one term and
// answers how many it took.
std::uint32_t ValidateOneBfm(ParserCore& parser, BytesView slice, std::uint32_t start, const CharSet& set,
                             std::uint32_t maximum, std::uint32_t minimum, bool last, std::string_view term);

}  // namespace payfmt
