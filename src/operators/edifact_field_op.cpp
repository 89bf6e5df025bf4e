// EDIFACTFLD: a field that ends at a terminator, in which a release
// character ("?") protects the byte after it.
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

namespace {

constexpr char kRelease = '?';
constexpr std::string_view kDefaultSpecials = "'+:?";

}  // namespace

void EdifactFld(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_EdifactFld");
    if (env.argCount() < 1) env.stop(kErrRequiresParameters, {env.name(), "2"});
    const Bytes terminator = env.bytesArg(0);
    const bool release = env.boolArg(1, false);
    const Bytes specials = env.argCount() > 2 ? env.bytesArg(2) : Bytes(kDefaultSpecials);

    if (ctx.isOutput()) {
        Bytes r;
        r.reserve(in.size() + terminator.size());
        for (const char c : in) {
            if (release && specials.find(c) != Bytes::npos) r.push_back(kRelease);
            r.push_back(c);
        }
        r += terminator;
        out.set(std::move(r));
        ctx.consumed = static_cast<std::uint32_t>(in.size());
        return;
    }

    Bytes field;
    std::size_t i = 0;
    while (i < in.size()) {
        // The whole terminator ends the field, so that one of several bytes
        // reads back as it was written.
        if (!terminator.empty() && in.substr(i).starts_with(terminator)) {
            out.set(std::move(field));
            ctx.consumed = static_cast<std::uint32_t>(i + terminator.size());
            return;
        }
        if (in[i] == kRelease) {
            // A release needs the byte it protects; at the very end the
            // field was cut inside an escape.
            if (i + 1 == in.size())
                env.stop(kWarnStoppedShortInput, {env.name(), std::to_string(in.size() + 1), std::to_string(in.size())});
            if (!release) field.push_back(kRelease);
            field.push_back(in[i + 1]);
            i += 2;
            continue;
        }
        field.push_back(in[i]);
        ++i;
    }
    out.set(std::move(field));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
