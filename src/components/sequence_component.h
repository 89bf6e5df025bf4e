#pragma once
// What bit and byte sequences share: the Value, the DynamicProperties count
// and one dynamic property per bit or byte (dispid 768 + its number), with
// the storage sized from the class's info before the first access. Each kind
// says how it holds its items and how Value is coded.
#include <cstddef>
#include <cstdint>

#include "framework/kor_component.h"
#include "components/sequence_info.h"

namespace payfmt {

class TSequenceComponent : public TKORComponent {
public:
    const TSequenceInfo* GetComponentInfo() const override = 0;

protected:
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;

    // Makes count items; runs before the first access (again, if it failed).
    virtual void Prepare(const TSequenceInfo& info) = 0;
    virtual Variant GetValue() const = 0;
    virtual void SetValue(const Variant& value) = 0;
    virtual Variant GetItem(std::size_t index) const = 0;
    virtual void SetItem(std::size_t index, const Variant& value) = 0;

private:
    void ensurePrepared();
    std::int32_t count_ = 0;  // 0 until first use
};

}  // namespace payfmt
