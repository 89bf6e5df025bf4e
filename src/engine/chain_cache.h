#pragma once
// Formats parsed once and kept: a format is split into its operators, with
// sequence expansion and registry lookups, the first time it is used, and
// the steps are reused by every later application. Any change of the
// registered sequences empties the cache, since it can change how a format
// expands.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/op_context.h"
#include "engine/parse_xfo.h"

namespace payfmt {

class SequenceStore;

struct ChainStep {
    std::string name;
    std::vector<Variant> args;
    Operator op = nullptr;               // null: not a registered operator
    std::optional<XfoFailure> failure;   // recorded when the engine reaches this step
};

struct ParsedChain {
    std::vector<ChainStep> steps;  // never empty: an empty format is NONE
    // NONE alone, without arguments: its output is its input, so callers
    // may take the input instead of running it.
    bool plainNone = false;
    // FIX(n) alone with a plain count, or one of LVAR to LLLLLLVAR alone:
    // the field is a slice of the input, which callers may take where it
    // lies whenever the input holds all of it.
    // EDIFACTFLD alone with a one-byte terminator and the default special
    // characters is such a slice too, up to its terminator, when nothing in
    // it is released (or releases are kept).
    enum class InPlace { None, Fix, DecimalLength, Terminated };
    InPlace inPlace = InPlace::None;
    std::uint32_t inPlaceCount = 0;  // FIX's n, or the number of length digits
    char terminator = 0;             // EDIFACTFLD's
    bool releases = false;           // EDIFACTFLD drops its release characters
    // BERLEN, BERTAG, HEX2RAW or RAW2HEX alone without arguments: the
    // tag-length-value parsers read and write such headers and values
    // themselves, the operator's way.
    enum class Header { None, BerLen, BerTag, HexToRaw, RawToHex };
    Header header = Header::None;
};

// Longest chain the engine runs; longer ones are refused, not recursed into.
constexpr std::size_t kMaxChainSteps = 1000;

ParsedChain parseChain(std::string_view format, bool strict, const SequenceStore& sequences);

class ChainCache {
public:
    std::shared_ptr<const ParsedChain> get(std::string_view format, bool strict, const SequenceStore& sequences);
    std::size_t size() const { return strictChains_.size() + looseChains_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using Map = std::unordered_map<std::string, std::shared_ptr<const ParsedChain>, Hash, std::equal_to<>>;
    // Bounded so that a host generating formats cannot grow it without end.
    static constexpr std::size_t kMaxEntries = 4096;

    // The formats used last, looked at before hashing: a host tends to apply
    // the same few formats over and over.
    struct Recent {
        std::string format;
        bool strict = false;
        std::shared_ptr<const ParsedChain> chain;
    };
    static constexpr std::size_t kRecent = 4;
    std::array<Recent, kRecent> recent_;
    std::size_t nextRecent_ = 0;

    Map strictChains_, looseChains_;
    std::uint64_t generation_ = ~std::uint64_t{0};
};

}  // namespace payfmt
