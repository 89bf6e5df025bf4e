#pragma once
// A byte sequence: one bit-sequence component per byte, reached as Byte1,
// Byte2 ..., and a hexadecimal Value made of the bytes' values.
#include <cstdint>
#include <vector>

#include "framework/kor_component.h"
#include "parsers/messages/sequence_info.h"

namespace payfmt {

class TByteSequence : public TKORComponent {
public:
    const TSequenceInfo* GetComponentInfo() const override = 0;

protected:
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;

private:
    // On first use the byte components are created by component name, in
    // order, from the class's info.
    void prepare();
    void setHexValue(const Variant& value);

    std::int32_t count_ = 0;
    std::vector<Ref<TAutomationObject>> bytes_;
};

}  // namespace payfmt
