// The bundled EMV samples: each parses into exactly its documented elements
// and compiles back to the same bytes, and no cut or damaged copy of it gets
// the parser to read outside the message or to leave without a status.
#include <gtest/gtest.h>


#include "api/iso8583_host.h"

namespace {

using kortest::Iso8583Host;
using kortest::Tree;
using kortest::Var;
using kortest::hexOf;
using kortest::istrOf;
using kortest::propOf;

std::string readFile(const std::string& name) { return kortest::exampleFile("emv", name); }

constexpr std::string_view kRoot = R"j({"name":"msg","group":true})j";

// Tag path, name and value (IStr; none for a template) of each element,
// depth first, tab-separated, one a line.
std::string tagsOf(VEXNODE parent, const std::string& path = "") {
    std::string lines;
    for (uint32_t i = 0; i < kortest::childCount(parent); ++i) {
        const VEXNODE element = VEXTreeGetChild(parent, i);
        const std::string at = path + propOf(element, "Tag");
        uint32_t attrib = 0;
        VEXTreeGetNodeAttrib(element, &attrib);
        const bool constructed = attrib & VEX_NODE_GROUP;
        const std::string value = propOf(element, "Value");
        lines += at + "\t" + propOf(element, "Name") + "\t" + (constructed || value == "<none>" ? "" : istrOf(value)) + "\n";
        if (constructed) lines += tagsOf(element, at + "/");
    }
    return lines;
}

bool isError(int64_t status) { return (static_cast<uint32_t>(status) >> 30) == 3; }

struct Sample {
    const char* name;
    int64_t status;  // of parsing and compiling it whole
};

class EmvSample : public ::testing::TestWithParam<Sample> {
protected:
    EmvSample() : host_("sample.emv", readFile("emv.json"), "PBER"), message_(readFile(std::string(GetParam().name) + ".msg")) {}

    std::string what(std::size_t at, int value) const {
        return std::string(GetParam().name) + " byte " + std::to_string(at) + " -> " + std::to_string(value);
    }

    Iso8583Host host_;
    std::string message_;
};

TEST_P(EmvSample, ParsesIntoItsDocumentedElementsAndCompilesBack) {
    Tree tree(kRoot);
    ASSERT_EQ(host_.parse(message_, tree.get()), GetParam().status);
    EXPECT_EQ(tagsOf(tree.get()), readFile(std::string(GetParam().name) + ".tags.txt"));
    int64_t status = -1;
    EXPECT_EQ(hexOf(host_.compile(tree.get(), &status)), hexOf(message_));
    EXPECT_EQ(status, GetParam().status);
}

// A cut between two elements leaves a message of its own: the first elements.
TEST_P(EmvSample, EveryTruncationEndsWithAStatus) {
    Tree whole(kRoot);
    host_.parse(message_, whole.get());
    const std::string all = tagsOf(whole.get());
    for (std::size_t length = 1; length < message_.size(); ++length) {
        const std::string cut = message_.substr(0, length);
        Tree tree(kRoot);
        if (host_.parse(cut, tree.get()) != 0) continue;
        const std::string lines = tagsOf(tree.get());
        EXPECT_EQ(all.substr(0, lines.size()), lines) << "cut to " << length;
        EXPECT_EQ(hexOf(host_.compile(tree.get())), hexOf(cut)) << "cut to " << length;
    }
}

// A damaged message either fails with an error, or parses into elements that
// compile into a message that parses into the same elements again.
TEST_P(EmvSample, EverySingleByteChangeEndsWithAStatus) {
    for (std::size_t at = 0; at < message_.size(); ++at) {
        const unsigned char original = static_cast<unsigned char>(message_[at]);
        for (const int value : {original ^ 0xFF, 0x00, 0x81, 0xFF}) {
            if (value == original) continue;
            std::string damaged = message_;
            damaged[at] = static_cast<char>(value);
            Tree tree(kRoot);
            if (isError(host_.parse(damaged, tree.get()))) continue;
            int64_t status = -1;
            const std::string rebuilt = host_.compile(tree.get(), &status);
            ASSERT_FALSE(isError(status)) << what(at, value);
            Tree again(kRoot);
            ASSERT_FALSE(isError(host_.parse(rebuilt, again.get()))) << what(at, value);
            EXPECT_EQ(tagsOf(again.get()), tagsOf(tree.get())) << what(at, value);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bundled, EmvSample, ::testing::Values(Sample{"de55", 0}, Sample{"fci", 0x6207000B}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
