#include "parsers/messages/bit_sequence.h"

#include "support/hex.h"

namespace payfmt {

namespace {

constexpr std::string_view kSourceSet = "TBitSequence.DoSetProperty";

}  // namespace

void TBitSequence::prepare() {
    if (count_ > 0) return;
    count_ = GetComponentInfo()->DynamicCount();
    bits_.assign(static_cast<std::size_t>(count_), 0);
}

std::string TBitSequence::hexValue() const {
    Bytes packed(static_cast<std::size_t>((count_ - 1) / 8 + 1), '\0');
    for (std::size_t i = 0; i < bits_.size(); ++i)
        if (bits_[i]) packed[i / 8] = static_cast<char>(byteAt(packed, i / 8) | (0x80u >> (i % 8)));
    return rawToHex(packed);
}

void TBitSequence::setHexValue(const Variant& value) {
    const auto text = value.toText();
    Bytes raw;
    if (!text || hexToRaw(*text, raw) != text->size()) raiseNotHexadecimal(kSourceSet);
    // Bits beyond the decoded bytes keep their values; decoded bits beyond
    // the count are dropped.
    for (std::size_t i = 0; i < bits_.size() && i / 8 < raw.size(); ++i)
        bits_[i] = (byteAt(raw, i / 8) >> (7 - i % 8)) & 1;
}

void TBitSequence::DoGetProperty(std::int32_t dispid, Variant& value) {
    prepare();
    if (dispid == kDispValue) {
        value = Variant::text(hexValue());
    } else if (dispid == kDispDynamicProperties) {
        value = Variant::integer(count_);
    } else if (const auto k = dynamicIndex(dispid, bits_.size())) {
        value = Variant::boolean(bits_[*k] != 0);
    } else {
        TKORComponent::DoGetProperty(dispid, value);
    }
}

void TBitSequence::DoSetProperty(std::int32_t dispid, const Variant& value) {
    prepare();
    if (dispid == kDispValue) {
        setHexValue(value);
    } else if (const auto k = dynamicIndex(dispid, bits_.size())) {
        const auto bit = value.toBool();
        if (!bit) throw EKORError(kErrNotBoolean, std::string(kSourceSet), "Value must be boolean");
        bits_[*k] = *bit ? 1 : 0;
    } else {
        TKORComponent::DoSetProperty(dispid, value);
    }
}

}  // namespace payfmt
