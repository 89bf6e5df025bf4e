// The settings component through the dispatch interface of libpayfmt.so, as
// GetFormatRef hands it out: its properties, the date methods, parser
// creation and registered operator sequences.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "api/kor_host.h"

namespace {

using kortest::Obj;
using kortest::Outcome;
using kortest::Var;
using test::formatInput;

constexpr int32_t kParserCreate = 64;
constexpr uint32_t kMethod = KOR_DISPATCH_METHOD;

// Serial dates used below.
constexpr double k31Jan2026 = 46053;
constexpr double k28Feb2026 = 46081;
constexpr double k15Mar2026 = 46096;
constexpr double k1Jan2023 = 44927;
constexpr double k29Feb2024 = 45351;
constexpr double k28Feb2025 = 45716;

Obj settingsRef() {
    KOROBJ o = nullptr;
    EXPECT_EQ(GetFormatRef(&o), 0);
    return Obj(o);
}

// A value as "Type:value", so that cases of every type compare as text.
std::string shown(const Var& v) {
    switch (v.v.type) {
        case VEXVT_INT: return "Integer:" + std::to_string(v.v.u.i);
        case VEXVT_BOOL: return std::string("Boolean:") + (v.v.u.b ? "true" : "false");
        case VEXVT_DATE: return "Date:" + std::to_string(v.v.u.d);
        case VEXVT_DOUBLE: return "Double:" + std::to_string(v.v.u.d);
        case VEXVT_STRING: return "String:" + v.str();
        default: return "<" + v.typeName() + ">";
    }
}

std::string date(double serial) { return "Date:" + std::to_string(serial); }

// The settings are the process's own: every test leaves them as it found them.
class SettingsComponent : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kSaved) saved_.push_back(settings.get(name).result);
    }
    void TearDown() override {
        // DateRef first: writing it resets both thresholds.
        for (std::size_t i = 0; i < saved_.size(); ++i) EXPECT_EQ(settings.put(kSaved[i], saved_[i]).status, 0u) << kSaved[i];
    }

    Obj settings = settingsRef();

private:
    static constexpr const char* kSaved[] = {"DateRef", "TimeRef", "CenturyThreshold", "DecenyThreshold",
                                             "Ansi_CP", "DetailedErrors"};
    std::vector<Var> saved_;
};

TEST_F(SettingsComponent, RegisteredSequencesStandForTheirChainInEveryLaterFormat) {
    EXPECT_EQ(formatInput("1234", "HEX2DEC").text, "4660");
    EXPECT_EQ(formatInput("1234", "TWOHEX.RAW2DEC").status, 0xE2060001u);

    const Outcome registered = settings.call("RegisterOperator", {Var::text("TWOHEX"), Var::text("FIX(2).HEX2RAW")});
    EXPECT_EQ(registered.status, 0u);
    EXPECT_EQ(shown(registered.result), "Integer:0");
    for (const char* value : {"1234", "12", "FF00", "0A0B0C", "1"}) {
        const auto viaSequence = formatInput(value, "TWOHEX.RAW2DEC");
        const auto spelledOut = formatInput(value, "FIX(2).HEX2RAW.RAW2DEC");
        EXPECT_EQ(viaSequence.status, spelledOut.status) << value;
        EXPECT_EQ(viaSequence.text, spelledOut.text) << value;
    }
    EXPECT_EQ(formatInput("1234", "TWOHEX.RAW2DEC").text, "18");

    // Registering the name again replaces the text.
    settings.call("RegisterOperator", {Var::text("TWOHEX"), Var::text("FIX(4).HEX2RAW")});
    EXPECT_EQ(formatInput("1234", "TWOHEX.RAW2DEC").text, formatInput("1234", "FIX(4).HEX2RAW.RAW2DEC").text);

    EXPECT_EQ(settings.call("UnregisterOperator", {Var::text("TWOHEX")}).status, 0u);
    EXPECT_EQ(formatInput("1234", "TWOHEX").status, 0xE2060001u);
    EXPECT_EQ(test::lastRecord().description, "(E2060001) TWOHEX: operator not found");
    EXPECT_EQ(settings.call("UnregisterOperator", {Var::text("TWOHEX")}).status, 0u);  // already gone
}

TEST_F(SettingsComponent, ASequenceIsFoundWhateverTheCaseOfItsRegisteredName) {
    settings.call("RegisterOperator", {Var::text("twohex"), Var::text("FIX(2).HEX2RAW")});
    EXPECT_EQ(formatInput("1234", "TwoHex.RAW2DEC").text, "18");
    settings.call("UnregisterOperator", {Var::text("TWOHEX")});
    EXPECT_EQ(formatInput("1234", "twohex").status, 0xE2060001u);
}

