#include "engine/chain.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "engine/chain_cache.h"
#include "engine/mask.h"
#include "engine/parser_core.h"
#include "engine/registries.h"

namespace payfmt {

namespace {

// Prepares the context and calls the operator; shared by the by-name entry
// and the chain steps, whose operator was looked up when they were parsed.
// The context already carries the operator's name.
void runOperator(ParserCore& parser, OpContext& ctx, Operator op, BytesView in, Output& out) {
    TFormatError& errors = parser.errors();
    if (!op) errors.raise("ApplyOperator", kErrOperatorNotFound, {ctx.name});
    ctx.consumed = 0;
    ctx.ownCount = true;
    ctx.backMap = nullptr;
    ctx.offsets.clear();
    ctx.inverse.clear();
    out.reset();
    try {
        op(ctx, in, out, parser);
    } catch (const TFormatError&) {
        throw;
    } catch (const std::exception& e) {
        errors.recordException("ApplyOperator", e);
        throw TFormatError(errors);
    }
    out.cut(static_cast<std::uint32_t>(out.size()));  // the slice ends at the buffer's end
}

// Input bytes behind the n output units the rest of the chain consumed. The
// count never exceeds the input, so that callers can advance over it safely
// (2 * n for HEX2RAW over an odd number of digits, say, would not).
std::uint32_t mapBack(const OpContext& ctx, std::uint32_t n, std::size_t inputSize) {
    std::uint64_t used = n;
    if (!ctx.offsets.empty()) used = ctx.offsets[std::min<std::size_t>(n, ctx.offsets.size() - 1)];
    else if (ctx.backMap) used = ctx.backMap(n);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(used, inputSize));
}

void applyIfoStep(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, std::size_t index,
                  const InputMask& mask, bool allowNull, BytesView in, Output& out) {
    TFormatError& errors = parser.errors();
    OpContext next(ctx.direction);
    Output spare;
    try {
        const ChainStep& step = chain.steps[index];
        ctx.name = step.name;
        ctx.args = step.args;
        if (step.failure) recordXfoFailure(parser.errors(), *step.failure);
        if (!errors.holdsError()) {
            runOperator(parser, ctx, step.op, in, out);
            if (!errors.holdsError()) {
                if (index + 1 == chain.steps.size()) {
                    mask.validate(parser, next, out.view(), allowNull);
                } else {
                    applyIfoStep(parser, next, chain, index + 1, mask, allowNull, out.view(), spare);
                }
                const std::size_t length = out.size();
                if (index + 1 == chain.steps.size()) out.cut(next.consumed);
                if (ctx.ownCount) {
                    if (length > std::size_t{ctx.slack} + next.consumed)
                        errors.record("TPFIX.ApplyIFO", kInfoUnusedAfterOperator,
                                      {next.name, std::to_string(length - next.consumed)});
                } else {
                    ctx.consumed = mapBack(ctx, next.consumed, in.size());
                }
            }
        }
    } catch (const TFormatError&) {
        // already in the error context
    } catch (const std::exception& e) {
        errors.recordException("TPFIX.ApplyIFO", e);
    }
    if (spare.produced()) out = std::move(spare);
}

void applyOfoStep(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, std::size_t index, BytesView in,
                  Output& out) {
    TFormatError& errors = parser.errors();
    ctx.direction = kDirectionOutput;
    ctx.ownCount = false;
    ctx.consumed = 0;
    ctx.backMap = nullptr;
    ctx.args = {};
    try {
        const ChainStep& step = chain.steps[index];
        ctx.name = step.name;
        ctx.args = step.args;
        if (step.failure) recordXfoFailure(parser.errors(), *step.failure);
        if (errors.holdsError()) return;
        runOperator(parser, ctx, step.op, in, out);
        if (errors.holdsError()) return;
        if (index + 1 < chain.steps.size()) {
            Output spare;
            applyOfoStep(parser, ctx, chain, index + 1, out.view(), spare);
            // The chain's result is what the last operator reached left,
            // even when it left nothing.
            out = std::move(spare);
        }
    } catch (const TFormatError&) {
    } catch (const std::exception& e) {
        errors.recordException("TPFIX.ApplyOFO", e);
    }
}

// Where the field of an in-place chain lies in the input, and how much of
// the input the chain uses; nullopt when running the chain would report
// anything or build a field of its own, which is left to the chain itself.
struct InPlaceAt {
    std::uint32_t offset, length, consumed;
};

// EDIFACTFLD's release character, which protects the byte after it.
constexpr char kEdifactRelease = '?';

std::optional<InPlaceAt> inPlaceField(const ParsedChain& chain, BytesView in) {
    const std::uint32_t n = chain.inPlaceCount;
    if (chain.inPlace == ParsedChain::InPlace::Terminated) {
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i] == chain.terminator) return InPlaceAt{0, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1)};
            // A release that is dropped makes the field differ from the
            // input; one at the very end has nothing to protect.
            if (in[i] == kEdifactRelease) {
                if (chain.releases || i + 1 == in.size()) return std::nullopt;
                ++i;
            }
        }
        const auto all = static_cast<std::uint32_t>(in.size());
        return InPlaceAt{0, all, all};
    }
    if (chain.inPlace == ParsedChain::InPlace::Fix) {
        if (in.size() < n) return std::nullopt;
        return InPlaceAt{0, n, n};
    }
    if (in.size() < n) return std::nullopt;
    std::uint64_t length = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const char c = in[i];
        if (c < '0' || c > '9') return std::nullopt;
        length = length * 10 + static_cast<unsigned>(c - '0');
    }
    if (n + length > in.size()) return std::nullopt;
    return InPlaceAt{n, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(n + length)};
}

