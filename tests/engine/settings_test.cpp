#include <gtest/gtest.h>

#include "engine/settings.h"
#include "support/civil_date.h"

namespace payfmt {
namespace {

TEST(Settings, InitialValues) {
    Settings s;
    EXPECT_EQ(s.escape, '#');
    EXPECT_EQ(s.notFoundText, "(Not Found)");
    EXPECT_EQ(s.noMatchText, "?");
    EXPECT_EQ(s.remainingDataName, "Remaining Data");
    EXPECT_EQ(s.valueName, "Value");
    EXPECT_EQ(s.codePageName, "cp_eccf");
    EXPECT_EQ(s.latinToEbcdic, builtinConversion(1));
    EXPECT_EQ(s.ebcdicToLatin, builtinConversion(2));
    EXPECT_FALSE(s.detailedErrors);
    EXPECT_EQ(s.centuryThreshold, 80);
}

TEST(Settings, ThresholdsFollowTheReferenceYear) {
    Settings s;
    s.setReferenceDate(static_cast<double>(serialFromCivil(2026, 3, 15)));
    EXPECT_EQ(s.centuryThreshold, 80);
    EXPECT_EQ(s.decadeThreshold, 1);
    s.centuryThreshold = 50;
    s.setReferenceDate(static_cast<double>(serialFromCivil(2023, 1, 1)) + 0.75);
    EXPECT_EQ(s.centuryThreshold, 80);
    EXPECT_EQ(s.decadeThreshold, -2);
    EXPECT_EQ(s.referenceDate(), static_cast<double>(serialFromCivil(2023, 1, 1)));
}

TEST(Settings, SequenceStoreStartsWithTheTwoBuiltIns) {
    Settings s;
    EXPECT_EQ(s.sequences.lookup("HEX2DEC"), "HEX2RAW.INVERSE.RAW2DEC");
    EXPECT_EQ(s.sequences.lookup("DEC2HEX"), "DEC2RAW.INVERSE.RAW2HEX");
    EXPECT_EQ(s.sequences.lookup("TWOHEX"), "");
    const auto g = s.sequences.generation();
    s.sequences.store("TWOHEX", "FIX(2).HEX2RAW");
    EXPECT_EQ(s.sequences.lookup("TWOHEX"), "FIX(2).HEX2RAW");
    EXPECT_GT(s.sequences.generation(), g);
    s.sequences.remove("TWOHEX");
    s.sequences.remove("TWOHEX");
    EXPECT_EQ(s.sequences.lookup("TWOHEX"), "");
}

TEST(Settings, CodingTreeHoldsTheBooleanCoding) {
    Settings s;
    const Node& root = nodes().get(s.codings());
    EXPECT_EQ(root.props.find("Name")->bytes(), "Codings");
    ASSERT_EQ(root.children.size(), 1u);
    const Node& boolean = nodes().get(root.children[0]);
    EXPECT_EQ(boolean.props.find("Name")->bytes(), "Boolean");
    ASSERT_EQ(boolean.children.size(), 2u);
    const Node& disabled = nodes().get(boolean.children[0]);
    const Node& enabled = nodes().get(boolean.children[1]);
    EXPECT_EQ(disabled.props.find("Name")->bytes(), "Disabled");
    EXPECT_EQ(disabled.props.find("Value")->bytes(), std::string(1, '\0'));
    EXPECT_EQ(enabled.props.find("Name")->bytes(), "Enabled");
    EXPECT_EQ(enabled.props.find("Value")->bytes(), "\x01");
}

TEST(CivilDate, SerialDatesAndGregorianLeapYears) {
    EXPECT_EQ(serialFromCivil(1900, 1, 1), 2);
    EXPECT_EQ(serialFromCivil(1899, 12, 30), 0);
    const CivilDate d = civilFromSerial(serialFromCivil(2024, 2, 29));
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 29);
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(2100));
    EXPECT_TRUE(isLeapYear(2024));
}

}  // namespace
}  // namespace payfmt
