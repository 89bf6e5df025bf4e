#include <gtest/gtest.h>

#include "support/props.h"
#include "support/variant_text.h"

namespace payfmt {
namespace {

TEST(VariantText, ReadsOneValueAndReportsThePositionAfterIt) {
    struct Case {
        std::string text;
        std::size_t pos;
        VarType type;
        std::string shown;  // the value's plain text
        std::size_t end;
    } cases[] = {
        {"\"0\",2)", 0, VarType::String, "0", 3},
        {"2)", 0, VarType::Int, "2", 1},
        {" 12 ,", 0, VarType::Int, "12", 4},
        {"-7)", 0, VarType::Int, "-7", 2},
        {"+7)", 0, VarType::Int, "7", 2},
        {"\"a\"\"b\"", 0, VarType::String, "a\"b", 6},
        {"\"\")", 0, VarType::String, "", 2},
        {"1.5)", 0, VarType::Double, "1.5", 3},
        {"TRUE)", 0, VarType::Bool, "True", 4},
        {"x false", 1, VarType::Bool, "False", 7},
        {"1.)", 0, VarType::Int, "1", 1},
    };
    for (const auto& c : cases) {
        ValueRead r = readValue(c.text, c.pos);
        ASSERT_EQ(r.status, 0u) << c.text;
        EXPECT_EQ(r.value.type(), c.type) << c.text;
        EXPECT_EQ(r.value.toText(), c.shown) << c.text;
        EXPECT_EQ(r.end, c.end) << c.text;
    }
}

TEST(VariantText, RefusesWhatIsNotAValue) {
    for (std::string bad : {"", "   ", "\"open", "abc", ")", "-", "truex", "99999999999999999999"}) {
        ValueRead r = readValue(bad, 0);
        EXPECT_EQ(r.status, VEX_E_FORMAT) << bad;
    }
}

TEST(VariantText, NotationRoundTrips) {
    const Variant values[] = {Variant::text("say \"hi\""), Variant::integer(-42), Variant::real(2.5),
                              Variant::boolean(true), Variant::text("")};
    for (const auto& v : values) {
        ValueRead r = readValue(writeNotation(v), 0);
        ASSERT_EQ(r.status, 0u) << writeNotation(v);
        EXPECT_EQ(r.value, v) << writeNotation(v);
    }
}

TEST(Variant, CastsFollowTheirTable) {
    Variant out;
    EXPECT_EQ(Variant::text(" 42 ").castTo(VarType::Int, out), 0u);
    EXPECT_EQ(out.intValue(), 42);
    EXPECT_EQ(Variant::text("4x").castTo(VarType::Int, out), VEX_E_TYPE);
    EXPECT_EQ(Variant::integer(7).castTo(VarType::String, out), 0u);
    EXPECT_EQ(out.bytes(), "7");
    EXPECT_EQ(Variant::text("false").castTo(VarType::Bool, out), 0u);
    EXPECT_FALSE(out.boolValue());
    EXPECT_EQ(Variant::blob(std::string("\0A", 2)).castTo(VarType::String, out), 0u);
    EXPECT_EQ(out.bytes(), std::string("\0A", 2));
    EXPECT_EQ(Variant::integer(1).castTo(VarType::Blob, out), VEX_E_TYPE);
    EXPECT_EQ(Variant::real(2.6).castTo(VarType::Int, out), 0u);
    EXPECT_EQ(out.intValue(), 3);
    EXPECT_EQ(Variant::null().castTo(VarType::String, out), VEX_E_TYPE);
    EXPECT_EQ(Variant().castTo(VarType::Int, out), 0u);
    EXPECT_EQ(out.intValue(), 0);
}

TEST(Variant, ComparesAcrossNumericKindsAndBytes) {
    EXPECT_EQ(Variant::integer(2).compare(Variant::real(2.0)), 0);
    EXPECT_EQ(Variant::integer(1).compare(Variant::text("2")), -1);
    EXPECT_EQ(Variant::text("b").compare(Variant::blob("a")), 1);
    EXPECT_EQ(Variant::text("a").compare(Variant::integer(1)), std::nullopt);
    EXPECT_EQ(Variant().compare(Variant()), 0);
}

TEST(Variant, CopiesAreDeepAndArraysHoldCopies) {
    Variant a = Variant::array(2);
    a.elements()[0] = Variant::text("x");
    a.elements()[1] = Variant::blob(std::string("\0\1", 2));
    Variant b = a;
    b.elements()[0] = Variant::integer(1);
    EXPECT_EQ(a.elements()[0].bytes(), "x");
    EXPECT_EQ(b.elements()[1].bytes(), std::string("\0\1", 2));
    EXPECT_EQ(b.typeName(), "Array");
}

TEST(Props, NamesIgnoreCaseAndKeepOrder) {
    Props p;
    p.set("Name", Variant::text("a"));
    p.set("IFO", Variant::text("FIX(2)"));
    p.set("name", Variant::text("b"));
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p.items()[0].first, "Name");
    EXPECT_EQ(p.find("NAME")->bytes(), "b");
    p.remove("absent");
    p.remove("ifo");
    EXPECT_EQ(p.size(), 1u);
}

TEST(Props, TextFormRoundTrips) {
    Props p;
    p.set("AllowNull", Variant::boolean(true));
    p.set("Mode", Variant::integer(3));
    p.set("Sep", Variant::text("a;b=\"c\""));
    p.set("Empty", Variant());
    const std::string text = p.toText();
    EXPECT_EQ(text, "AllowNull=true;Mode=3;Sep=\"a;b=\"\"c\"\"\";Empty=");
    Props q;
    ASSERT_TRUE(q.fromText(text));
    EXPECT_EQ(q.toText(), text);
    Props r;
    EXPECT_FALSE(r.fromText("A=1;B"));
    EXPECT_FALSE(r.fromText("A=x"));
    EXPECT_TRUE(r.empty());
}

}  // namespace
}  // namespace payfmt