TEST_F(SettingsComponent, ASequenceComesBeforeTheBuiltInOperatorOfItsName) {
    settings.call("RegisterOperator", {Var::text("RAW2HEX"), Var::text("RAW2DEC")});
    EXPECT_EQ(formatInput("#01#02", "RAW2HEX").text, formatInput("#01#02", "RAW2DEC").text);
    settings.call("UnregisterOperator", {Var::text("RAW2HEX")});
    EXPECT_EQ(formatInput("#01#02", "RAW2HEX").text, "0102");
}

TEST_F(SettingsComponent, ASequenceThatLeadsBackToItselfIsRefusedWhenUsed) {
    settings.call("RegisterOperator", {Var::text("PING"), Var::text("PONG.RAW2DEC")});
    settings.call("RegisterOperator", {Var::text("PONG"), Var::text("PING")});
    EXPECT_EQ(formatInput("#01", "PING").status, 0xE206000Eu);
    EXPECT_EQ(formatInput("#01", "PONG").status, 0xE206000Eu);
    settings.call("UnregisterOperator", {Var::text("PING")});
    settings.call("UnregisterOperator", {Var::text("PONG")});
    EXPECT_EQ(formatInput("#01", "PING").status, 0xE2060001u);
}

TEST_F(SettingsComponent, SequenceMethodsCheckTheirArguments) {
    struct Case {
        const char* method;
        std::vector<Var> args;
        uint32_t status, code;
        const char* description;
    };
    const Case cases[] = {
        {"RegisterOperator", {Var::text("TWOHEX")}, KOR_E_BADPARAMCOUNT, KOR_C_BADPARAMCOUNT, "Invalid number of parameters"},
        {"RegisterOperator", {Var::text("A"), Var::text("B"), Var::text("C")}, KOR_E_BADPARAMCOUNT, KOR_C_BADPARAMCOUNT,
         "Invalid number of parameters"},
        {"UnregisterOperator", {}, KOR_E_BADPARAMCOUNT, KOR_C_BADPARAMCOUNT, "Invalid number of parameters"},
        {"RegisterOperator", {Var::text("TWOHEX"), Var::missing()}, KOR_E_TYPEMISMATCH, KOR_C_TYPEMISMATCH,
         "Type mismatch for parameter 2 (Missing)"},
        {"UnregisterOperator", {Var::missing()}, KOR_E_TYPEMISMATCH, KOR_C_TYPEMISMATCH,
         "Type mismatch for parameter 1 (Missing)"},
        // A number is not taken for a text.
        {"RegisterOperator", {Var::text("TWOHEX"), Var::integer(5)}, KOR_E_TYPEMISMATCH, KOR_C_TYPEMISMATCH,
         "Type mismatch for parameter 2 (Integer)"},
        {"UnregisterOperator", {Var::integer(5)}, KOR_E_TYPEMISMATCH, KOR_C_TYPEMISMATCH,
         "Type mismatch for parameter 1 (Integer)"},
    };
    for (const Case& c : cases) {
        const Outcome r = settings.call(c.method, c.args);
        EXPECT_EQ(r.status, c.status) << c.method;
        EXPECT_EQ(r.code, c.code) << c.method;
        EXPECT_EQ(r.source, "TVEXParser.RegisterOperator") << c.method;
        EXPECT_EQ(r.description, c.description) << c.method;
    }
    // Without an exception record the status is the error's own code.
    EXPECT_EQ(settings.byName("RegisterOperator", kMethod, {Var::text("TWOHEX")}, false).status, KOR_C_BADPARAMCOUNT);
    EXPECT_EQ(formatInput("1234", "TWOHEX").status, 0xE2060001u);  // nothing was registered
}

TEST_F(SettingsComponent, WritingDateRefResetsBothThresholds) {
    ASSERT_EQ(settings.put("DateRef", Var::date(k15Mar2026)).status, 0u);
    EXPECT_EQ(shown(settings.get("DateRef").result), date(k15Mar2026));
    EXPECT_EQ(shown(settings.get("CenturyThreshold").result), "Integer:80");
    EXPECT_EQ(shown(settings.get("DecenyThreshold").result), "Integer:1");

    settings.put("CenturyThreshold", Var::integer(50));
    settings.put("DecenyThreshold", Var::integer(7));
    EXPECT_EQ(shown(settings.get("CenturyThreshold").result), "Integer:50");
    EXPECT_EQ(shown(settings.get("DecenyThreshold").result), "Integer:7");

    settings.put("DateRef", Var::date(k1Jan2023 + 0.75));
    EXPECT_EQ(shown(settings.get("DateRef").result), date(k1Jan2023));  // whole days
    EXPECT_EQ(shown(settings.get("CenturyThreshold").result), "Integer:80");
    EXPECT_EQ(shown(settings.get("DecenyThreshold").result), "Integer:-2");
}

