#include "operators/implicit_operator.h"

#include "engine/chain.h"
#include "engine/format_error.h"

namespace payfmt {

TImplicitOperator::InputRun TImplicitOperator::runInput(std::string_view chain, BytesView in) const {
    OpContext nested(kDirectionInput);
    Output out;
    ApplyIFO(env_.parser, nested, chain, "", false, in, out);
    Bytes bytes = result(out);
    return {std::move(bytes), std::min<std::uint32_t>(nested.consumed, static_cast<std::uint32_t>(in.size()))};
}

Bytes TImplicitOperator::runOutput(std::string_view chain, BytesView in) const {
    OpContext nested(kDirectionOutput);
    Output out;
    ApplyOFO(env_.parser, nested, chain, in, out);
    return result(out);
}

// A nested chain that failed left an error, or no output at all when an
// operator stopped on a lesser report (a non-hexadecimal digit, say). The
// report is already recorded, so the operator ends without another.
Bytes TImplicitOperator::result(Output& out) const {
    TFormatError& errors = env_.parser.errors();
    if (errors.holdsError() || !out.produced()) throw TFormatError(errors);
    return out.take();
}

}  // namespace payfmt
