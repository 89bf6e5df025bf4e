#include <gtest/gtest.h>

#include "parsers/core/format_errors.h"

namespace payfmt {
namespace {

TEST(FormatErrors, AScriptedMethodStartsEmptyAndLeavesWithTheLastReport) {
    TFormatError& errors = threadErrors();
    errors.record("Earlier", 0xA2060025, {"N2", "2", "1"});  // of an earlier call: dropped
    try {
        scripted(errors, [&] {
            errors.record("Apply_Fix", 0x62060011, {"X", "N2"});
            errors.raise("ApplyOperator", 0xE2060001, {"FOO"});
        });
        FAIL() << "the format error must leave the method";
    } catch (const EKORError& e) {
        EXPECT_EQ(e.code(), 0xE2060001u);
        EXPECT_EQ(e.info().source, "ApplyOperator");
        EXPECT_STREQ(e.what(), "(E2060001) FOO: operator not found");
    }
    EXPECT_EQ(errors.entries().size(), 3u);  // the placeholder and this call's two reports
    errors.reset();
}

}  // namespace
}  // namespace payfmt
