#include "dga/GasProductionRate.h"
#include "dga/StoredGasOrder.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace dgaws;

namespace {

void addPeaks(ChromatogramData& d, std::initializer_list<std::pair<const char*, double>> peaks)
{
    for (const auto& [name, oil] : peaks) {
        PeakRecord p;
        p.componentName = name;
        p.oilContent = oil;
        d.peaks.append(p);
    }
}

OleDateTime at(int day, int hour)
{
    return OleDateTime::fromCivil(2023, 1, day, hour, 0, 0);
}

class RatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.injectionTime = at(11, 8);
        data.method.testRecord.testTime = at(1, 8);  // ten days earlier
        data.method.oilValue1 = 20.0;                // t
        data.method.oilValue2 = 0.88;                // t/m3
        env.showMessage = [this](const std::string& m) { messages.push_back(m); };
        env.ask = [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
    }

    ChromatogramData data, linked;
    DiagnosisEnvironment env;
    bool answer = false;
    std::vector<std::string> messages, questions;
};

}  // namespace

TEST(WholeDays, CutTowardsZero)
{
    EXPECT_EQ(wholeDaysBetween(at(1, 0), at(2, 12)), 1) << "36 hours";
    EXPECT_EQ(wholeDaysBetween(at(1, 0), at(2, 23)), 1) << "47 hours";
    EXPECT_EQ(wholeDaysBetween(at(1, 0), at(3, 0)), 2) << "48 hours";
    EXPECT_EQ(wholeDaysBetween(at(1, 0), OleDateTime::fromCivil(2023, 1, 2, 23, 59, 59)), 1);
    EXPECT_EQ(wholeDaysBetween(at(3, 0), at(1, 12)), -1) << "previous later: -36 h cuts to -1";
    EXPECT_EQ(wholeDaysBetween(at(2, 0), at(1, 12)), 0);
    OleDateTime invalid = at(1, 0);
    invalid.status = OleDateTime::Invalid;
    EXPECT_FALSE(wholeDaysBetween(invalid, at(3, 0)).has_value());
}

TEST_F(RatesTest, PerPeakAndPerGasWithTheTotalOfTheFourHydrocarbons)
{
    data.method.testRecord.values[rate::H2] = 10.0;
    data.method.testRecord.values[rate::CH4] = 5.0;
    // N2 is not one of the seven, "H2" not the component name.
    addPeaks(data,
             {{"H2(氢气)", 40.0},
              {"CH4(甲烷)", 25.0},
              {"C2H2(乙炔)", 1.0},
              {"N2(氮气)", 50000.0},
              {"H2", 999.0}});
    data.peaks[3].workValue = -7.0;

    ASSERT_TRUE(computeGasProductionRates(data, linked, env).computed);
    const double volume = 20.0 / 0.88;
    // 3 uL/L per day times 20 t / 0.88 t/m3 = 22.7273 m3.
    EXPECT_NEAR(data.peaks[0].workValue, 68.1818, 1e-4);
    EXPECT_NEAR(data.working.gasRates[rate::H2], 68.1818, 1e-4);
    EXPECT_NEAR(data.working.gasRates[rate::CH4], 2.0 * volume, 1e-9);
    EXPECT_NEAR(data.working.gasRates[rate::C2H2], 0.1 * volume, 1e-9);
    EXPECT_EQ(data.working.gasRates[rate::C2H4], 0.0) << "a gas without a peak keeps 0";
    EXPECT_NEAR(data.working.gasRates[rate::TotalHydrocarbons], 2.1 * volume, 1e-9);
    EXPECT_EQ(data.peaks[3].workValue, -7.0);
    EXPECT_EQ(data.peaks[4].workValue, 0.0);
    EXPECT_TRUE(questions.empty());
}

