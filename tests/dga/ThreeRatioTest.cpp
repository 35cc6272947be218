#include "dga/ThreeRatio.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

using namespace dgaws;

namespace {

// A record whose three ratios are the given values: C2H4, H2 and C2H6 are fixed
// denominators and the numerators follow from the ratios.
ChromatogramData withRatios(double c2h2c2h4, double ch4h2, double c2h4c2h6)
{
    ChromatogramData d;
    d.gasInOil[gas::C2H6] = 10.0;
    d.gasInOil[gas::C2H4] = c2h4c2h6 * 10.0;
    d.gasInOil[gas::C2H2] = c2h2c2h4 * d.gasInOil[gas::C2H4];
    d.gasInOil[gas::H2] = 100.0;
    d.gasInOil[gas::CH4] = ch4h2 * 100.0;
    return d;
}

std::string codesOf(const ChromatogramData& d)
{
    return std::to_string(d.ratioCode1) + std::to_string(d.ratioCode2) +
        std::to_string(d.ratioCode3);
}

}  // namespace

TEST(RatioCode, EachRatioAtTheBoundsOfItsColumns)
{
    struct Case {
        GasRatio ratio;
        double below01, at01, at1, at3;
        int codes[4];
    };
    const Case cases[] = {
        {GasRatio::C2H2_C2H4, 0.0999, 0.1, 1.0, 3.0, {0, 1, 1, 2}},
        {GasRatio::CH4_H2, 0.0999, 0.1, 1.0, 3.0, {1, 0, 2, 2}},
        {GasRatio::C2H4_C2H6, 0.0999, 0.1, 1.0, 3.0, {0, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.ratio));
        EXPECT_EQ(ratioCode(c.ratio, c.below01, 1.0), c.codes[0]);
        EXPECT_EQ(ratioCode(c.ratio, c.at01, 1.0), c.codes[1]) << "0.1 belongs to the upper column";
        EXPECT_EQ(ratioCode(c.ratio, 0.999, 1.0), c.codes[1]);
        EXPECT_EQ(ratioCode(c.ratio, c.at1, 1.0), c.codes[2]);
        EXPECT_EQ(ratioCode(c.ratio, 2.999, 1.0), c.codes[2]);
        EXPECT_EQ(ratioCode(c.ratio, c.at3, 1.0), c.codes[3]);
        EXPECT_EQ(ratioCode(c.ratio, 1e9, 1.0), c.codes[3]);
    }
}

TEST(RatioCode, ZeroDenominatorsAreCodedNotDivided)
{
    EXPECT_EQ(ratioCode(GasRatio::C2H2_C2H4, 3.0, 0.0), 2);
    EXPECT_EQ(ratioCode(GasRatio::C2H2_C2H4, 0.0, 0.0), 0);
    EXPECT_EQ(ratioCode(GasRatio::CH4_H2, 3.0, 0.0), 2);
    EXPECT_EQ(ratioCode(GasRatio::CH4_H2, 0.0, 0.0), 1);
    EXPECT_EQ(ratioCode(GasRatio::C2H4_C2H6, 0.5, 0.0), 2);
    EXPECT_EQ(ratioCode(GasRatio::C2H4_C2H6, 0.0, 0.0), 0);
    EXPECT_EQ(ratioCode(GasRatio::C2H4_C2H6, -0.0, 0.0), 0) << "negative zero is zero";
}

