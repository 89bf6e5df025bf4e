#pragma once
// TGlobalSettings: the settings record as a scriptable component. Scripts
// read and write the code page, the date reference and year windows and the
// coding tree through it, call the date functions, create parsers and
// register operator sequences. The library makes one instance at load,
// over the process-wide record.
#include <cstdint>
#include <span>

#include "engine/settings.h"
#include "framework/kor_component.h"

namespace payfmt {

class TGlobalSettings final : public TKORComponent {
public:
    // Over the process-wide record.
    TGlobalSettings();
    // Over another record, which must outlive the component.
    explicit TGlobalSettings(Settings& record);

    const TKORComponentInfo* GetComponentInfo() const override;
    Settings& record() const { return record_; }

protected:
    void DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) override;
    void DoGetIndexedProperty(std::int32_t dispid, std::span<const Variant> indices, Variant& value) override;
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;

private:
    Settings& record_;
};

}  // namespace payfmt
