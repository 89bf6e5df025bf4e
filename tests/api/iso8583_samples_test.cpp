// The bundled ISO 8583 samples: each parses into exactly its documented
// fields and compiles back to the same bytes, and no cut or damaged copy of
// it gets the parser to read outside the message or to leave without a status.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "api/iso8583_host.h"

namespace {

using kortest::Iso8583Host;
using kortest::Obj;
using kortest::Tree;
using kortest::Var;
using kortest::istrOf;
using kortest::propOf;

std::string readFile(const std::string& name) { return kortest::exampleFile("iso8583", name); }

// Bit, name and value (IStr) of each parsed field, tab-separated, one a line.
std::string fieldsOf(const Tree& tree) {
    std::string lines;
    for (uint32_t i = 0; i < kortest::childCount(tree.get()); ++i) {
        const VEXNODE field = tree.child(i);
        const std::string value = propOf(field, "Value");
        lines += propOf(field, "Bit") + "\t" + propOf(field, "Name") + "\t" + (value == "<none>" ? value : istrOf(value)) + "\n";
    }
    return lines;
}

// The EBCDIC fields of the binary dialect are code page 037.
class CodePage {
public:
    explicit CodePage(const char* name) : settings_(settings()) { settings_.put("Ansi_CP", Var::text(name)); }
    ~CodePage() { settings_.put("Ansi_CP", Var::text("cp_eccf")); }

private:
    static Obj settings() {
        KOROBJ s = nullptr;
        GetFormatRef(&s);
        return Obj(s);
    }
    Obj settings_;
};

struct Sample {
    const char* name;
};

class Iso8583Sample : public ::testing::TestWithParam<Sample> {
protected:
    Iso8583Sample()
        : codePage_("cp_037"),
          emv_("emv", kortest::exampleFile("emv", "emv.json"), "PBER"),
          host_(("sample." + std::string(GetParam().name)).c_str(), readFile(std::string(GetParam().name) + ".json")),
          message_(readFile(std::string(GetParam().name) + ".msg")) {}

    // The parse's answer and the parsed fields, when the call itself went through.
    int64_t parse(const std::string& message, Tree& tree) {
        const kortest::Outcome r =
            host_.parser.call("Parse", {Var::blob(message), Var::integer(tree.get()), Var::text("")});
        EXPECT_EQ(r.status, 0u) << r.description;
        return r.result.v.u.i;
    }

    CodePage codePage_;
    Iso8583Host emv_;  // reads DE 55 where the definitions hand it over
    Iso8583Host host_;
    std::string message_;
};

TEST_P(Iso8583Sample, ParsesIntoItsDocumentedFieldsAndCompilesBack) {
    Tree tree(R"j({"name":"msg","group":true})j");
    ASSERT_EQ(parse(message_, tree), 0);
    EXPECT_EQ(fieldsOf(tree), readFile(std::string(GetParam().name) + ".fields.txt"));
    // The ascii dialect's DE 55 is read on down to its EMV tags.
    const bool handsOver = std::string(GetParam().name) == "ascii";
    VEXNODE iccData = 0;
    for (uint32_t i = 0; i < kortest::childCount(tree.get()); ++i)
        if (propOf(tree.child(i), "Bit") == "55") iccData = tree.child(i);
    ASSERT_NE(iccData, 0u);
    EXPECT_EQ(kortest::childCount(iccData), handsOver ? 18u : 0u);
    if (handsOver) {
        EXPECT_EQ(propOf(VEXTreeGetChild(iccData, 8), "Value"), "000000012500");  // 9F02
    }
    int64_t status = -1;
    EXPECT_EQ(host_.compile(tree.get(), &status), message_);
    EXPECT_EQ(status, 0);
}

TEST_P(Iso8583Sample, EveryTruncationStopsWithAReport) {
    for (std::size_t length = 1; length < message_.size(); ++length) {
        Tree tree(R"j({"name":"msg","group":true})j");
        EXPECT_NE(parse(message_.substr(0, length), tree), 0) << "cut to " << length;
    }
}

// A damaged message either fails with a report, or parses into fields that
// compile into a message that parses into the same fields again.
TEST_P(Iso8583Sample, EverySingleByteChangeEndsWithAStatus) {
    const unsigned char changes[] = {0x01, 0x10, 0x80, 0xFF};
    for (std::size_t at = 0; at < message_.size(); ++at) {
        for (const unsigned char change : changes) {
            std::string damaged = message_;
            damaged[at] = static_cast<char>(damaged[at] ^ change);
            Tree tree(R"j({"name":"msg","group":true})j");
            if (parse(damaged, tree) != 0) continue;
            int64_t status = -1;
            const std::string rebuilt = host_.compile(tree.get(), &status);
            ASSERT_EQ(status, 0) << "byte " << at << " ^ " << int{change};
            Tree again(R"j({"name":"msg","group":true})j");
            ASSERT_EQ(parse(rebuilt, again), 0) << "byte " << at << " ^ " << int{change};
            EXPECT_EQ(fieldsOf(again), fieldsOf(tree)) << "byte " << at << " ^ " << int{change};
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bundled, Iso8583Sample, ::testing::Values(Sample{"ascii"}, Sample{"ascii_hex"}, Sample{"binary"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
