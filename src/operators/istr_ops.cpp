// ISTR2RAW and RAW2ISTR: IStr text inside a chain.
#include "engine/istr.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

void IStr2Raw(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    ctx.ownCount = false;
    ctx.inverse = "Raw2Istr";
    const char escape = parser.settings().escape;
    Bytes raw = IStrToRaw(parser.errors(), in, escape);
    // An escaped byte stands for three characters: map consumption by position.
    mapEscapedText(ctx, in, raw.size(), escape);
    out.set(std::move(raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Raw2IStr(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    out.set(RawToIStr(in, parser.settings().escape));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
