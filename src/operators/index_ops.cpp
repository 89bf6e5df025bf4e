// IND2STR, STR2IND and INSET: a one-character index and the text it stands
// for among the arguments.
#include "engine/istr.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

void Ind2Str(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Ind2Str");
    if (in.empty()) env.stop(kWarnStoppedShortInput, {env.name(), "1", "0"});
    const unsigned char b = byteAt(in, 0);
    if (b < '0') env.stop(kInfoNotCharacter, {RawToIStr(in.substr(0, 1), parser.settings().escape), "digit"});
    // "0"-"9" give 0-9, "A"-"Z" give 10-35.
    std::size_t position = b - '0';
    if (position > 9) position -= 7;
    std::string text = parser.settings().notFoundText;
    if (position < env.argCount()) text = env.textArg(position);
    out.set(std::move(text));
    ctx.consumed = 1;
}

void Str2Ind(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Str2Ind");
    if (!in.empty()) {
        for (std::size_t i = 0; i < env.argCount(); ++i) {
            if (env.textArg(i) == in) {
                out.set(std::to_string(i));
                ctx.consumed = static_cast<std::uint32_t>(in.size());
                return;
            }
        }
    }
    out.set(parser.settings().noMatchText);
    ctx.consumed = static_cast<std::uint32_t>(in.size());
    env.note(kInfoNoMatch, {RawToIStr(in, parser.settings().escape)});
}

}  // namespace payfmt::ops