TEST_F(SettingsComponent, AReferenceThatIsNoDateIsRefusedAndTheOldOneStays) {
    settings.put("DateRef", Var::date(k15Mar2026));
    settings.put("TimeRef", Var::date(0.5));
    struct Case {
        const char* property;
        Var value;
        uint32_t code;
        const char* description;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"DateRef", Var::real(nan), 0xE2060005, "(E2060005) DateRef: not a valid parameter, expected serial date"},
        {"DateRef", Var::real(-inf), 0xE2060005, "(E2060005) DateRef: not a valid parameter, expected serial date"},
        {"DateRef", Var::real(1e300), 0xE2060032, "(62060032) DateRef: year must be in the range 0-9999"},
        {"TimeRef", Var::real(inf), 0xE2060005, "(E2060005) TimeRef: not a valid parameter, expected serial date"},
        {"DateRef", Var::text("soon"), KOR_C_TYPEMISMATCH, "Type mismatch for parameter 1 (String)"},
    };
    for (const Case& c : cases) {
        const Outcome r = settings.put(c.property, c.value);
        EXPECT_NE(r.status, 0u) << c.description;
        EXPECT_EQ(r.code, c.code) << c.description;
        EXPECT_EQ(r.description, c.description);
    }
    EXPECT_EQ(shown(settings.get("DateRef").result), date(k15Mar2026));
    EXPECT_EQ(shown(settings.get("TimeRef").result), date(0.5));
    EXPECT_EQ(shown(settings.get("DecenyThreshold").result), "Integer:1");
}

TEST_F(SettingsComponent, TimeRefKeepsTheTimeOfDay) {
    settings.put("TimeRef", Var::real(0.25));
    EXPECT_EQ(shown(settings.get("TimeRef").result), date(0.25));
    settings.put("TimeRef", Var::date(k15Mar2026 + 0.75));
    EXPECT_EQ(shown(settings.get("TimeRef").result), date(0.75));
}

TEST_F(SettingsComponent, ThresholdsAndFlagsTakeTheirTypes) {
    const Outcome big = settings.put("CenturyThreshold", Var::integer(int64_t{1} << 40));
    EXPECT_EQ(big.status, KOR_E_OVERFLOW);
    EXPECT_EQ(big.code, KOR_C_OVERFLOW);
    EXPECT_EQ(big.description, "Overflow for parameter 1 (1099511627776)");
    EXPECT_EQ(settings.put("DecenyThreshold", Var::text("x")).code, KOR_C_TYPEMISMATCH);
    EXPECT_EQ(settings.put("CenturyThreshold", Var::text("70")).status, 0u);
    EXPECT_EQ(shown(settings.get("CenturyThreshold").result), "Integer:70");

    EXPECT_EQ(shown(settings.get("DetailedErrors").result), "Boolean:false");
    settings.put("DetailedErrors", Var::boolean(true));
    EXPECT_EQ(shown(settings.get("DetailedErrors").result), "Boolean:true");
}

TEST_F(SettingsComponent, ParserTypesIsReadByOneIndex) {
    const char* names[] = {"", "P8583", "PTLV", "PLTV", "PBER", "PTV", "PEDI", "PVBM", ""};
    for (int i = 0; i <= 8; ++i) {
        const Outcome r = settings.get("ParserTypes", {Var::integer(i)});
        EXPECT_EQ(r.status, 0u);
        EXPECT_EQ(shown(r.result), std::string("String:") + names[i]) << i;
    }
    EXPECT_EQ(settings.get("ParserTypes", {Var::integer(-1)}).result.str(), "");
    EXPECT_EQ(settings.get("ParserTypes", {Var::text("3")}).result.str(), "PLTV");
    EXPECT_EQ(settings.get("ParserTypes", {Var::text("x")}).code, KOR_C_TYPEMISMATCH);
    for (const auto& indices : {std::vector<Var>{}, std::vector<Var>{Var::integer(1), Var::integer(2)}}) {
        const Outcome r = settings.get("ParserTypes", indices);
        EXPECT_EQ(r.status, KOR_E_BADPARAMCOUNT);
        EXPECT_EQ(r.code, KOR_C_BADPARAMCOUNT);
    }
    EXPECT_EQ(settings.put("ParserTypes", Var::text("P8583")).code, KOR_C_MEMBERNOTFOUND);  // read-only
}

