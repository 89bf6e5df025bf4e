#pragma once
// A byte sequence: one bit-sequence component per byte, reached as Byte1,
// Byte2 ..., and a hexadecimal Value made of the bytes' values.
#include <vector>

#include "components/sequence_component.h"

namespace payfmt {

class TByteSequence : public TSequenceComponent {
protected:
    // Creates the byte components by component name, in order.
    void Prepare(const TSequenceInfo& info) override;
    Variant GetValue() const override;
    void SetValue(const Variant& value) override;
    // The byte component itself, shared: changing it changes the sequence.
    Variant GetItem(std::size_t index) const override;
    // Becomes the byte component's Value.
    void SetItem(std::size_t index, const Variant& value) override;

private:
    std::vector<Ref<TAutomationObject>> bytes_;
};

}  // namespace payfmt
