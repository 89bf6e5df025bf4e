#include <gtest/gtest.h>

#include "engine/format_error.h"
#include "engine/reg_name.h"
#include "engine/registries.h"
#include "operators/operator_table.h"

namespace payfmt {
namespace {

void opA(OpContext&, BytesView, Output&, ParserCore&) {}
void opB(OpContext&, BytesView, Output&, ParserCore&) {}

TEST(RegName, FindsNamesInAnyCaseAndOnlyWholeNames) {
    TFormatError errors;
    TRegName r(20);
    r.add(errors, "DEC2RAW", opA);
    r.add(errors, "dec", opB);
    r.add(errors, "HEX_2", opA);
    EXPECT_EQ(r.find("DEC2RAW"), opA);
    EXPECT_EQ(r.find("dec2raw"), opA);
    EXPECT_EQ(r.find("DEC"), opB);
    EXPECT_EQ(r.find("DEC2"), nullptr);  // an inner node holds no operator
    EXPECT_EQ(r.find("DEC2RAWX"), nullptr);
    EXPECT_EQ(r.find(""), nullptr);
    EXPECT_EQ(r.find("A.B"), nullptr);
    EXPECT_EQ(r.find("HEX_2"), opA);
    r.add(errors, "Dec", opA);  // replaces
    EXPECT_EQ(r.find("DEC"), opA);
    EXPECT_EQ(r.names(), (std::vector<std::string>{"DEC", "DEC2RAW", "HEX_2"}));
}

TEST(RegName, GrowsByItsStepAndCountsNodes) {
    TFormatError errors;
    TRegName r(20);
    EXPECT_EQ(r.capacity(), 20u);
    EXPECT_EQ(r.nodesInUse(), 1u);
    r.add(errors, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", opA);  // 26 new nodes
    EXPECT_EQ(r.nodesInUse(), 27u);
    EXPECT_EQ(r.capacity(), 40u);
    EXPECT_EQ(r.find("abcdefghijklmnopqrstuvwxyz"), opA);
}

TEST(RegName, MakeIdRefusesAnythingButLettersDigitsAndUnderscore) {
    TFormatError errors;
    TRegName r;
    for (std::string bad : {"A.B", "A B", "A-B", "\xC4", "A(1)"}) {
        errors.reset();
        EXPECT_THROW(r.add(errors, bad, opA), TFormatError) << bad;
        EXPECT_EQ(errors.lastCode(), 0xE206000Au);
        EXPECT_EQ(errors.lastLocation(), "TRegName.MakeId");
        EXPECT_EQ(errors.entries().back().message,
                  "(E206000A) " + bad + ": invalid identifier - only alphanumeric allowed");
    }
    EXPECT_EQ(TRegName::MakeId(errors, "raw2Dec"), "RAW2DEC");
}

TEST(Registries, HoldEveryOperatorOfTheTable) {
    registerOperators();
    for (const OperatorDef& d : operatorTable()) {
        EXPECT_EQ(conversionRegistry().find(d.name), d.op) << d.name;
        EXPECT_EQ(validationRegistry().find(d.name) != nullptr, (d.check != nullptr)) << d.name;
    }
}

}  // namespace
}  // namespace payfmt
