// BIT2RAW and RAW2BIT: bit text ("0" and "1", first bit in the top bit of
// the first byte) and bytes. Their consumption follows the rest of the chain.
#include "engine/istr.h"
#include "operators/operator_list.h"
#include "operators/op_support.h"

namespace payfmt::ops {

void Bit2Raw(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    const OpEnv env(ctx, parser, "Apply_Bit2Raw");
    ctx.ownCount = false;
    ctx.backMap = backmap::eightTimes;
    Bytes raw((in.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '1') raw[i / 8] = static_cast<char>(byteAt(raw, i / 8) | 0x80u >> i % 8);
        else if (in[i] != '0') env.stop(kInfoNotCharacter, {RawToIStr(in.substr(i, 1), env.settings().escape), "Bit"});
    }
    out.set(std::move(raw));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

void Raw2Bit(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    ctx.ownCount = false;
    ctx.backMap = backmap::eighthUp;
    Bytes bits;
    bits.reserve(8 * in.size());
    for (const char c : in)
        for (unsigned mask = 0x80; mask; mask >>= 1) bits.push_back(static_cast<unsigned char>(c) & mask ? '1' : '0');
    out.set(std::move(bits));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace payfmt::ops
