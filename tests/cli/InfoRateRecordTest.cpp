#include "cli/CliTestSupport.h"

#include "chromatogram/FileIO.h"
#include "cli/InfoCommand.h"
#include "dga/RateRecord.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace dgaws::cli::test {
namespace {

class InfoRateRecordTest : public TempDirTest {};

TEST_F(InfoRateRecordTest, PreviousTestAsJsonAndAsSummary)
{
    RateRecord r;
    r.testTime = OleDateTime::fromCivil(2023, 6, 23, 14, 5, 9);
    r.text1 = "/数据/A.chg";
    for (int i = 0; i < 7; ++i)
        r.values[i] = i + 0.5;
    const std::string file = path("上次.lcd");
    ASSERT_EQ(SaveRateRecord(r, file), 1);

    std::ostringstream out, err;
    ASSERT_EQ(runInfo({file, true, false}, out, err), 0) << err.str();
    const auto j = nlohmann::json::parse(out.str());
    EXPECT_EQ(j["fileType"], "lcd");
    EXPECT_EQ(j["testTime"]["text"], "2023-06-23 14:05:09");
    EXPECT_EQ(j["text1"], "/数据/A.chg");
    EXPECT_EQ(j["values"][4], 4.5);

    std::ostringstream summary;
    ASSERT_EQ(runInfo({file, false, false}, summary, err), 0);
    EXPECT_NE(summary.str().find("H2(氢气):"), std::string::npos) << summary.str();
    EXPECT_NE(summary.str().find("4.5000 uL/L"), std::string::npos) << summary.str();

    writeFileAtomically(path("bad.lcd"), "\x01\x00");
    std::ostringstream none, why;
    EXPECT_EQ(runInfo({path("bad.lcd"), true, false}, none, why), 1);
    EXPECT_TRUE(none.str().empty());
}

}  // namespace
}  // namespace dgaws::cli::test
