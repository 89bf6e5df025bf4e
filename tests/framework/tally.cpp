#include "tally.h"

#include "framework/arguments.h"

namespace payfmt::testing {

namespace {

constexpr std::int64_t kLimitValue = 1000;
constexpr std::string_view kHelp = "payfmt";

class TallyInfo final : public TKORComponentInfo {
public:
    TallyInfo()
        : TKORComponentInfo(componentClass<Tally>("Tally"), "6d1f0c2e-3a47-4b8e-9c15-0e2d7a9b4f31", kHelp, "Tally",
                            "A counter for tests") {
        AddProperty(Tally::kTotal, "Total").Describe("Sum of everything added").Help(kHelp, "Total");
        AddProperty(Tally::kLabel, "Label").Describe("Free text").Help(kHelp, "Label");
        AddProperty(Tally::kCounts, "Counts").Describe("Four counters").Help(kHelp, "Counts");
        AddProperty(Tally::kGrid, "Grid").Describe("Two rows of two").Help(kHelp, "Grid");
        AddMethod(Tally::kAdd, "Add").Describe("Adds an amount to the total").Help(kHelp, "Add");
        AddMethod(Tally::kRepeat, "Repeat").Describe("Repeats a text").Help(kHelp, "Repeat");
        AddMethod(Tally::kDescribe, "Describe").Describe("Describes the tally").Help(kHelp, "Describe");
        AddConstant(Tally::kLimit, "Limit", Variant::integer(kLimitValue)).Describe("Most repeats").Help(kHelp, "Limit");
        Register({"Quorvin.Test.Tally"});
    }
};

Variant integers(std::initializer_list<std::int64_t> values) {
    Variant a = Variant::array(values.size());
    std::size_t i = 0;
    for (std::int64_t v : values) a.elements()[i++] = Variant::integer(v);
    return a;
}

// Registered when the program or library holding this file starts.
[[maybe_unused]] const bool registered = (Tally::info(), true);

}  // namespace

Tally::Tally() : counts_(integers({0, 0, 0, 0})), grid_(Variant::array(2)) {
    grid_.elements()[0] = integers({1, 2});
    grid_.elements()[1] = integers({3, 4});
}

const TKORComponentInfo& Tally::info() {
    static const TallyInfo info;
    return info;
}

void Tally::DoCall(std::int32_t dispid, std::span<Variant> params, Variant& result) {
    switch (dispid) {
        case kAdd: {
            const Arguments args(params, 1);
            total_ += args.integer(0);
            result = Variant::integer(total_);
            return;
        }
        case kRepeat: {
            const Arguments args(params, 2);
            const std::string text = args.text(0);
            const std::int64_t times = args.integer(1);
            if (times < 0 || times > kLimitValue)
                throw EKORError(VEX_E_INVALIDARG | 0xC0000000u, "Tally.Repeat", "Repeat 0 to 1000 times");
            std::string out;
            for (std::int64_t i = 0; i < times; ++i) out += text;
            result = Variant::text(out);
            return;
        }
        case kDescribe: {
            const Arguments args(params, 1);
            result = Variant::text(args.optionalText(0).value_or("Tally") + ": " + std::to_string(total_));
            return;
        }
        default: TKORComponent::DoCall(dispid, params, result);
    }
}

void Tally::DoGetProperty(std::int32_t dispid, Variant& value) {
    switch (dispid) {
        case kTotal: value = Variant::integer(total_); return;
        case kLabel: value = Variant::text(label_); return;
        case kCounts: value = counts_; return;
        case kGrid: value = grid_; return;
        default: TKORComponent::DoGetProperty(dispid, value);
    }
}

void Tally::DoSetProperty(std::int32_t dispid, const Variant& value) {
    switch (dispid) {
        case kLabel: label_ = Arguments({&value, 1}, 1, kSourceDoSetProperty).text(0); return;
        case kCounts:
        case kGrid:
            if (!value.is(VarType::Array)) throw EInvalidParameter::type(1, value.typeName(), std::string(kSourceDoSetProperty));
            (dispid == kCounts ? counts_ : grid_) = value;
            if (dispid == kCounts) ++countsStores_;
            return;
        default: TKORComponent::DoSetProperty(dispid, value);
    }
}

}  // namespace payfmt::testing
