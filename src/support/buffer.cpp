#include "support/buffer.h"

#include <memory>

namespace payfmt {

VEXBUF newBuffer(BytesView bytes) { return std::make_unique<VEXBufBlock>(VEXBufBlock{Bytes(bytes)}).release(); }

VEXBUF newBuffer(Bytes&& bytes) { return std::make_unique<VEXBufBlock>(VEXBufBlock{std::move(bytes)}).release(); }

void freeBuffer(VEXBUF buf) { std::unique_ptr<VEXBufBlock> owned(buf); }

}  // namespace payfmt
