// ASC2EBC, EBC2ASC, ANSI2EBC and EBC2ANSI: byte-for-byte translation between
// Latin and EBCDIC. One output byte stands for one input byte, so consumption
// passes through unchanged.
#include "operators/operator_list.h"
#include "engine/parser_core.h"
#include "support/codepage.h"

namespace payfmt::ops {

namespace {

void translate(OpContext& ctx, BytesView in, Output& out, const ByteTable& table) {
    ctx.ownCount = false;
    ctx.backMap = backmap::identity;
    Bytes bytes(in);
    recode(bytes, table);
    out.set(std::move(bytes));
    ctx.consumed = static_cast<std::uint32_t>(in.size());
}

}  // namespace

void Asc2Ebc(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    translate(ctx, in, out, *builtinConversion(kConvLatin1ToCp500));
}

void Ebc2Asc(OpContext& ctx, BytesView in, Output& out, ParserCore&) {
    translate(ctx, in, out, *builtinConversion(kConvCp500ToLatin1));
}

// The page chosen in the settings.
void Ansi2Ebc(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    translate(ctx, in, out, *parser.settings().latinToEbcdic);
}

void Ebc2Ansi(OpContext& ctx, BytesView in, Output& out, ParserCore& parser) {
    translate(ctx, in, out, *parser.settings().ebcdicToLatin);
}

}  // namespace payfmt::ops
