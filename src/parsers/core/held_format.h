#pragma once
// A format that a parser holds as a property (a tag chain, a bitmap chain),
// kept compiled for the walks: parsed again only when it is set anew or the
// registered sequences change.
#include <optional>
#include <string>
#include <string_view>

#include "engine/chain.h"
#include "engine/mask.h"

namespace payfmt {

class HeldFormat {
public:
    explicit HeldFormat(std::string_view text = {}) : text_(text) {}
    const std::string& text() const { return text_; }
    void assign(std::string_view text);
    // A property value as the format: text, or refused as an invalid
    // parameter of the property set at source.
    void assign(const Variant& value, std::string_view source);
    const ParsedChain& chain(ParserCore& parser) { return chain_.get(parser, text_); }
    const InputMask& mask(ParserCore& parser);

private:
    std::string text_;
    HeldChain chain_;
    std::optional<InputMask> mask_;
};

}  // namespace payfmt
