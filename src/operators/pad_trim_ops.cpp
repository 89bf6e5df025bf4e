// PADL, PADR, TRIM, TRIML and TRIMR. Each pair of names shares one
// implementation that reads the direction from the operator name.
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/ascii.h"

namespace payfmt::ops {

void Pad(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Pad");
    if (env.argCount() != 2) env.stop(kErrRequiresParameters, {env.name(), "2"});
    const Bytes pad = env.bytesArg(0);
    if (pad.empty()) env.stop(kErrInvalidParameter, {env.name(), "pad character"});

    std::size_t size = 0;
    const Variant& sizeArg = ctx.args[1];
    if (sizeArg.isStr()) {
        const std::string mode = upper(sizeArg.bytes());
        if (mode == "E") size = in.size() + (in.size() & 1);
        else if (mode == "O") size = in.size() | 1;
        else env.stop(kErrInvalidParameter, {env.name(), "\"E\" or \"O\""});
    } else {
        if (!sizeArg.isInt() || sizeArg.intValue() < 0) env.stop(kErrInvalidParameter, {env.name(), "integer"});
        // A size beyond any message is a mistake, not a request for gigabytes.
        if (sizeArg.intValue() > 0xFFFFFF) env.stop(kErrInvalidParameter, {env.name(), "integer"});
        size = static_cast<std::size_t>(sizeArg.intValue());
    }

    Bytes r(size, pad.front());
    const std::size_t k = std::min(in.size(), size);
    const bool left = ctx.name.size() > 3 && ctx.name[3] == 'L';
    if (left) r.replace(size - k, k, in.substr(in.size() - k));
    else r.replace(0, k, in.substr(0, k));
    out.set(std::move(r));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Trim(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Trim");
    // An empty argument, like none, trims blanks.
    const Bytes given = env.bytesArg(0, " ", env.name());
    const char t = given.empty() ? ' ' : given.front();
    const bool start = ctx.name.size() == 4 || ctx.name[4] == 'L';
    const bool end = ctx.name.size() == 4 || ctx.name[4] == 'R';
    std::size_t from = 0, to = in.size();
    if (start)
        while (from < to && in[from] == t) ++from;
    if (end)
        while (to > from && in[to - 1] == t) --to;
    out.set(Bytes(in.substr(from, to - from)));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
