#include <gtest/gtest.h>

#include "parsers/core/open_parsers.h"
#include "parsers/fixed/pfix.h"

namespace payfmt {
namespace {

TEST(OpenParsers, SortedAndRefuseNamesDifferingOnlyInCase) {
    OpenParsers list;
    TPFIX p1, p2;
    EXPECT_TRUE(list.add("Default", &p1));
    EXPECT_FALSE(list.add("default", &p2));
    EXPECT_TRUE(list.add("iso", &p2));
    EXPECT_TRUE(list.add("Beta", &p2));
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Beta", "Default", "iso"}));
    EXPECT_EQ(list.find("DEFAULT"), &p1);
    list.remove("DEFAULT");
    EXPECT_EQ(list.find("Default"), nullptr);
}

}  // namespace
}  // namespace payfmt
