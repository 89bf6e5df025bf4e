// The 23 date layouts as operators and input masks: an input chain reads the
// field into an IDate, an output chain writes an IDate out in the layout.
#include "engine/chain.h"
#include "operators/date_fields.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

namespace {

// Reads the field in the layout it is in and answers the date; the consumed
// count is never more than there is, so that a short field does not move a
// parser's cursor past the end of its message.
DateTime readDate(OpContext& ctx, BytesView in, ParserCore& parser, const DateLayout*& layout) {
    const OpEnv env(ctx, parser, "Apply_Date");
    layout = findDateLayout(ctx.name);
    if (!layout) env.stop(kErrOperatorNotFound, {ctx.name});
    const DateReport report{parser.errors(), env.location, ctx.name};
    const DateLayout& from = ctx.isOutput() ? iDateLayout() : *layout;
    ctx.consumed = static_cast<std::uint32_t>(std::min<std::size_t>(from.length, in.size()));
    return readDateField(from, in, parser.settings(), report);
}

}  // namespace

void Date(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const DateLayout* layout = nullptr;
    const DateTime dt = readDate(ctx, in, parser, layout);
    out.set(writeDateField(ctx.isOutput() ? *layout : iDateLayout(), dt));
}

void CheckDate(OpContext& ctx, BytesView in, Output&, ParserCore& parser) {
    const DateLayout* layout = nullptr;
    readDate(ctx, in, parser, layout);
}

}  // namespace payfmt::ops
