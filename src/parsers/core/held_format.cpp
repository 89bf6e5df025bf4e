#include "parsers/core/held_format.h"

#include "framework/errors.h"

namespace payfmt {

void HeldFormat::assign(std::string_view text) {
    text_ = text;
    chain_ = HeldChain();
    mask_.reset();
}

void HeldFormat::assign(const Variant& value, std::string_view source) {
    const auto text = value.toText();
    if (!text) throw EInvalidParameter::type(1, value.typeName(), std::string(source));
    assign(*text);
}

const InputMask& HeldFormat::mask(ParserCore& parser) {
    if (!mask_ || !mask_->current(parser)) mask_ = InputMask::compile(parser, text_);
    return *mask_;
}

}  // namespace payfmt