TEST_F(SettingsComponent, AnsiCpSelectsTheCodePageAndRefusesAnUnknownOne) {
    EXPECT_EQ(settings.get("Ansi_CP").result.str(), "cp_eccf");
    EXPECT_EQ(formatInput("!", "ANSI2EBC").text, "O");  // 4F in page 500

    ASSERT_EQ(settings.put("Ansi_CP", Var::text("CP_037")).status, 0u);
    EXPECT_EQ(settings.get("Ansi_CP").result.str(), "CP_037");
    EXPECT_EQ(formatInput("A", "ANSI2EBC").text, "#C1");
    EXPECT_EQ(formatInput("!", "ANSI2EBC").text, "Z");  // 5A in page 037

    const Outcome r = settings.put("Ansi_CP", Var::text("CP_999"));
    EXPECT_EQ(r.status, KOR_E_EXCEPTION);
    EXPECT_EQ(r.code, 0xE206002Cu);
    EXPECT_EQ(r.source, "TGlobalSettings.DoSetProperty");
    EXPECT_EQ(r.description, "(E206002C) CP_999: unknown conversion identifier");
    EXPECT_EQ(settings.get("Ansi_CP").result.str(), "CP_037");
    EXPECT_EQ(formatInput("!", "ANSI2EBC").text, "Z");
}

TEST_F(SettingsComponent, UnknownMembersAreNotFound) {
    const Outcome get99 = settings.invoke(99, KOR_DISPATCH_GET);
    EXPECT_EQ(get99.status, KOR_E_MEMBERNOTFOUND);
    EXPECT_EQ(get99.code, KOR_C_MEMBERNOTFOUND);
    EXPECT_EQ(get99.description, "Member not found: 'TGlobalSettings.99'");
    EXPECT_EQ(get99.source, "Quorvin.KOR.TAutomationObject.DoGetProperty");

    // DateRnd is described, but the random date is the exported Date_Rnd.
    const Outcome dateRnd = settings.call("DateRnd", {Var::date(k1Jan2023), Var::date(k15Mar2026)});
    EXPECT_EQ(dateRnd.code, KOR_C_MEMBERNOTFOUND);
    EXPECT_EQ(dateRnd.description, "Member not found: 'TGlobalSettings.57'");
    EXPECT_EQ(settings.invoke(57, kMethod).description, "Member not found: 'TGlobalSettings.57'");

    // ParserCreate is reached by its dispid only.
    EXPECT_EQ(settings.call("ParserCreate", {}).code, KOR_C_MEMBERNOTFOUND);
    EXPECT_EQ(settings.invoke(99, KOR_DISPATCH_PUT, {Var::integer(1)}).description,
              "Member not found: 'TGlobalSettings.99'");
}

