#pragma once
// Tally: a small counter component that exercises the dispatch contract in
// tests (methods with typed and optional arguments, a read-only property,
// an indexed property without a handler of its own, nested arrays and a
// constant). The internal tests and the Python test library both carry it.
#include <cstdint>
#include <string>

#include "framework/component_info.h"
#include "framework/kor_component.h"

namespace payfmt::testing {

class Tally final : public TKORComponent {
public:
    static constexpr std::int32_t kTotal = 1;   // read-only integer
    static constexpr std::int32_t kLabel = 2;   // text
    static constexpr std::int32_t kCounts = 3;  // array of four integers
    static constexpr std::int32_t kGrid = 4;    // array of two arrays of two
    static constexpr std::int32_t kAdd = 10;     // Add(amount) -> new total
    static constexpr std::int32_t kRepeat = 11;  // Repeat(text, times) -> text
    static constexpr std::int32_t kDescribe = 12;  // Describe([prefix]) -> text
    static constexpr std::int32_t kLimit = 20;   // constant 1000

    Tally();
    static const TKORComponentInfo& info();
    const TKORComponentInfo* GetComponentInfo() const override { return &info(); }

    // How often the whole Counts array was stored.
    int countsStores() const { return countsStores_; }

protected:
    void DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) override;
    void DoGetProperty(std::int32_t dispid, Variant& value) override;
    void DoSetProperty(std::int32_t dispid, const Variant& value) override;

private:
    std::int64_t total_ = 0;
    std::string label_;
    Variant counts_;
    Variant grid_;
    int countsStores_ = 0;
};

}  // namespace payfmt::testing
