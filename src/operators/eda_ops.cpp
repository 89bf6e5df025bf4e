// EDA2RAW and RAW2EDA: EDA text to bytes and back. An escaped byte takes
// three characters, so consumption maps back by position.
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/eda.h"
#include "support/error_info.h"

namespace payfmt::ops {

void Eda2Raw(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.inverse = "RAW2EDA";
    auto raw = edaToRaw(in);
    if (!raw) throwVex(VEX_E_FORMAT, "VEXEdaToRawA", "Invalid escape in EDA text");
    mapEscapedText(ctx, in, raw->size(), '\\');
    out.set(std::move(*raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Raw2Eda(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.inverse = "Eda2Raw";
    Bytes text = rawToEda(in);
    // offsets[n]: bytes behind the first n characters; part of an escape
    // counts its whole byte as used.
    ctx.offsets.reserve(text.size() + 1);
    ctx.offsets.push_back(0);
    for (std::size_t i = 0; i < in.size(); ++i)
        ctx.offsets.insert(ctx.offsets.end(), edaWidth(static_cast<unsigned char>(in[i])),
                           static_cast<std::uint32_t>(i + 1));
    out.set(std::move(text));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
