#pragma once
// Input masks: either a registered validation format (a date layout, INSET)
// or terms of character classes and counts such as N2, A1-12, [0-9 ]3, joined
// by "+". A mask is compiled once (InputMask) and then checked against any
// number of fields; what it compiled from stays valid while the registered
// sequences and the parser's character classes stay as they were.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/char_set.h"
#include "engine/op_context.h"

namespace payfmt {

class ParserCore;
struct ParsedChain;

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

class InputMask {
public:
    // Never records anything: what a mask reports, it reports when a field
    // is checked, term by term.
    static InputMask compile(ParserCore& parser, std::string_view mask);

    // Validates the slice; the effect is ctx.consumed and the recorded reports.
    void validate(ParserCore& parser, OpContext& ctx, BytesView slice, bool allowNull) const;

    // Whether it was compiled under the current sequences and classes.
    bool current(const ParserCore& parser) const;
    // An empty mask or "*": every byte passes.
    bool acceptsAll() const { return kind_ == Kind::All; }
    // The mask that checks nothing, for chains applied without one.
    static const InputMask& none() {
        static const InputMask all{};
        return all;
    }

private:
    enum class Kind { All, Operator, Terms };
    struct Term {
        std::string text;
        std::optional<MaskTerm> parsed;  // none: not a valid term
        bool decodeFails = false;        // its bracket set has a bad escape
    };

    Kind kind_ = Kind::All;
    std::shared_ptr<const ParsedChain> chain_;  // the mask split loosely, for the name and arguments
    Operator op_ = nullptr;                     // a validation format
    std::string word_;
    std::vector<Term> terms_;
    std::uint64_t generation_ = 0;
    std::uint64_t classes_ = 0;
};

// Validates the slice against a mask given as text.
void Validate(ParserCore& parser, OpContext& ctx, std::string_view mask, BytesView slice, bool allowNull);

// Checks up to maximum bytes of slice from start against one term and
// answers how many it took.
std::uint32_t ValidateOneBfm(ParserCore& parser, BytesView slice, std::uint32_t start, const CharSet& set,
                             std::uint32_t maximum, std::uint32_t minimum, bool last, std::string_view term);

}  // namespace payfmt
