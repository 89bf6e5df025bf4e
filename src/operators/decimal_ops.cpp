// DEC2RAW and RAW2DEC: decimal text and little-endian binary of up to 4 bytes.
#include "operators/operator_list.h"
#include "operators/op_support.h"
#include "support/number.h"

namespace payfmt::ops {

void Dec2Raw(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Dec2Raw");
    if (in.empty()) env.stop(kWarnStoppedShortInput, {env.name(), "1", "0"});
    const NumberRead r = readLong(in, 0, 10);
    ctx.consumed = static_cast<std::uint32_t>(r.end);
    if (r.status || r.end < in.size()) env.stop(kErrDataNotDecimal, {env.name()});
    // Width from the value as a signed number: a negative value gives its low byte.
    const std::int32_t v = r.value;
    const int width = v < 256 ? 1 : v < 65536 ? 2 : v < 16777216 ? 3 : 4;
    const auto u = static_cast<std::uint32_t>(v);
    Bytes raw(static_cast<std::size_t>(width), '\0');
    for (int i = 0; i < width; ++i) raw[static_cast<std::size_t>(i)] = static_cast<char>(u >> (8 * i));
    out.set(std::move(raw));
}

void Raw2Dec(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    const std::size_t n = std::min<std::size_t>(in.size(), 4);
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < n; ++i) u |= std::uint32_t{byteAt(in, i)} << (8 * i);
    // Four bytes are a signed value; fewer are read as unsigned.
    const std::int64_t value = n == 4 ? std::int64_t{static_cast<std::int32_t>(u)} : std::int64_t{u};
    out.set(std::to_string(value));
    ctx.consumed = static_cast<std::uint32_t>(n);
}

}  // namespace payfmt::ops
