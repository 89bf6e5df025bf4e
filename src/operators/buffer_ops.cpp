// BBUF, BBBUF, DBUF and DDBUF: a binary field after its byte count, the
// count binary or BCD, one byte or two.
#include "operators/count_prefix.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

namespace {

struct BufferShape {
    std::string_view name;
    CountPrefix prefix;
    // Whether a short input's warning counts the prefix in what it expected;
    // the binary-count buffers have always named the data length alone.
    bool expectIncludesPrefix;
};

constexpr BufferShape kBuffers[] = {
    {"BBUF", {1, false}, false},
    {"BBBUF", {2, false}, false},
    {"DBUF", {1, true}, true},
    {"DDBUF", {2, true}, true},
};

}  // namespace

void Buf(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Buf");
    const BufferShape& shape = env.rowFor<BufferShape>(kBuffers);
    const CountPrefix& prefix = shape.prefix;
    if (ctx.isOutput()) {
        prefix.requireCountable(env, in.size());
        Bytes r;
        r.reserve(prefix.size + in.size());
        prefix.write(static_cast<std::uint32_t>(in.size()), r);
        r.append(in);
        out.set(std::move(r));
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }
    prefix.requirePresent(env, in);
    std::size_t length = prefix.read(in);
    if (prefix.size + length > in.size()) {
        const std::size_t expected = length + (shape.expectIncludesPrefix ? prefix.size : 0);
        env.note(kWarnShortInput, {env.name(), std::to_string(expected), std::to_string(in.size())});
        length = in.size() - prefix.size;
    }
    out.set(Bytes(in.substr(prefix.size, length)));
    ctx.consumed = static_cast<std::uint32_t>(prefix.size + length);
}

}  // namespace payfmt::ops
