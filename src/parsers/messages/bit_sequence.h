#pragma once
// A bit sequence: one boolean property per bit (Bit8 is the top bit of the
// first byte) and a hexadecimal Value holding all the bits.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/kor_component.h"
#include "parsers/messages/sequence_info.h"

namespace payfmt {

class TBitSequence : public TKORComponent {
public:
    const TSequenceInfo* GetComponentInfo() const override = 0;

protected:
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;

private:
    // On first use the storage is sized from the class's info; all bits 0.
    void prepare();
    std::string hexValue() const;
    void setHexValue(const Variant& value);

    std::int32_t count_ = 0;
    std::vector<std::uint8_t> bits_;  // 0 or 1; index 0 is the first (top) bit
};

}  // namespace payfmt
