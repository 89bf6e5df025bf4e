// The bundled samples of the bitmap and EDIFACT parsers: each parses into
// exactly its documented fields and compiles back to the same bytes, and no
// cut or damaged copy of it gets the parser to read outside the message or
// to leave without a status.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "api/iso8583_host.h"

namespace {

using kortest::Iso8583Host;
using kortest::Outcome;
using kortest::Tree;
using kortest::Var;
using kortest::hexOf;
using kortest::istrOf;
using kortest::propOf;

constexpr std::string_view kRoot = R"j({"name":"msg","group":true})j";

// A field's value as IStr text; empty when it has none.
std::string valueOf(VEXNODE field) {
    const std::string value = propOf(field, "Value");
    return value == "<none>" ? "" : istrOf(value);
}

// Each node depth first: its path of names, and for a field a TAB and its
// value as IStr text.
std::string fieldsOf(VEXNODE parent, const std::string& path = "") {
    std::string lines;
    for (uint32_t i = 0; i < kortest::childCount(parent); ++i) {
        const VEXNODE n = VEXTreeGetChild(parent, i);
        VEXBUF name = nullptr;
        VEXTreeGetNodeName(n, &name);
        const std::string at = path + test::bytes(name);
        VEXBufFree(name);
        uint32_t attrib = 0;
        VEXTreeGetNodeAttrib(n, &attrib);
        if (attrib & VEX_NODE_GROUP) lines += at + "\n" + fieldsOf(n, at + "/");
        else lines += at + "\t" + valueOf(n) + "\n";
    }
    return lines;
}

bool isError(int64_t status) { return (static_cast<uint32_t>(status) >> 30) == 3; }

struct Sample {
    const char* folder;  // below examples/
    const char* name;
    const char* type;
    std::vector<std::pair<const char*, const char*>> settings;  // text values; "#n" is the number n
};

class MessageSample : public ::testing::TestWithParam<Sample> {
protected:
    static std::string readFile(const std::string& name) { return kortest::exampleFile(GetParam().folder, name); }

    MessageSample()
        : host_("sample", readFile(std::string(GetParam().name) + ".json"), GetParam().type),
          message_(readFile(std::string(GetParam().name) + ".msg")) {
        for (const auto& [name, value] : GetParam().settings) {
            const std::string v = value;
            const Var given = v[0] == '#' ? Var::integer(std::stoll(v.substr(1)))
                              : v == "true" ? Var::boolean(true)
                                            : Var::text(v);
            EXPECT_EQ(host_.parser.put(name, given).status, 0u) << name;
        }
    }

    // The call's result, whatever it is; a refused call counts as an error.
    int64_t parse(const std::string& message, VEXNODE root) {
        const Outcome r = host_.parser.call("Parse", {Var::blob(message), Var::integer(root), Var::text("")});
        return r.status ? static_cast<int64_t>(r.code) : r.result.v.u.i;
    }

    Iso8583Host host_;
    std::string message_;
};

TEST_P(MessageSample, ParsesIntoItsDocumentedFieldsAndCompilesBack) {
    Tree tree(kRoot);
    ASSERT_EQ(host_.parse(message_, tree.get()), 0);
    EXPECT_EQ(fieldsOf(tree.get()), readFile(std::string(GetParam().name) + ".fields.txt"));
    int64_t status = -1;
    EXPECT_EQ(hexOf(host_.compile(tree.get(), &status)), hexOf(message_));
    EXPECT_EQ(status, 0);
}

// Whatever a cut or damaged message parses into compiles without an error,
// and what it compiles into parses again.
TEST_P(MessageSample, EveryTruncationAndByteChangeEndsWithAStatus) {
    std::vector<std::string> variants;
    for (std::size_t length = 1; length < message_.size(); ++length) variants.push_back(message_.substr(0, length));
    for (std::size_t at = 0; at < message_.size(); ++at) {
        for (const int value : {0x00, 0x7F, 0x80, 0xFF}) {
            std::string damaged = message_;
            damaged[at] = static_cast<char>(value);
            if (damaged != message_) variants.push_back(std::move(damaged));
        }
    }
    std::size_t compiled = 0;
    for (const std::string& variant : variants) {
        Tree tree(kRoot);
        if (isError(parse(variant, tree.get()))) continue;
        ++compiled;
        const Outcome rebuilt = host_.parser.call("Compile", {Var::blob(""), Var::integer(tree.get()), Var::text("")});
        ASSERT_EQ(rebuilt.status, 0u) << hexOf(variant) << ": " << rebuilt.description;
        if (isError(rebuilt.result.v.u.i)) continue;  // an empty field a mask refuses, say
        Tree again(kRoot);
        EXPECT_FALSE(isError(parse(kortest::blobOf(rebuilt.args[0]), again.get()))) << hexOf(variant);
    }
    EXPECT_GT(compiled, variants.size() / 4);  // damage in a value leaves a message
}

INSTANTIATE_TEST_SUITE_P(
    Bundled, MessageSample,
    ::testing::Values(Sample{"bitmaps", "tms", "PVBM", {{"RecordCount", "#2"}, {"GroupRecords", "true"}, {"MessageLoop", "true"}}},
                      Sample{"bitmaps", "status", "PFBM", {{"BitMapBits", "#16"}, {"BitMapIFO", "FIX(4).HEX2RAW"}, {"BitMapOFO", "RAW2HEX"}}},
                      Sample{"edifact", "paymul", "PEDI", {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
