#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "cli/WorkbookCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dgaws::cli::test {
namespace {

namespace fs = std::filesystem;

class WorkbookCliTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        writeChromatogramFile(path("B_1.chg"), sampleChromatogram());
        options.kind = "card";
        options.file = path("B_1.chg");
        options.out = path("cards");
        options.home = path("home");
    }
    Output run() { return call(runWorkbook, options); }
    std::string card() const { return path("cards/B_1_设备档案卡片.xlsx"); }

    WorkbookOptions options;
};

TEST_F(WorkbookCliTest, HalfATestIsRefusedAndNothingIsWritten)
{
    for (const char* kind : {"card", "other", "label", "custom"}) {
        options.kind = kind;
        options.linked = path("A_missing.chg");
        const Output r = run();
        EXPECT_EQ(r.status, 1) << kind;
        EXPECT_NE(r.err.find("无法读取关联文件 " + path("A_missing.chg")), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("工作簿未写入"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << "nothing is reported saved";
    }
    EXPECT_FALSE(fs::exists(path("cards"))) << "no workbook was written";

    // A linked name stored in the chromatogram is refused the same way.
    ChromatogramData linked = sampleChromatogram();
    linked.linkedFile = "A_gone.chg";
    writeChromatogramFile(path("B_1.chg"), linked);
    options.kind = "card";
    options.linked.clear();
    EXPECT_EQ(run().status, 1);
    EXPECT_FALSE(fs::exists(card()));
}

TEST_F(WorkbookCliTest, ANewCardReplacesAnExistingOneOnlyWhenToldTo)
{
    const Output first = run();
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(first.out, card() + "\n");
    // The card has since had tests appended; a second "card" must not wipe them.
    writeFileAtomically(card(), "a card with appended columns");

    const Output refused = run();
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(card()), std::string::npos) << refused.err;
    EXPECT_EQ(readWholeFile(card()), "a card with appended columns");

    options.replace = true;
    const Output replaced = run();
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_NE(readWholeFile(card()), "a card with appended columns");
}

}  // namespace
}  // namespace dgaws::cli::test
