// APMLLVAR, APMLLLVAR, BBIT and BBBIT: length-prefixed fields whose prefix and
// data are converted by chains (see TOpLLVarX).
#include "operators/llvarx.h"
#include "operators/operator_list.h"

namespace payfmt::ops {

namespace {

// Hexadecimal digits packed two a byte after a decimal digit count. The
// count's digits bound the length: 99 for two, 999 for three.
constexpr LLVarXShape kApmLL{"HEX2RAW", "RAW2HEX", "FIX(2).DEC2RAW", "RAW2DEC.PADL(\"0\",2)", 99};
constexpr LLVarXShape kApmLLL{"HEX2RAW", "RAW2HEX", "FIX(3).DEC2RAW", "RAW2DEC.PADL(\"0\",3)", 999};
// Bits packed eight a byte after a binary bit count.
constexpr LLVarXShape kBBit{"BIT2RAW", "RAW2BIT", "FIX(1).INVERSE", "INVERSE.PADL(\"#00\",1)", 255};
constexpr LLVarXShape kBBBit{"BIT2RAW", "RAW2BIT", "FIX(2).INVERSE", "INVERSE.PADL(\"#00\",2)", 32767};

}  // namespace

void ApmLLVar(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    TOpLLVarX(kApmLL, ctx, parser).apply(in, out);
}

void ApmLLLVar(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    TOpLLVarX(kApmLLL, ctx, parser).apply(in, out);
}

void BBit(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    TOpLLVarX(kBBit, ctx, parser).apply(in, out);
}

void BBBit(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    TOpLLVarX(kBBBit, ctx, parser).apply(in, out);
}

}  // namespace payfmt::ops
