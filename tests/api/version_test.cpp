// The version of the running library against the header this test was built
// with.
#include <gtest/gtest.h>

#include <string>

#include "payfmt/payfmt.h"

namespace {

TEST(Version, TheLibraryAnswersTheVersionOfItsHeader) {
    EXPECT_STREQ(PayfmtLibVersion(), PAYFMT_VERSION_STRING);
    EXPECT_EQ(PayfmtLibVersionNumber(), PAYFMT_VERSION_NUMBER);
    const std::string parts = std::to_string(PAYFMT_VERSION_MAJOR) + "." + std::to_string(PAYFMT_VERSION_MINOR) +
                              "." + std::to_string(PAYFMT_VERSION_PATCH);
    EXPECT_EQ(PayfmtLibVersion(), parts);
    EXPECT_EQ(PayfmtLibVersionNumber() / 1000000, PAYFMT_VERSION_MAJOR);
    EXPECT_EQ(PayfmtLibVersionNumber() / 1000 % 1000, PAYFMT_VERSION_MINOR);
    EXPECT_EQ(PayfmtLibVersionNumber() % 1000, PAYFMT_VERSION_PATCH);
}

}  // namespace
