#include "components/bit_sequence.h"

#include "support/hex.h"

namespace payfmt {

namespace {

constexpr std::string_view kSourceSet = "TBitSequence.DoSetProperty";

}  // namespace

void TBitSequence::Prepare(const TSequenceInfo& info) {
    bits_.assign(static_cast<std::size_t>(info.DynamicCount()), 0);
}

Variant TBitSequence::GetValue() const {
    Bytes packed((bits_.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < bits_.size(); ++i)
        if (bits_[i]) packed[i / 8] = static_cast<char>(byteAt(packed, i / 8) | (0x80u >> (i % 8)));
    return Variant::text(rawToHex(packed));
}

void TBitSequence::SetValue(const Variant& value) {
    const auto text = value.toText();
    Bytes raw;
    if (!text || hexToRaw(*text, raw) != text->size()) raiseNotHexadecimal(kSourceSet);
    // Bits beyond the decoded bytes keep their values; decoded bits beyond
    // the count are dropped.
    for (std::size_t i = 0; i < bits_.size() && i / 8 < raw.size(); ++i)
        bits_[i] = (byteAt(raw, i / 8) >> (7 - i % 8)) & 1;
}

Variant TBitSequence::GetItem(std::size_t index) const { return Variant::boolean(bits_[index] != 0); }

void TBitSequence::SetItem(std::size_t index, const Variant& value) {
    const auto bit = value.toBool();
    if (!bit) throw EKORError(kErrNotBoolean, std::string(kSourceSet), "Value must be boolean");
    bits_[index] = *bit ? 1 : 0;
}

}  // namespace payfmt