// What running the chain's one operator leaves, without running it or
// copying the field: the field cut to what the mask took, with a report of
// what the mask left unused.
BytesView fieldView(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, InPlaceAt at, const InputMask& mask,
                    bool allowNull, BytesView in) {
    TFormatError& errors = parser.errors();
    ctx.name = chain.steps.front().name;
    ctx.ownCount = true;
    ctx.slack = 0;
    ctx.consumed = at.consumed;
    const BytesView field = in.substr(at.offset, at.length);
    OpContext next(kDirectionInput);
    try {
        mask.validate(parser, next, field, allowNull);
        if (field.size() > next.consumed)
            errors.record("TPFIX.ApplyIFO", kInfoUnusedAfterOperator,
                          {next.name, std::to_string(field.size() - next.consumed)});
        return field.substr(0, next.consumed);
    } catch (const TFormatError&) {
        // already in the error context
    } catch (const std::exception& e) {
        errors.recordException("TPFIX.ApplyIFO", e);
    }
    return field;
}

std::shared_ptr<const ParsedChain> parsed(ParserCore& parser, std::string_view chain) {
    Settings& s = parser.settings();
    return s.chains.get(chain, true, s.sequences);
}

}  // namespace

void ApplyOperator(ParserCore& parser, OpContext& ctx, std::string_view name, BytesView in, Output& out) {
    ctx.name.assign(name);
    runOperator(parser, ctx, conversionRegistry().find(name), in, out);
}

void ApplyOperator(ParserCore& parser, OpContext& ctx, Operator op, std::string_view name, BytesView in, Output& out) {
    ctx.name.assign(name);
    runOperator(parser, ctx, op, in, out);
}

void ApplyIFO(ParserCore& parser, OpContext& ctx, std::string_view chain, std::string_view mask, bool allowNull,
              BytesView in, Output& out) {
    try {
        const auto steps = parsed(parser, chain);  // held: a nested call may refresh the cache
        // Most callers check nothing: an empty mask needs no compiling.
        const InputMask compiled = mask.empty() ? InputMask() : InputMask::compile(parser, mask);
        applyIfoStep(parser, ctx, *steps, 0, compiled, allowNull, in, out);
        ctx.args = {};  // they live in the parsed chain, which the caller does not hold
    } catch (const std::exception& e) {
        parser.errors().recordException("TPFIX.ApplyIFO", e);
    }
}

void ApplyOFO(ParserCore& parser, OpContext& ctx, std::string_view chain, BytesView in, Output& out) {
    try {
        const auto steps = parsed(parser, chain);
        applyOfoStep(parser, ctx, *steps, 0, in, out);
        ctx.args = {};
    } catch (const std::exception& e) {
        parser.errors().recordException("TPFIX.ApplyOFO", e);
    }
}

void ApplyIFO(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, const InputMask& mask, bool allowNull,
              BytesView in, Output& out) {
    try {
        applyIfoStep(parser, ctx, chain, 0, mask, allowNull, in, out);
        ctx.args = {};
    } catch (const std::exception& e) {
        parser.errors().recordException("TPFIX.ApplyIFO", e);
    }
}

void ApplyOFO(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, BytesView in, Output& out) {
    try {
        applyOfoStep(parser, ctx, chain, 0, in, out);
        ctx.args = {};
    } catch (const std::exception& e) {
        parser.errors().recordException("TPFIX.ApplyOFO", e);
    }
}

BytesView ApplyIFOView(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, const InputMask& mask,
                       bool allowNull, BytesView in, Output& out) {
    if (chain.inPlace != ParsedChain::InPlace::None) {
        if (const auto field = inPlaceField(chain, in)) return fieldView(parser, ctx, chain, *field, mask, allowNull, in);
    }
    if (!chain.plainNone) {
        ApplyIFO(parser, ctx, chain, mask, allowNull, in, out);
        return out.view();
    }
    // What running NONE leaves: everything the mask takes, consumption
    // following the mask.
    ctx.name = "NONE";
    ctx.ownCount = false;
    OpContext next(kDirectionInput);
    try {
        mask.validate(parser, next, in, allowNull);
    } catch (const TFormatError&) {
        // already in the error context
    } catch (const std::exception& e) {
        parser.errors().recordException("TPFIX.ApplyIFO", e);
    }
    ctx.consumed = std::min<std::uint32_t>(next.consumed, static_cast<std::uint32_t>(in.size()));
    return in.substr(0, ctx.consumed);
}

const ParsedChain& HeldChain::refresh(ParserCore& parser, std::string_view format) {
    Settings& s = parser.settings();
    chain_ = s.chains.get(format, true, s.sequences);
    generation_ = s.sequences.generation();
    return *chain_;
}

}  // namespace payfmt
