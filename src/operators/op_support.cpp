#include "operators/op_support.h"

#include "engine/istr.h"

namespace payfmt {

void mapEscapedText(OpContext& ctx, BytesView text, std::size_t bytes, char escape) {
    ctx.offsets.clear();
    ctx.offsets.reserve(bytes + 1);
    std::uint32_t at = 0;
    ctx.offsets.push_back(0);
    for (std::size_t i = 0; i < bytes && at < text.size(); ++i) {
        at += text[at] == escape ? 3 : 1;
        ctx.offsets.push_back(at);
    }
}

void OpEnv::requireArgs(std::size_t n) const {
    if (argCount() < n) stop(kErrRequiresParameters, {name(), std::to_string(n)});
}

std::int64_t OpEnv::intArg(std::size_t i, std::int64_t fallback, std::string_view what) const {
    const Variant* v = arg(i);
    if (!v) return fallback;
    if (!v->isInt()) stop(kErrInvalidParameter, {what.empty() ? std::string_view(name()) : what, "integer"});
    return v->intValue();
}

std::string OpEnv::textArg(std::size_t i, std::string_view fallback, std::string_view what) const {
    const Variant* v = arg(i);
    if (!v) return std::string(fallback);
    if (!v->isStr()) stop(kErrInvalidParameter, {what.empty() ? std::string_view(name()) : what, "string"});
    return std::string(v->bytes());
}

Bytes OpEnv::bytesArg(std::size_t i, std::string_view fallback, std::string_view what) const {
    const Variant* v = arg(i);
    if (v && !v->isStr()) stop(kErrInvalidParameter, {what.empty() ? std::string_view(name()) : what, "string"});
    return IStrToRaw(parser.errors(), v ? v->bytes() : fallback, settings().escape);
}

bool OpEnv::boolArg(std::size_t i, bool fallback) const {
    const Variant* v = arg(i);
    if (!v) return fallback;
    if (v->is(VarType::Bool)) return v->boolValue();
    if (v->isInt()) return v->intValue() != 0;
    stop(kErrInvalidParameter, {name(), "boolean"});
}

}  // namespace payfmt
