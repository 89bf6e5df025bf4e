#pragma once
// A bit sequence: one boolean property per bit (Bit8 is the top bit of the
// first byte) and a hexadecimal Value holding all the bits.
#include <cstdint>
#include <vector>

#include "components/sequence_component.h"

namespace payfmt {

class TBitSequence : public TSequenceComponent {
protected:
    void Prepare(const TSequenceInfo& info) override;
    Variant GetValue() const override;
    void SetValue(const Variant& value) override;
    Variant GetItem(std::size_t index) const override;
    void SetItem(std::size_t index, const Variant& value) override;

private:
    std::vector<std::uint8_t> bits_;  // 0 or 1; index 0 is the first (top) bit
};

}  // namespace payfmt
