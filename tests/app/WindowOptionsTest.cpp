#include "app/WindowOptions.h"

#include <gtest/gtest.h>

namespace dgaws {
namespace {

TEST(WindowOptions, ReadsOptionsAndFilesInAnyOrder)
{
    const WindowOptions o = WindowOptions::parse(
        {"dgaws", "a.chg", "--home", "/data", "--run", "--speed", "60", "-", "b.chg"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.home, "/data");
    EXPECT_TRUE(o.run);
    EXPECT_TRUE(o.simulate);  // an unattended run has no wizard to wait on
    EXPECT_EQ(o.speed, 60.0);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.chg", "-", "b.chg"}));
    // The value of --home is a folder, never a file to open.
    EXPECT_TRUE(WindowOptions::parse({"dgaws", "--home=/x", "--home", "y.chg"}).files.empty());
    // The toolkit's own options and their values are left to it.
    const WindowOptions qt =
        WindowOptions::parse({"dgaws", "-platform", "offscreen", "-reverse", "c.chg"});
    EXPECT_TRUE(qt.error.empty()) << qt.error;
    EXPECT_EQ(qt.files, std::vector<std::string>{"c.chg"});
}

TEST(WindowOptions, UnusableArgumentsAreRefusedWithTheReason)
{
    const struct {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"dgaws", "--speed"}, "--speed needs a value"},
        {{"dgaws", "--speed", "0.5"}, "at least 1"},
        {{"dgaws", "--speed", "fast"}, "\"fast\""},
        {{"dgaws", "--speed", "nan"}, "\"nan\""},
        {{"dgaws", "--simulat"}, "unknown option --simulat"},
        {{"dgaws", "a.chg", "--home"}, "--home needs a value"},
    };
    for (const auto& c : cases) {
        const WindowOptions o = WindowOptions::parse(c.args);
        EXPECT_NE(o.error.find(c.reason), std::string::npos) << o.error;
    }
    EXPECT_TRUE(WindowOptions::parse({"dgaws", "-h"}).help);
}

}  // namespace
}  // namespace dgaws