TEST_F(SettingsComponent, DescriptionListsEveryPropertyAndMethod) {
    KORCOMPONENTINFO info{};
    ASSERT_EQ(KORGetComponentInfoA(settings.get(), &info), 0u);
    EXPECT_STREQ(info.name, "GlobalSettings");
    EXPECT_STREQ(info.class_name, "TGlobalSettings");
    constexpr uint32_t P = KOR_MEMBER_PROPERTY, M = KOR_MEMBER_METHOD;
    kortest::expectMembers(settings, {
        {"Ansi_CP", 1, P, "Cope page for ASCII-EBCDIC conversions", "payfmt#Ansi_CP", 0},
        {"Codings", 23, P, "Pointer to the coding tree", "payfmt#Codings", 0},
        {"CenturyThreshold", 12, P, "Number between 0-99 representing the century threshold",
         "payfmt#CenturyThreshold", 0},
        {"DateRef", 5, P, "Reference Date", "payfmt#DateRef", 0},
        {"DecenyThreshold", 13, P, "Number between 0-99 representing the deceny threshold", "payfmt#DecenyThreshold",
         0},
        {"TimeRef", 6, P, "Reference Time", "payfmt#TimeRef", 0},
        {"DetailedErrors", 15, P, "When true, full details on errors is provided", "payfmt#DetailedErrors", 0},
        {"ParserTypes", 22, P, "Returns the list of available properties", "payfmt#ParserTypes", 0},
        {"DateAdd", 51, M, "Adds a number of years, months and days to a serial date", "payfmt#DateAdd", 0},
        {"DateDay", 52, M, "Returns the day of the month of a given serial date", "payfmt#DateDay", 0},
        {"DateCentury", 53, M, "Returns the year (4 digits) from only the two last digits", "payfmt#DateCentury", 0},
        {"DateDeceny", 54, M, "Returns the year (4 digits) from only the last digits", "payfmt#DateDeceny", 0},
        {"DateIsLeapYear", 55, M, "Returns \"true\" when the supplied serial date is leap", "payfmt#DateIsLeapYear", 0},
        {"DateMonth", 56, M, "Returns the month number of a given serial date", "payfmt#DateMonth", 0},
        {"DateRnd", 57, M, "Returns a random serial date within the given boundaries", "payfmt#DateRnd", 0},
        {"DateSerial2DateString", 58, M, "Converts a serial date into a string date", "payfmt#DateSerial2DateString",
         0},
        {"DateString2DateSerial", 59, M, "Converts a string date into a serial date", "payfmt#DateString2DateSerial",
         0},
        {"DateIsValidFormat", 60, M, "Verifies if the IFM is a valid date format", "payfmt#DateIsValidFormat", 0},
        {"DateWeek", 61, M, "Returns the week number of a given serial date", "payfmt#DateWeek", 0},
        {"DateWeekDay", 62, M, "Returns the day number (Monday=1) of a given serial date", "payfmt#DateWeekDay", 0},
        {"DateYear", 63, M, "Returns the year of a given serial date", "payfmt#DateYear", 0},
        {"ParserCreateFromPath", 65, M, "Creates a template parser from an URL path", "payfmt#ParserCreateFromPath", 0},
        {"RegisterOperator", 66, M, "Registers a sequence of operators under a new name", "payfmt#RegisterOperator", 0},
        {"UnregisterOperator", 67, M, "Unregisters a registered sequence of operators", "payfmt#UnregisterOperator",
         0},
    });
}

TEST_F(SettingsComponent, ThereIsOneSettingsObject) {
    Obj again = settingsRef();
    EXPECT_EQ(again.get(), settings.get());
    KOROBJ made = nullptr;
    EXPECT_EQ(KORCreateObjectA("GlobalSettings", nullptr, 0, &made), VEX_E_CLASSNOTREG);
    EXPECT_EQ(made, nullptr);
}

TEST_F(SettingsComponent, DateMethodsAnswerTheDateFunctions) {
    settings.put("DateRef", Var::date(k15Mar2026));
    struct Case {
        const char* method;
        std::vector<Var> args;
        std::string expected;
    };
    const Case cases[] = {
        {"DateAdd", {Var::date(k31Jan2026), Var::integer(0), Var::integer(1), Var::integer(0)}, date(k28Feb2026)},
        {"DateAdd", {Var::date(k29Feb2024), Var::integer(1), Var::integer(0), Var::integer(0)}, date(k28Feb2025)},
        {"DateAdd", {Var::real(k31Jan2026 + 0.5), Var::integer(0), Var::integer(0), Var::integer(-30)}, date(46023.5)},
        {"DateDay", {Var::date(k15Mar2026)}, "Integer:15"},
        {"DateMonth", {Var::date(k15Mar2026)}, "Integer:3"},
        {"DateYear", {Var::date(k15Mar2026)}, "Integer:2026"},
        {"DateCentury", {Var::integer(79)}, "Integer:2079"},
        {"DateCentury", {Var::integer(80)}, "Integer:1980"},
        {"DateCentury", {Var::integer(100)}, "Integer:0"},
        {"DateDeceny", {Var::integer(0)}, "Integer:2030"},
        {"DateDeceny", {Var::integer(1)}, "Integer:2021"},
        {"DateDeceny", {Var::integer(10)}, "Integer:0"},
        {"DateIsLeapYear", {Var::date(k29Feb2024)}, "Boolean:true"},
        {"DateIsLeapYear", {Var::date(k15Mar2026)}, "Boolean:false"},
        {"DateWeekDay", {Var::date(2)}, "Integer:1"},
        {"DateWeekDay", {Var::date(k15Mar2026)}, "Integer:7"},
        {"DateWeek", {Var::date(46023)}, "Integer:1"},
        {"DateWeek", {Var::date(k15Mar2026)}, "Integer:11"},
        {"DateSerial2DateString", {Var::date(k15Mar2026 + 0.5), Var::text("YYMMDD")}, "String:260315"},
        {"DateSerial2DateString", {Var::date(k15Mar2026 + 0.5), Var::text("hhmmss")}, "String:120000"},
        {"DateString2DateSerial", {Var::text("260315"), Var::text("YYMMDD")}, date(k15Mar2026 + 0.5)},
        {"DateIsValidFormat", {Var::text("yymmdd")}, "Boolean:true"},
        {"DateIsValidFormat", {Var::text("INSET")}, "Boolean:false"},
    };
    for (const Case& c : cases) {
        const Outcome r = settings.call(c.method, c.args);
        EXPECT_EQ(r.status, 0u) << c.method << ": " << r.description;
        EXPECT_EQ(shown(r.result), c.expected) << c.method;
    }
}

