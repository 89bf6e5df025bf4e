#pragma once
// An operator that does its work by running fixed chains through the engine.
// The nested chains run with contexts of their own and report into the same
// error context; one that fails ends the operator without output.
#include <string_view>

#include "operators/op_support.h"

namespace payfmt {

class TImplicitOperator {
public:
    TImplicitOperator(OpContext& ctx, ParserCore& parser, std::string_view location) : env_(ctx, parser, location) {}

protected:
    struct InputRun {
        Bytes out;
        std::uint32_t used;  // bytes of the chain's input it consumed
    };

    // An input chain over in, without a mask.
    InputRun runInput(std::string_view chain, BytesView in) const;
    // An output chain over in.
    Bytes runOutput(std::string_view chain, BytesView in) const;

    const OpEnv env_;

private:
    Bytes result(Output& out) const;
};

}  // namespace payfmt
