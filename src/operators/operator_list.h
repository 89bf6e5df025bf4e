#pragma once
// Every operator implementation, as the operator table registers them.
#include "engine/op_context.h"

namespace payfmt::ops {

#define PAYFMT_OPERATOR(fn) void fn(OpContext& ctx, BytesView in, Output& out, ParserCore& parser)

// Numeric and radix
PAYFMT_OPERATOR(Dec2Raw);
PAYFMT_OPERATOR(Raw2Dec);
PAYFMT_OPERATOR(Hex2Raw);
PAYFMT_OPERATOR(Raw2Hex);
PAYFMT_OPERATOR(Base642Raw);
PAYFMT_OPERATOR(Raw2Base64);
PAYFMT_OPERATOR(Int2Str);
PAYFMT_OPERATOR(Str2Int);
PAYFMT_OPERATOR(IStr2Raw);
PAYFMT_OPERATOR(Raw2IStr);

// Field shaping
PAYFMT_OPERATOR(None);
PAYFMT_OPERATOR(Inverse);
PAYFMT_OPERATOR(Fix);
PAYFMT_OPERATOR(Pad);  // PADL, PADR
PAYFMT_OPERATOR(Trim);  // TRIM, TRIML, TRIMR
PAYFMT_OPERATOR(Leave);
PAYFMT_OPERATOR(Skip);
PAYFMT_OPERATOR(Prepend);
PAYFMT_OPERATOR(CharSep);
PAYFMT_OPERATOR(StrSep);
PAYFMT_OPERATOR(Ind2Str);
PAYFMT_OPERATOR(Str2Ind);  // STR2IND, INSET
PAYFMT_OPERATOR(Conv);

// Character sets
PAYFMT_OPERATOR(Asc2Ebc);
PAYFMT_OPERATOR(Ebc2Asc);
PAYFMT_OPERATOR(Ansi2Ebc);
PAYFMT_OPERATOR(Ebc2Ansi);
PAYFMT_OPERATOR(Eda2Raw);
PAYFMT_OPERATOR(Raw2Eda);

// Dates: all 23 layouts
PAYFMT_OPERATOR(Date);

#undef PAYFMT_OPERATOR

}  // namespace payfmt::ops