TEST_F(SettingsComponent, DateMethodsCheckTheirArgumentsAndReportTheirStops) {
    struct Case {
        const char* method;
        std::vector<Var> args;
        uint32_t code;
        const char* source;
        const char* description;
    };
    const char* const count = "Invalid number of parameters";
    const Case cases[] = {
        {"DateAdd", {Var::date(k15Mar2026), Var::integer(0), Var::integer(0)}, KOR_C_BADPARAMCOUNT,
         "TVEXParser.RegisterOperator", count},
        {"DateDay", {}, KOR_C_BADPARAMCOUNT, "TVEXParser.RegisterOperator", count},
        {"DateAdd", {Var::date(k15Mar2026), Var::text("one"), Var::missing(), Var::integer(0)}, KOR_C_TYPEMISMATCH,
         "TVEXParser.RegisterOperator", "Type mismatch for parameter 2 (String)"},
        {"DateAdd", {Var::date(k15Mar2026), Var::integer(int64_t{1} << 40), Var::integer(0), Var::integer(0)},
         KOR_C_OVERFLOW, "TVEXParser.RegisterOperator", "Overflow for parameter 2 (1099511627776)"},
        {"DateYear", {Var::text("today")}, KOR_C_TYPEMISMATCH, "TVEXParser.RegisterOperator",
         "Type mismatch for parameter 1 (String)"},
        {"DateSerial2DateString", {Var::date(k15Mar2026), Var::text("BOGUS")}, 0xE2060001, "DateSerial2DateString",
         "(E2060001) BOGUS: operator not found"},
        {"DateString2DateSerial", {Var::text("261315"), Var::text("YYMMDD")}, 0xE2060032, "DateString2DateSerial",
         "(62060032) YYMMDD: MM must be in the range 1-12"},
        {"DateDay", {Var::real(std::numeric_limits<double>::quiet_NaN())}, 0xE2060005, "DateDay",
         "(E2060005) DateDay: not a valid parameter, expected serial date"},
        // Arguments are taken as they are given, not converted.
        {"DateCentury", {Var::text("79")}, KOR_C_TYPEMISMATCH, "TVEXParser.RegisterOperator",
         "Type mismatch for parameter 1 (String)"},
        {"DateDeceny", {Var::real(7)}, KOR_C_TYPEMISMATCH, "TVEXParser.RegisterOperator",
         "Type mismatch for parameter 1 (Double)"},
        {"DateIsLeapYear", {Var::boolean(true)}, KOR_C_TYPEMISMATCH, "TVEXParser.RegisterOperator",
         "Type mismatch for parameter 1 (Boolean)"},
        {"DateSerial2DateString", {Var::date(k15Mar2026), Var::integer(6)}, KOR_C_TYPEMISMATCH,
         "TVEXParser.RegisterOperator", "Type mismatch for parameter 2 (Integer)"},
        {"ParserCreateFromPath", {Var::text("parser:PFIX/x"), Var::text("0")}, KOR_C_TYPEMISMATCH,
         "TVEXParser.RegisterOperator", "Type mismatch for parameter 2 (String)"},
    };
    for (const Case& c : cases) {
        const Outcome r = settings.call(c.method, c.args);
        EXPECT_NE(r.status, 0u) << c.method;
        EXPECT_EQ(r.code, c.code) << c.method;
        EXPECT_EQ(r.source, c.source) << c.method;
        EXPECT_EQ(r.description, c.description) << c.method;
    }
}

