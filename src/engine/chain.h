#pragma once
// The chain engine: applying one operator, an input chain with its mask, and
// an output chain. Each may be called re-entrantly from inside an operator
// with a context of its own.
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/op_context.h"
#include "engine/parser_core.h"

namespace payfmt {

class ParserCore;
class InputMask;
struct ChainStep;
struct ParsedChain;

constexpr std::uint32_t kErrOperatorNotFound = 0xE2060001;
constexpr std::uint32_t kInfoUnusedAfterOperator = 0x6206002B;

// Runs the operator registered under name over in. An unknown name records
// and raises 0xE2060001; a foreign exception is recorded as 0xE20700FF and
// raised as TFormatError.
void ApplyOperator(ParserCore& parser, OpContext& ctx, std::string_view name, BytesView in, Output& out);
// The same for an operator already looked up under name.
void ApplyOperator(ParserCore& parser, OpContext& ctx, Operator op, std::string_view name, BytesView in, Output& out);

// Runs an input chain over in, then the mask over its result. The first
// operator's consumed count (in ctx) tells how much of in the chain used;
// out receives the output of the last operator that produced one, cut to
// what the mask validated. Never throws: failures are in the error context.
void ApplyIFO(ParserCore& parser, OpContext& ctx, std::string_view chain, std::string_view mask, bool allowNull,
              BytesView in, Output& out);

// Runs an output chain over in. Never throws.
void ApplyOFO(ParserCore& parser, OpContext& ctx, std::string_view chain, BytesView in, Output& out);

// The same over a chain and a mask compiled before; the caller keeps both
// alive for the call.
void ApplyIFO(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, const InputMask& mask, bool allowNull,
              BytesView in, Output& out);
void ApplyOFO(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, BytesView in, Output& out);

// ApplyIFO answering the field as a view: of in itself for a chain that is
// NONE alone (running it would only copy in), else of out.
BytesView ApplyIFOView(ParserCore& parser, OpContext& ctx, const ParsedChain& chain, const InputMask& mask,
                       bool allowNull, BytesView in, Output& out);

// A format that its holder keeps parsed (a definition node keeps its chains
// so); parsed again after the registered sequences changed.
class HeldChain {
public:
    const ParsedChain& get(ParserCore& parser, std::string_view format) {
        if (chain_ && generation_ == currentGeneration(parser)) return *chain_;
        return refresh(parser, format);
    }

private:
    static std::uint64_t currentGeneration(const ParserCore& parser) { return parser.settings().sequences.generation(); }
    const ParsedChain& refresh(ParserCore& parser, std::string_view format);

    std::shared_ptr<const ParsedChain> chain_;
    std::uint64_t generation_ = 0;
};

}  // namespace payfmt
