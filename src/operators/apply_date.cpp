// The 23 date layouts as operators and input masks: an input chain reads the
// field into an IDate, an output chain writes an IDate out in the layout.
#include "engine/chain.h"
#include "operators/date_fields.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

void Date(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Date");
    const DateLayout* layout = findDateLayout(ctx.name);
    if (!layout) env.stop(kErrOperatorNotFound, {ctx.name});
    const DateReport report{parser.errors(), env.location, ctx.name};
    const DateLayout& from = ctx.isOutput() ? iDateLayout() : *layout;
    const DateLayout& to = ctx.isOutput() ? *layout : iDateLayout();
    // Never more than there is, so that a short field does not move a
    // parser's cursor past the end of its message.
    ctx.consumed = static_cast<std::uint32_t>(std::min<std::size_t>(from.length, in.size()));
    const DateTime dt = readDateField(from, in, parser.settings(), report);
    out.set(writeDateField(to, dt));
}

}  // namespace payfmt::ops
