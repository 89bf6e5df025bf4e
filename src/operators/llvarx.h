#pragma once
// TOpLLVarX: a field after a length prefix, where the prefix and the data are
// each converted by chains of other operators. The data chains are built for
// each field, since they cut the data to the length.
#include <cstdint>
#include <string_view>

#include "operators/implicit_operator.h"

namespace payfmt {

struct LLVarXShape {
    std::string_view toRaw;      // turns the value into the data written
    std::string_view fromRaw;    // turns the data read back into the value
    std::string_view inLength;   // reads the prefix as a little-endian count
    std::string_view outLength;  // writes the prefix from a 4-byte little-endian count
    std::uint32_t largest;       // longest value, in units of the value
};

class TOpLLVarX : public TImplicitOperator {
public:
    TOpLLVarX(const LLVarXShape& shape, OpContext& ctx, ParserCore& parser)
        : TImplicitOperator(ctx, parser, "TOpLLVarX.Apply"), shape_(shape) {}

    // In the context's direction: prefix and data from the value, or the
    // value from a message.
    void apply(BytesView in, Output& out) const;

private:
    void write(BytesView in, Output& out) const;
    void read(BytesView in, Output& out) const;

    const LLVarXShape& shape_;
};

}  // namespace payfmt