TEST(judgeThreeRatio, ListedExamples)
{
    // Codes that name no fault leave the attention state as it was.
    for (const auto& [ratios, codes] : {std::pair{std::array{0.05, 0.5, 0.5}, "000"},
                                        std::pair{std::array{0.0, 0.05, 2.0}, "011"}}) {
        ChromatogramData none = withRatios(ratios[0], ratios[1], ratios[2]);
        none.conclusion = "含量超过注意值";
        none.advice = "氢气含量超过了150uL/L，请注意\r\n";
        none.diagnosisCode = -2;
        judgeThreeRatio(none);
        EXPECT_EQ(codesOf(none), codes);
        EXPECT_EQ(none.diagnosisCode, -2);
        EXPECT_EQ(none.diagnosisCode2, -1);
        EXPECT_EQ(none.conclusion, "含量超过注意值");
        EXPECT_EQ(none.advice, "氢气含量超过了150uL/L，请注意\r\n");
    }

    ChromatogramData arc = withRatios(2.0, 0.05, 5.0);
    judgeThreeRatio(arc);
    EXPECT_EQ(codesOf(arc), "112");
    EXPECT_EQ(arc.conclusion, "电弧放电") << "a C2H2/C2H4 code of 1 is arcing";
    EXPECT_EQ(arc.diagnosisCode, 7);
    EXPECT_EQ(arc.diagnosisCode2, 4);
    EXPECT_EQ(arc.advice, kArcingCauses);
    EXPECT_DOUBLE_EQ(arc.working.ratioCH4H2, 0.05);
}

TEST(judgeThreeRatio, AllFiveGasesZeroIsPartialDischargeWithoutAnyRatioValue)
{
    ChromatogramData d;
    d.working.ratioCH4H2 = 42.0;  // left from elsewhere; a zero denominator writes none
    judgeThreeRatio(d);
    EXPECT_EQ(codesOf(d), "010");
    EXPECT_EQ(d.conclusion, "局部放电");
    EXPECT_EQ(d.diagnosisCode, 4);
    EXPECT_EQ(d.diagnosisCode2, 2);
    EXPECT_EQ(d.working.ratioC2H2C2H4, 0.0);
    EXPECT_EQ(d.working.ratioCH4H2, 42.0);
}

TEST(FaultTable, EveryRowWithItsCodesTextsAndClass)
{
    struct Row {
        int c1, c2, c3, code, code2;
        std::string conclusion, advice;
    };
    const std::string lowHeat = "绝缘导线过热，注意CO和CO2含量和CO2/CO的值";
    const std::string pd = "高湿度,高含气量引起油中低能量密度的局部放电";
    const Row rows[] = {
        {0, 0, 1, 0, 0, "低温过热(低于150℃)", lowHeat},
        {0, 2, 0, 1, 1, "低温过热(150～300)℃", kOverheatingCauses},
        {0, 2, 1, 2, 1, "中温过热(300～700)℃", kOverheatingCauses},
        {0, 0, 2, 3, 1, "高温过热(高于700)℃", kOverheatingCauses},
        {0, 1, 2, 3, 1, "高温过热(高于700)℃", kOverheatingCauses},
        {0, 2, 2, 3, 1, "高温过热(高于700)℃", kOverheatingCauses},
        {0, 1, 0, 4, 2, "局部放电", pd},
        {2, 0, 0, 5, 3, "低能放电", kSparkingCauses},
        {2, 1, 2, 5, 3, "低能放电", kSparkingCauses},
        {2, 2, 1, 6, 3, "低能放电兼过热", kSparkingCauses},
        {1, 0, 1, 7, 4, "电弧放电", kArcingCauses},
        {1, 1, 0, 7, 4, "电弧放电", kArcingCauses},
        {1, 2, 0, 8, 4, "电弧放电兼过热", kArcingCauses},
        {1, 2, 2, 8, 4, "电弧放电兼过热", kArcingCauses},
    };
    for (const Row& r : rows) {
        const auto f = lookUpFault(r.c1, r.c2, r.c3);
        ASSERT_TRUE(f.has_value()) << r.c1 << r.c2 << r.c3;
        EXPECT_EQ(std::tuple(f->diagnosisCode, f->diagnosisCode2, std::string(f->conclusion),
                             std::string(f->advice)),
                  std::tuple(r.code, r.code2, r.conclusion, r.advice))
            << r.c1 << r.c2 << r.c3;
    }
    EXPECT_FALSE(lookUpFault(0, 0, 0));
    EXPECT_FALSE(lookUpFault(0, 1, 1));
    EXPECT_FALSE(lookUpFault(-1, 0, 1)) << "an unjudged code names nothing";
}
