#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "engine/format_error.h"
#include "engine/messages.h"
#include "support/error_info.h"

namespace payfmt {
namespace {

TEST(Messages, PrefixTheCodeAndFillPlaceholdersInOrder) {
    EXPECT_EQ(buildMessage(0xE2060001, {"FIX"}), "(E2060001) FIX: operator not found");
    EXPECT_EQ(buildMessage(0xA2060025, {"N2-4", "2", "1"}), "(A2060025) N2-4: expected 2 input characters, received 1");
    EXPECT_EQ(buildMessage(0xE2070002, {}), "(E2070002) Paser name is undefined");
    EXPECT_EQ(buildMessage(0x62060013, {"1", "extra"}), "(62060013) There are 1 unused characters after the validation");
}

TEST(Messages, UnknownCodesAndMissingArgumentsGiveInternalErrors) {
    EXPECT_EQ(buildMessage(0xE2060000, {}), "ErrDesc: Internal Error: No error message defined for E2060000");
    EXPECT_EQ(buildMessage(0x12345678, {"x"}), "ErrDesc: Internal Error: No error message defined for 12345678");
    EXPECT_EQ(buildMessage(0xE2060004, {"FIX"}), "ErrDesc: Internal Error: Wrong parameters for error E2060004");
}

TEST(ThreadErrors, EachThreadCollectsItsOwnReports) {
    threadErrors().reset();
    threadErrors().record("here", 0xA2060025, {"N2", "2", "1"});
    std::string seenThere;
    std::thread other([&] {
        TFormatError& mine = threadErrors();
        seenThere = mine.errorText(false);  // a new thread starts with nothing
        mine.record("there", 0xE2060001, {"FOO"});
        mine.reset();
    });
    other.join();
    EXPECT_EQ(seenThere, "");
    EXPECT_EQ(threadErrors().errorText(false), "(A2060025) N2: expected 2 input characters, received 1");
    threadErrors().reset();
}

class FormatErrorTest : public ::testing::Test {
protected:
    void SetUp() override { clearErrorInfo(); }
    TFormatError errors;
};

TEST_F(FormatErrorTest, NoReportMeansStatusZeroAndNothingPublished) {
    EXPECT_EQ(errors.status(), 0u);
    EXPECT_FALSE(currentErrorInfo());
    EXPECT_FALSE(errors.holdsError());
    EXPECT_EQ(errors.lastCode(), 0u);
    EXPECT_EQ(errors.errorText(false), "");
}

TEST_F(FormatErrorTest, MostSevereWinsAndEarliestAmongEquals) {
    errors.record("a", 0xA2060025, {"N2", "2", "1"});
    errors.record("b", 0x62060011, {"X", "N2"});
    EXPECT_EQ(errors.status(), 0xA2060025u);
    EXPECT_FALSE(errors.holdsError());
    errors.record("c", 0xE2060001, {"FOO"});
    errors.record("d", 0xE2060006, {"N5-2"});
    EXPECT_TRUE(errors.holdsError());
    EXPECT_EQ(errors.status(), 0xE2060001u);
    ASSERT_TRUE(currentErrorInfo());
    EXPECT_EQ(currentErrorInfo()->code, 0xE2060001u);
    EXPECT_EQ(currentErrorInfo()->source, "c");
    EXPECT_EQ(currentErrorInfo()->description, "(E2060001) FOO: operator not found");
}

TEST_F(FormatErrorTest, EveryRecordIsPublishedAsItHappens) {
    errors.record("ApplyOperator", 0xE2060000);
    ASSERT_TRUE(currentErrorInfo());
    EXPECT_EQ(currentErrorInfo()->description, "ErrDesc: Internal Error: No error message defined for E2060000");
    EXPECT_EQ(currentErrorInfo()->source, "ApplyOperator");
}

TEST_F(FormatErrorTest, RaiseSharesTheEntryList) {
    try {
        errors.raise("Apply_Fix", 0xE2060004, {"FIX", "1"});
        FAIL();
    } catch (TFormatError& raised) {
        raised.record("later", 0x62060011, {"X", "N"});
    }
    ASSERT_EQ(errors.entries().size(), 3u);
    EXPECT_EQ(errors.entries()[1].location, "Apply_Fix");
    EXPECT_EQ(errors.lastLocation(), "later");
}

TEST_F(FormatErrorTest, ForeignExceptionsBecomeE20700FF) {
    const std::runtime_error boom("disk on fire");
    EXPECT_EQ(errors.statusAfterException("FormatInput", boom), kErrForeignException);
    EXPECT_EQ(errors.entries().back().message, "disk on fire");
    ASSERT_TRUE(currentErrorInfo());
    EXPECT_EQ(currentErrorInfo()->source, "FormatInput");
    // A TFormatError is already recorded: it is not recorded twice.
    errors.reset();
    errors.record("Apply_Fix", 0xE2060004, {"FIX", "1"});
    EXPECT_EQ(errors.statusAfterException("FormatInput", TFormatError(errors)), 0xE2060004u);
    EXPECT_EQ(errors.entries().size(), 2u);
}

TEST_F(FormatErrorTest, ErrorTextIsLastMessageOrAllWhenDetailed) {
    errors.record("a", 0xA2060025, {"N2", "2", "1"});
    errors.record("b", 0x62060011, {"X", "N2"});
    EXPECT_EQ(errors.errorText(false), "(62060011) 'X' is not a N2 character");
    EXPECT_EQ(errors.errorText(true),
              "(A2060025) N2: expected 2 input characters, received 1\r\n(62060011) 'X' is not a N2 character\r\n");
}

TEST_F(FormatErrorTest, WriteToTreeWithoutReportsChangesNothing) {
    OwnedTree node(nodes().create("f", 0));
    errors.writeToTree(node.get(), false);
    EXPECT_TRUE(nodes().get(node.get()).props.empty());
    EXPECT_EQ(errors.entries().size(), 1u);
}

TEST_F(FormatErrorTest, WriteToTreeMarksNodeAndErrorNodeThenKeepsLastSevereEntry) {
    OwnedTree node(nodes().create("f", 0));
    OwnedTree errorRoot(nodes().create("errors", kGroupAttrib));
    errors.setErrorNode(errorRoot.get());
    errors.record("a", 0xA2060025, {"N2", "2", "1"});
    errors.record("b", 0x62060011, {"X", "N2"});
    errors.writeToTree(node.get(), false);
    const NodeProps& p = nodes().get(node.get()).props;
    EXPECT_EQ(p.find("EC")->intValue(), 0x62060011);
    EXPECT_EQ(p.find("Error")->bytes(), "(62060011) 'X' is not a N2 character");
    const Node& root = nodes().get(errorRoot.get());
    ASSERT_EQ(root.children.size(), 1u);
    const NodeProps& report = nodes().get(root.children[0]).props;
    EXPECT_EQ(report.find("Link")->intValue(), node.get());
    EXPECT_EQ(report.find("EC")->intValue(), 0x62060011);
    ASSERT_EQ(errors.entries().size(), 1u);
    EXPECT_EQ(errors.entries()[0].location, "b");
    // Nothing new since: the next write leaves the next node alone.
    OwnedTree next(nodes().create("g", 0));
    errors.writeToTree(next.get(), false);
    EXPECT_TRUE(nodes().get(next.get()).props.empty());
    errors.setErrorNode(0);
}

TEST_F(FormatErrorTest, ResetKeepsTheErrorNode) {
    errors.setErrorNode(42);
    errors.record("a", 0xE2060001, {"X"});
    errors.reset();
    EXPECT_EQ(errors.entries().size(), 1u);
    EXPECT_EQ(errors.errorNode(), 42u);
    EXPECT_FALSE(errors.holdsError());
}

}  // namespace
}  // namespace payfmt