TEST_F(RatesTest, MissingInputsAreNamedAndNoRateIsComputed)
{
    struct Case {
        bool previous;
        double mass, density;
        std::string reason;
    };
    const Case cases[] = {
        {false, 20.0, 0.88, "未计算产气率：缺少上次实验数据"},
        {true, 0.0, 0.88, "未计算产气率：缺少设备总油量"},
        {true, 20.0, -1.0, "未计算产气率：缺少油的密度"},
        {false, 0.0, 0.0, "未计算产气率：缺少上次实验数据、设备总油量、油的密度"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        ChromatogramData d = data;
        if (!c.previous)
            d.method.testRecord.testTime = OleDateTime{};
        d.method.oilValue1 = c.mass;
        d.method.oilValue2 = c.density;
        addPeaks(d, {{"H2(氢气)", 40.0}});
        const RateOutcome outcome = computeGasProductionRates(d, linked, env);
        EXPECT_FALSE(outcome.computed);
        EXPECT_EQ(outcome.whyNot, c.reason);
        EXPECT_EQ(d.working.gasRates[rate::H2], 0.0);
    }
    EXPECT_TRUE(messages.empty()) << "the reason is shown by the caller, not as a message box";
}

TEST_F(RatesTest, LessThanADayAsksAndYesCountsOneDay)
{
    data.method.testRecord.testTime = at(11, 0);  // eight hours before the injection
    addPeaks(data, {{"CO(一氧化碳)", 30.0}});
    answer = true;
    ASSERT_TRUE(computeGasProductionRates(data, linked, env).computed);
    EXPECT_EQ(questions, std::vector<std::string>{kLessThanADayQuestion});
    EXPECT_NEAR(data.working.gasRates[rate::CO], 30.0 * 20.0 / 0.88, 1e-9);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RatesTest, PreviousTestLaterAndNoMeansNoRateAtAll)
{
    data.method.testRecord.testTime = at(20, 8);
    addPeaks(data, {{"CO2(二氧化碳)", 300.0}});
    data.peaks[0].workValue = 1.5;
    answer = false;
    EXPECT_FALSE(computeGasProductionRates(data, linked, env).computed);
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(messages, std::vector<std::string>{"产气率计算失败!"});
    EXPECT_EQ(data.peaks[0].workValue, 1.5);
    EXPECT_EQ(data.working.gasRates[rate::CO2], 0.0);
}

TEST_F(RatesTest, LinkedChromatogramIsReadAfreshAndItsPeaksWinTheCollection)
{
    test::TempDir dir;
    ChromatogramData other;
    addPeaks(other, {{"C2H4(乙烯)", 11.0}, {"H2(氢气)", 20.0}});
    data.linkedFile = dir.path("B.chg");
    writeChromatogramFile(data.linkedFile, other);

    addPeaks(data, {{"H2(氢气)", 40.0}});
    addPeaks(linked, {{"C2H6(乙烷)", 1000.0}});  // stale: from another file
    ASSERT_TRUE(computeGasProductionRates(data, linked, env).computed);
    ASSERT_EQ(linked.peaks.size(), 2);
    const double volume = 20.0 / 0.88;
    EXPECT_NEAR(linked.peaks[0].workValue, 1.1 * volume, 1e-9);
    EXPECT_NEAR(linked.working.gasRates[rate::TotalHydrocarbons], 1.1 * volume, 1e-9);
    EXPECT_NEAR(data.working.gasRates[rate::H2], 4.0 * volume, 1e-9) << "own results so far";

    collectGasRates(data, linked);
    EXPECT_NEAR(data.working.gasRates[rate::H2], 2.0 * volume, 1e-9) << "linked peaks come last";
    EXPECT_NEAR(data.working.gasRates[rate::C2H4], 1.1 * volume, 1e-9);
    EXPECT_EQ(data.working.gasRates[rate::C2H6], 0.0);
    EXPECT_NEAR(data.working.gasRates[rate::TotalHydrocarbons], 1.1 * volume, 1e-9);
}

TEST_F(RatesTest, UnreadableLinkedChromatogramLeavesTheOwnRates)
{
    data.linkedFile = "/nonexistent/B.chg";
    addPeaks(data, {{"H2(氢气)", 40.0}});
    addPeaks(linked, {{"H2(氢气)", 1000.0}});
    linked.peaks[0].workValue = 555.0;
    ASSERT_TRUE(computeGasProductionRates(data, linked, env).computed);
    EXPECT_EQ(linked.peaks.size(), 0) << "no stale peaks lend their rates";
    collectGasRates(data, linked);
    EXPECT_NEAR(data.working.gasRates[rate::H2], 4.0 * 20.0 / 0.88, 1e-9);
}

TEST_F(RatesTest, PreviousDateWithoutCalendarFormFails)
{
    data.method.testRecord.testTime.date = 1e7;  // beyond the year 9999
    addPeaks(data, {{"H2(氢气)", 40.0}});
    EXPECT_FALSE(computeGasProductionRates(data, linked, env).computed);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(messages, std::vector<std::string>{"产气率计算失败!"});
    EXPECT_EQ(data.peaks[0].workValue, 0.0);
}