TEST_F(SettingsComponent, CodingsHandsOutCopiesAndTakesACopy) {
    const uint32_t nodesBefore = VEXTreeNodeCount();
    const test::Tree original(static_cast<VEXNODE>(settings.get("Codings").result.v.u.i));
    ASSERT_NE(original.get(), 0u);
    const test::Tree second(static_cast<VEXNODE>(settings.get("Codings").result.v.u.i));
    EXPECT_NE(second.get(), original.get());  // every read is a new copy for the caller
    EXPECT_EQ(second.json(), original.json());
    EXPECT_NE(original.json().find("\"Enabled\""), std::string::npos);

    {
        const test::Tree mine(R"j({"name":"Codings","group":true,"children":[{"name":"Flag","props":{"Name":"Flag"}}]})j");
        ASSERT_EQ(settings.put("Codings", Var::integer(mine.get())).status, 0u);
    }  // the caller's tree is the caller's to delete
    const test::Tree now(static_cast<VEXNODE>(settings.get("Codings").result.v.u.i));
    EXPECT_NE(now.json().find("\"Flag\""), std::string::npos);

    const Outcome stale = settings.put("Codings", Var::integer(0x7FFFFFF0));
    EXPECT_EQ(stale.code, VEX_E_HANDLE | 0xC0000000u);
    EXPECT_EQ(settings.put("Codings", Var::integer(-1)).code, KOR_C_OVERFLOW);
    EXPECT_EQ(test::Tree(static_cast<VEXNODE>(settings.get("Codings").result.v.u.i)).json(), now.json());

    ASSERT_EQ(settings.put("Codings", Var::integer(0)).status, 0u);  // none
    EXPECT_EQ(shown(settings.get("Codings").result), "Integer:0");

    ASSERT_EQ(settings.put("Codings", Var::integer(original.get())).status, 0u);
    EXPECT_EQ(test::Tree(static_cast<VEXNODE>(settings.get("Codings").result.v.u.i)).json(), original.json());
    EXPECT_EQ(VEXTreeNodeCount(), nodesBefore + 4 + 4 + 2);  // original, second, now
}

TEST_F(SettingsComponent, ParserCreateNamesAndOpensAParserOfTheType) {
    const uint32_t objects = KORObjectCount();
    {
        const Outcome made = settings.invoke(kParserCreate, kMethod, {Var::text("tmpl"), Var::text("PFIX"), Var::integer(0)});
        ASSERT_EQ(made.status, 0u) << made.description;
        const Obj parser = Obj::held(made.result);
        EXPECT_EQ(parser.get("Name").result.str(), "tmpl");
        EXPECT_EQ(parser.get("ParserType").result.str(), "PFIX");
        EXPECT_EQ(parser.call("Compile", {Var::text(""), Var::integer(0), Var::text("")}).status, 0u);  // open

        const Outcome clash =
            settings.invoke(kParserCreate, kMethod, {Var::text("TMPL"), Var::text("PFIX"), Var::integer(0)});
        EXPECT_EQ(clash.code, 0xE2070004u);
        EXPECT_EQ(clash.description, "(E2070004) TMPL: parser name already exists");
    }
    // The released parser left the list of open parsers.
    const test::Tree tree(R"j({"name":"rec","group":true,"children":[{"name":"a","props":{"IFO":"FIX(2)"}}]})j");
    const Outcome again = settings.invoke(kParserCreate, kMethod, {Var::text("TMPL"), Var::text("pfix"), Var::integer(tree.get())});
    EXPECT_EQ(again.status, 0u) << again.description;
    EXPECT_EQ(Obj::held(again.result).get("Name").result.str(), "TMPL");
    EXPECT_EQ(KORObjectCount(), objects + 1);  // the one the outcome still holds
}

// A creation that fails hands out nothing and leaves no component behind.
struct Refusal {
    std::vector<Var> args;
    uint32_t code;
    const char* description;  // null: not compared
};

template <class Create>
void expectRefusals(Create&& create, const std::vector<Refusal>& cases) {
    const uint32_t objects = KORObjectCount();
    for (const Refusal& c : cases) {
        const Outcome r = create(c.args);
        EXPECT_NE(r.status, 0u);
        EXPECT_EQ(r.code, c.code);
        if (c.description) {
            EXPECT_EQ(r.description, c.description);
        }
        EXPECT_EQ(r.result.v.type, static_cast<uint32_t>(VEXVT_EMPTY));
    }
    EXPECT_EQ(KORObjectCount(), objects);
}

