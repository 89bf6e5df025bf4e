// Hexadecimal and Base64 text to bytes and back. Their consumption follows
// the rest of the chain through back-maps, so that e.g. RAW2HEX.FIX(4)
// consumes two message bytes.
#include "engine/istr.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/base64.h"
#include "support/error_info.h"
#include "support/hex.h"

namespace payfmt::ops {

void Hex2Raw(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Hex2Raw");
    ctx.ownCount = false;
    ctx.backMap = backmap::twice;
    Bytes raw;
    const std::size_t used = hexToRaw(in, raw);
    if (used < in.size()) {
        env.stop(kInfoNotCharacter, {RawToIStr(in.substr(used, 1), parser.settings().escape), "hexadecimal"});
    }
    out.set(std::move(raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Raw2Hex(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::halfUp;
    out.set(rawToHex(in));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Base642Raw(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::base64Text;
    auto raw = base64ToRaw(in);
    if (!raw) throwVex(VEX_E_FORMAT, "VEXBase64ToRawA", "Invalid Base64 text");
    out.set(std::move(*raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Raw2Base64(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::base64Bytes;
    out.set(rawToBase64(in));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
