#include "dga/AttentionValues.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dgaws;

// Hydrogen and the total exceed at their bound, acetylene only above it; the GUI shows
// these texts as they are, each line ended by CR LF, in this order.
TEST(AttentionValues, EachLimitAtItsBoundAndTheTextsInTheirOrder)
{
    const std::string h2 = "氢气含量超过了150uL/L，请注意\r\n";
    const std::string c2h2 = "乙炔含量超过了5uL/L，请注意\r\n";
    const std::string total = "总烃含量超过了150uL/L，请注意\r\n";
    struct Case {
        double h2, c2h2, total;
        std::string advice;
    };
    const Case cases[] = {
        {150.0, 0.0, 0.0, h2},         {149.999, 0.0, 0.0, "含量无异常"},
        {0.0, 5.0, 0.0, "含量无异常"}, {0.0, 5.001, 0.0, c2h2},
        {0.0, 0.0, 150.0, total},      {400.0, 9.0, 200.0, h2 + c2h2 + total},
    };
    for (const Case& c : cases) {
        ChromatogramData d;
        d.gasInOil[gas::H2] = c.h2;
        d.gasInOil[gas::C2H2] = c.c2h2;
        d.totalHydrocarbons = c.total;
        compareAttentionValues(d);
        const bool exceeded = c.advice != "含量无异常";
        EXPECT_EQ(d.diagnosisCode, exceeded ? -2 : -1) << c.h2 << " " << c.c2h2 << " " << c.total;
        EXPECT_EQ(d.conclusion, exceeded ? "含量超过注意值" : "含量无异常");
        EXPECT_EQ(d.advice, c.advice);
    }
}

class CheckAttentionValuesTest : public ::testing::Test {
protected:
    // A chromatogram left from an earlier diagnosis, with one hydrogen peak of 160 uL/L ten
    // days after the previous test.
    void SetUp() override
    {
        data.conclusion = "电弧放电";
        data.advice = "旧的";
        data.diagnosisCode = 7;
        data.diagnosisCode2 = 4;
        data.ratioCode1 = 1;
        data.gasInOil.fill(99.0);
        data.working.gasRates.fill(5.0);
        data.injectionTime = OleDateTime::fromCivil(2024, 3, 11, 10, 0, 0);
        data.method.testRecord.testTime = OleDateTime::fromCivil(2024, 3, 1, 10, 0, 0);
        data.method.oilValue1 = 20.0;
        data.method.oilValue2 = 0.88;
        data.peaks.append(PeakRecord{});
        data.peaks[0].componentName = "H2(氢气)";
        data.peaks[0].oilContent = 160.0;
        env.collect = [this](ChromatogramData& d, ChromatogramData&) {
            seenAtCollect.push_back(d.conclusion + "|" + std::to_string(d.gasInOil[gas::H2]) + "|" +
                                    std::to_string(d.diagnosisCode));
            d.gasInOil[gas::H2] = d.peaks[0].oilContent;
            return DgaCollection{};
        };
        env.showMessage = [this](const std::string& m) { messages.push_back(m); };
    }

    ChromatogramData data, linked;
    DiagnosisEnvironment env;
    std::vector<std::string> seenAtCollect, messages;
};

TEST_F(CheckAttentionValuesTest, ResetsThenCollectsThenCompares)
{
    env.outGasRateUsed = false;
    checkAttentionValues(data, linked, env);
    EXPECT_EQ(seenAtCollect, std::vector<std::string>{"|0.000000|-1"})
        << "collection sees the reset results";
    EXPECT_EQ(data.diagnosisCode, -2);
    EXPECT_EQ(data.diagnosisCode2, -1);
    EXPECT_EQ(data.ratioCode1, -1);
    EXPECT_EQ(data.gasInOil[gas::CH4], 0.0) << "a gas no chromatogram holds reads 0";
    EXPECT_EQ(data.advice, "氢气含量超过了150uL/L，请注意\r\n");
    for (double r : data.working.gasRates)
        EXPECT_EQ(r, 0.0) << "rates stay at their reset without OutGasRateUsed";

    // With OutGasRateUsed: 160 uL/L over 10 days from a previous 0, times 20 t / 0.88 t/m3.
    env.outGasRateUsed = true;
    checkAttentionValues(data, linked, env);
    EXPECT_NEAR(data.working.gasRates[rate::H2], 16.0 * 20.0 / 0.88, 1e-9);
    EXPECT_EQ(data.working.gasRates[rate::CH4], 0.0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(CheckAttentionValuesTest, RefusedDayQuestionStillCompares)
{
    data.method.testRecord.testTime = OleDateTime::fromCivil(2024, 3, 11, 9, 0, 0);
    env.ask = [](const std::string&) { return false; };
    checkAttentionValues(data, linked, env);
    EXPECT_EQ(messages, std::vector<std::string>{"产气率计算失败!"});
    EXPECT_EQ(data.working.gasRates[rate::H2], 0.0);
    EXPECT_EQ(data.conclusion, "含量超过注意值");
}
