// NONE and INVERSE: a copy and a reversal whose consumption follows the
// operators after them.
#include <algorithm>

#include "operators/operator_list.h"

namespace payfmt::ops {

void None(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::identity;
    out.set(Bytes(in));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Inverse(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::identity;
    out.set(Bytes(in.rbegin(), in.rend()));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
