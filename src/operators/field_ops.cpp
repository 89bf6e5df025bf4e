// FIX, LEAVE, SKIP and PREPEND: cutting a field out of its input and adding
// to its front.
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

namespace {

std::uint32_t size32(std::size_t n) { return static_cast<std::uint32_t>(n); }

// A count argument: an integer from 0 up.
std::size_t countArg(const OpEnv& env, std::size_t i, std::int64_t fallback) {
    const std::int64_t n = env.intArg(i, fallback);
    if (n < 0) env.stop(kErrInvalidParameter, {env.name(), "integer"});
    return static_cast<std::size_t>(std::min<std::int64_t>(n, 0xFFFFFFFF));
}

}  // namespace

void Fix(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Fix");
    env.requireArgs(1);
    const std::size_t n = countArg(env, 0, 0);
    ctx.slack = size32(countArg(env, 1, 0));
    if (in.size() >= n) {
        out.set(Bytes(in.substr(0, n)));
        ctx.consumed = size32(n);
        return;
    }
    env.note(kWarnShortInput, {env.name(), std::to_string(n), std::to_string(in.size())});
    out.set(Bytes(in));
    ctx.consumed = size32(in.size());
}

void Leave(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Leave");
    const std::size_t n = countArg(env, 0, 2);
    const std::size_t minimum = countArg(env, 1, static_cast<std::int64_t>(n));
    if (in.size() < minimum) {
        env.note(kWarnShortInput, {env.name(), std::to_string(minimum), std::to_string(in.size())});
        out.set(Bytes());
        ctx.consumed = 0;
        return;
    }
    // The last n bytes are left to whatever follows in the message.
    const std::size_t keep = in.size() - std::min(n, in.size());
    out.set(Bytes(in.substr(0, keep)));
    ctx.consumed = size32(keep);
}

void Skip(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Skip");
    if (env.argCount() != 1) env.stop(kErrRequiresParameters, {env.name(), "1"});
    const std::size_t n = countArg(env, 0, 0);
    out.set(Bytes(in.substr(std::min(n, in.size()))));
    ctx.consumed = size32(in.size());
}

void Prepend(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Prepend");
    if (env.argCount() == 0) {
        // Nothing to put in front: a plain copy that claims no input.
        out.set(Bytes(in));
        return;
    }
    Bytes r = env.bytesArg(0);
    r.append(in);
    out.set(std::move(r));
    ctx.consumed = size32(in.size());
}

}  // namespace payfmt::ops