TEST_F(SettingsComponent, ParserCreateRefusesWhatItCannotMake) {
    expectRefusals([&](const std::vector<Var>& args) { return settings.invoke(kParserCreate, kMethod, args); },
                   {
                       {{Var::text("x"), Var::text("PXYZ"), Var::integer(0)}, 0xE2060062,
                        "(E2060062) PXYZ: unknown parser type"},
                       {{Var::text(""), Var::text("PFIX"), Var::integer(0)}, 0xE2070002,
                        "(E2070002) Paser name is undefined"},
                       {{Var::text("x"), Var::text("PFIX"), Var::integer(0x7FFFFFF0)}, VEX_E_HANDLE | 0xC0000000u,
                        nullptr},
                       {{Var::text("x"), Var::text("PFIX")}, KOR_C_BADPARAMCOUNT, "Invalid number of parameters"},
                       {{Var::text("x"), Var::text("PFIX"), Var::text("tree")}, KOR_C_TYPEMISMATCH,
                        "Type mismatch for parameter 3 (String)"},
                       {{Var::integer(1), Var::text("PFIX"), Var::integer(0)}, KOR_C_TYPEMISMATCH,
                        "Type mismatch for parameter 1 (Integer)"},
                   });
}

TEST_F(SettingsComponent, ParserCreateFromPathMakesAClosedTemplate) {
    const Outcome made = settings.call("ParserCreateFromPath", {Var::text("parser:PFIX/rec;AllowNull=true")});
    ASSERT_EQ(made.status, 0u) << made.description;
    const Obj rec = Obj::held(made.result);
    EXPECT_EQ(rec.get("Name").result.str(), "rec");
    EXPECT_EQ(shown(rec.get("AllowNull").result), "Boolean:true");
    EXPECT_EQ(rec.get("Path").result.str(), "parser:PFIX/rec;AllowNull=true");

    const Outcome closed = rec.call("Compile", {Var::text(""), Var::integer(0), Var::text("")});
    EXPECT_EQ(closed.code, 0xE2070001u);
    EXPECT_EQ(closed.description, "(E2070001) rec: The parser is not open");
    EXPECT_EQ(rec.call("Open", {}).status, 0u);
    EXPECT_EQ(rec.call("Compile", {Var::text(""), Var::integer(0), Var::text("")}).status, 0u);
    EXPECT_EQ(rec.call("Close", {}).status, 0u);
}

TEST_F(SettingsComponent, ParserPathsReadBackInTheFormTheyWereMadeFrom) {
    const test::Tree tree(R"j({"name":"rec","group":true})j");
    struct Case {
        std::vector<Var> args;
        const char* path;
    };
    const Case cases[] = {
        {{Var::text("PFIX/plain")}, "parser:PFIX/plain"},
        {{Var::text("PARSER:pfix/x;Recurse=3;TSetGroups=false")}, "parser:PFIX/x;Recurse=3;TSetGroups=false"},
        {{Var::text("parser:PFIX/m"), Var::missing()}, "parser:PFIX/m"},
        {{Var::text("parser:PFIX/t;ProcessNull=false"), Var::integer(tree.get())}, "parser:PFIX/t;ProcessNull=false"},
        {{Var::text("parser:PFIX/z"), Var::integer(0)}, "parser:PFIX/z"},
    };
    for (const Case& c : cases) {
        const Outcome r = settings.call("ParserCreateFromPath", c.args);
        ASSERT_EQ(r.status, 0u) << c.path << ": " << r.description;
        EXPECT_EQ(Obj::held(r.result).get("Path").result.str(), c.path);
    }
}

TEST_F(SettingsComponent, ParserCreateFromPathRefusesWhatItCannotMake) {
    expectRefusals([&](const std::vector<Var>& args) { return settings.call("ParserCreateFromPath", args); },
                   {
                       {{Var::text("parser:PXYZ/a")}, 0xE2060062, "(E2060062) PXYZ: unknown parser type"},
                       {{Var::text("parser:PFIX/a;Bogus=1")}, KOR_C_MEMBERNOTFOUND, "Member not found: 'TPFIX.Bogus'"},
                       {{Var::text("parser:PFIX/a"), Var::integer(0x7FFFFFF0)}, VEX_E_HANDLE | 0xC0000000u, nullptr},
                       {{}, KOR_C_BADPARAMCOUNT, "Invalid number of parameters"},
                       {{Var::text("parser:PFIX/a"), Var::integer(0), Var::integer(0)}, KOR_C_BADPARAMCOUNT,
                        "Invalid number of parameters"},
                       {{Var::text("parser:PFIX/a"), Var::text("tree")}, KOR_C_TYPEMISMATCH,
                        "Type mismatch for parameter 2 (String)"},
                   });
}

}  // namespace
