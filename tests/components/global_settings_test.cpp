// The settings component over a record of its own, and its place among the
// library's process-wide objects.
#include <gtest/gtest.h>

#include "api/library.h"
#include "engine/chain_cache.h"
#include "parsers/core/open_parsers.h"
#include "components/global_settings.h"
#include "components/global_settings_info.h"
#include "support/civil_date.h"

namespace payfmt {
namespace {

using namespace settings_dispid;

class FreshSettings : public ::testing::Test {
protected:
    void SetUp() override { Library::instance(); }

    Variant get(std::int32_t dispid) {
        Variant v;
        component->GetProperty(dispid, v);
        return v;
    }
    void put(std::int32_t dispid, Variant v) { component->SetProperty(dispid, v); }
    Variant call(std::int32_t dispid, std::vector<Variant> args) {
        Variant result;
        component->Call(dispid, args, result);
        return result;
    }
    static std::vector<std::string> stepNames(const ParsedChain& chain) {
        std::vector<std::string> names;
        for (const ChainStep& s : chain.steps) names.push_back(s.name);
        return names;
    }

    Settings record;
    Ref<TGlobalSettings> component = newComponent<TGlobalSettings>(record);
};

TEST_F(FreshSettings, ThresholdsComeFromTheReferenceYear) {
    const int year = civilFromSerial(static_cast<std::int64_t>(record.referenceDate())).year;
    EXPECT_EQ(get(kCenturyThreshold).intValue(), 80);
    EXPECT_EQ(get(kDecenyThreshold).intValue(), year % 10 - 5);

    put(kDateRef, Variant::date(static_cast<double>(serialFromCivil(2026, 3, 15))));
    EXPECT_EQ(get(kCenturyThreshold).intValue(), 80);
    EXPECT_EQ(get(kDecenyThreshold).intValue(), 1);

    put(kCenturyThreshold, Variant::integer(50));
    put(kDateRef, Variant::date(static_cast<double>(serialFromCivil(2023, 7, 1))));
    EXPECT_EQ(get(kCenturyThreshold).intValue(), 80);
    EXPECT_EQ(get(kDecenyThreshold).intValue(), -2);
    EXPECT_EQ(record.decadeThreshold, -2);
    EXPECT_NE(&settings(), &record);  // the process-wide record is not touched
}

TEST_F(FreshSettings, ParserTypesBeyondTheListAreEmpty) {
    Variant v;
    const Variant eight = Variant::integer(8);
    component->GetIndexedProperty(kParserTypes, {&eight, 1}, v);
    EXPECT_TRUE(v.isStr());
    EXPECT_EQ(v.bytes(), "");
}

TEST_F(FreshSettings, ChangingTheSequencesEmptiesTheParsedChains) {
    const auto before = record.chains.get("TWOHEX.RAW2DEC", true, record.sequences);
    EXPECT_EQ(stepNames(*before), (std::vector<std::string>{"TWOHEX", "RAW2DEC"}));
    EXPECT_EQ(before->steps.front().op, nullptr);

    call(kRegisterOperator, {Variant::text("TWOHEX"), Variant::text("FIX(2).HEX2RAW")});
    const auto registered = record.chains.get("TWOHEX.RAW2DEC", true, record.sequences);
    EXPECT_EQ(stepNames(*registered), (std::vector<std::string>{"FIX", "HEX2RAW", "RAW2DEC"}));

    call(kUnregisterOperator, {Variant::text("TWOHEX")});
    EXPECT_EQ(stepNames(*record.chains.get("TWOHEX.RAW2DEC", true, record.sequences)),
              (std::vector<std::string>{"TWOHEX", "RAW2DEC"}));
    EXPECT_EQ(settings().sequences.lookup("TWOHEX"), "");  // only this record had it
}

TEST_F(FreshSettings, DateMethodsReadThisRecord) {
    put(kDateRef, Variant::date(static_cast<double>(serialFromCivil(2023, 1, 1))));
    EXPECT_EQ(call(kDateDeceny, {Variant::integer(0)}).intValue(), 2020);
    EXPECT_EQ(call(kDateDeceny, {Variant::integer(9)}).intValue(), 2029);
    put(kCenturyThreshold, Variant::integer(30));
    EXPECT_EQ(call(kDateCentury, {Variant::integer(30)}).intValue(), 1930);
    EXPECT_EQ(call(kDateCentury, {Variant::integer(29)}).intValue(), 2029);
}

TEST(LibraryObjects, TheSettingsComponentStandsOverTheProcessRecord) {
    Library& library = Library::instance();
    EXPECT_EQ(&library.globalSettings().record(), &settings());
    EXPECT_EQ(openParsers().find("Default"), &library.defaultParser());
    EXPECT_TRUE(library.defaultParser().isOpen());
}

}  // namespace
}  // namespace payfmt
