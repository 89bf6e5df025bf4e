#include "parsers/core/held_format.h"

namespace payfmt {

void HeldFormat::assign(std::string_view text) {
    text_ = text;
    chain_ = HeldChain();
    mask_.reset();
}

const InputMask& HeldFormat::mask(ParserCore& parser) {
    if (!mask_ || !mask_->current(parser)) mask_ = InputMask::compile(parser, text_);
    return *mask_;
}

}  // namespace payfmt
