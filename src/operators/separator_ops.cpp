// CHARSEP and STRSEP: a field that ends at a separator.
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

void CharSep(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_CharSep");
    if (ctx.isOutput()) env.stop(kErrNotOutputOperator, {env.name()});
    const CharSet set = parser.resolveCharSet(env.textArg(0, "S"));
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (contains(set, byteAt(in, i))) {
            out.set(Bytes(in.substr(0, i)));
            ctx.consumed = static_cast<std::uint32_t>(i + 1);  // the separator is dropped
            return;
        }
    }
    out.set(Bytes(in));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void StrSep(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_StrSep");
    env.requireArgs(1);
    const Bytes separator = env.bytesArg(0);
    if (ctx.isOutput()) {
        out.set(Bytes(in) + separator);
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }
    const std::size_t at = in.find(separator);
    if (at == BytesView::npos) {
        out.set(Bytes(in));
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }
    out.set(Bytes(in.substr(0, at)));
    ctx.consumed = static_cast<std::uint32_t>(at + separator.size());
}

}  // namespace payfmt::ops
