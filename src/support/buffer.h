#pragma once
// The block behind a VEXBUF handle, and the conversions the C layer needs.
#include "payfmt/vex.h"
#include "support/bytes.h"

struct VEXBufBlock {
    payfmt::Bytes bytes;
};

namespace payfmt {

// A new handle owning a copy of the bytes (also for empty bytes).
VEXBUF newBuffer(BytesView bytes);
VEXBUF newBuffer(Bytes&& bytes);
void freeBuffer(VEXBUF buf);
inline BytesView bufferView(VEXBUF buf) { return buf ? BytesView(buf->bytes) : BytesView(); }

}  // namespace payfmt
