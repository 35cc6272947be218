#include "dga/RateRecord.h"
#include "dga/StoredGasOrder.h"

#include "chromatogram/Archive.h"
#include "chromatogram/ByteBuilder.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace dgaws;
using test::ByteBuilder;
using test::TempDir;

namespace {

RateRecord sampleRecord()
{
    RateRecord r;
    r.testTime = OleDateTime::fromCivil(2023, 6, 23, 14, 5, 9);
    r.text1 = "/数据/A_20230623_01.chg";
    r.text2 = "/数据/B_20230623_01.chg";
    for (size_t i = 0; i < rate::Count; ++i)
        r.values[i] = 1.25 * static_cast<double>(i + 1);
    return r;
}

}  // namespace

TEST(RateRecordFile, LayoutByteByByte)
{
    RateRecord r;
    r.testTime = {OleDateTime::Valid, 45100.5};
    r.text1 = "甲.chg";  // GBK: BC D7 then ".chg"
    r.text2 = "";
    for (size_t i = 0; i < rate::Count; ++i)
        r.values[i] = static_cast<double>(i) + 0.5;

    ByteBuilder expected;
    expected.date(0, 45100.5).text("\xBC\xD7.chg").text("");
    for (size_t i = 0; i < rate::Count; ++i)
        expected.f64(static_cast<double>(i) + 0.5);
    EXPECT_EQ(storeRateRecord(r), expected.bytes);
    EXPECT_EQ(loadRateRecord(expected.bytes), r);
}

TEST(RateRecordFile, DamagedFilesAreRefusedAndLeaveTheRecord)
{
    const std::string good = storeRateRecord(sampleRecord());
    std::vector<std::string> damaged;
    for (size_t n = 0; n < good.size(); ++n)
        damaged.push_back(good.substr(0, n));
    damaged.push_back(good + '\0');  // trailing byte
    std::string badStatus = good;
    badStatus[0] = 3;
    damaged.push_back(badStatus);
    std::string hugeText = good;
    hugeText[12] = '\xFF';  // first path length: 0xFF + 0xFFFF + u32
    hugeText.insert(13, "\xFF\xFF\xFF\xFF\xFF\x7F");
    damaged.push_back(hugeText);

    TempDir dir;
    const std::string path = dir.path("bad.lcd");
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(bytes.size());
        EXPECT_THROW(loadRateRecord(bytes), ArchiveError);
        writeFileAtomically(path, bytes);
        RateRecord kept = sampleRecord();
        kept.text1 = "unchanged";
        EXPECT_EQ(loadRateRecord(kept, path), 0);
        EXPECT_EQ(kept.text1, "unchanged");
    }
    RateRecord kept;
    EXPECT_EQ(loadRateRecord(kept, dir.path("missing.lcd")), 0);
}

TEST(recordGasProductionData, CurrentTestBecomesThePreviousOneEvenWhenCancelled)
{
    ChromatogramData d;
    d.injectionTime = OleDateTime::fromCivil(2024, 2, 2, 9, 0, 0);
    d.linkedFile = "/data/B.chg";
    d.gasInOil = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // H2 CH4 C2H2 C2H4 C2H6 N2 O2 CO CO2
    std::vector<std::string> shown;
    const auto sink = [&shown](const std::string& m) { shown.push_back(m); };

    EXPECT_FALSE(recordGasProductionData(
        d, "/data/A.chg", [] { return std::nullopt; }, sink));
    EXPECT_EQ(shown, std::vector<std::string>{"记录失败！"});
    const RateRecord& prev = d.method.testRecord;
    EXPECT_EQ(prev.testTime, d.injectionTime);
    EXPECT_EQ(prev.text1, "/data/A.chg");
    EXPECT_EQ(prev.text2, "/data/B.chg");
    const double expectedValues[7] = {2, 3, 4, 5, 1, 8, 9};  // CH4 C2H2 C2H4 C2H6 H2 CO CO2
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(prev.values[i], expectedValues[i]) << i;

    TempDir dir;
    const std::string path = dir.path("r.lcd");
    shown.clear();
    EXPECT_TRUE(recordGasProductionData(
        d, "/data/A.chg", [&] { return path; }, sink));
    EXPECT_EQ(shown, std::vector<std::string>{"记录成功！"});
    EXPECT_EQ(readRateRecordFile(path), prev);

    shown.clear();
    EXPECT_FALSE(recordGasProductionData(
        d, "/data/A.chg", [&] { return dir.path("missing/r.lcd"); }, sink));
    EXPECT_EQ(shown, std::vector<std::string>{"保存绝对产气率计算数据文件失败。"});
}
