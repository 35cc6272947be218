// Gas-phase to oil contents for the oscillation and the vacuum method.
#include "dga/OilContents.h"

#include "quant/GasSet.h"
#include "quant/QuantSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace dgaws {
namespace {

PeakRecord gasPeak(std::string_view name, double gasContent)
{
    PeakRecord p;
    p.componentName = std::string(name);
    p.gasContent = gasContent;
    return p;
}

ChromatogramData oscillation(double p, double t, double vg, double vl)
{
    ChromatogramData d;
    d.method.calcMethod = static_cast<int>(QuantMethod::Oscillation);
    d.method.ambientPressure = p;
    d.method.ambientTemperature = t;
    d.method.gasVolume = vg;
    d.method.oilVolume = vl;
    return d;
}

TEST(OilContents, EveryGasHasItsPartitionCoefficient)
{
    // No extracted gas: the oil content is K x C x P x 0.929 / 101.3, so C = 1000 at
    // 101.3 kPa gives 929 K.
    const ChromatogramData d = oscillation(101.3, 20, 0, 40);
    const std::pair<std::string_view, double> expected[] = {
        {GasSet::H2, 0.06},   {GasSet::CH4, 0.39},  {GasSet::C2H6, 2.3},
        {GasSet::C2H4, 1.46}, {GasSet::C2H2, 1.02}, {GasSet::CO, 0.12},
        {GasSet::CO2, 0.92},  {GasSet::O2, 0.17},   {GasSet::N2, 0.09}};
    for (const auto& [name, k] : expected) {
        PeakRecord p = gasPeak(name, 1000);
        convertPeakToOil(d, p);
        EXPECT_NEAR(p.oilContent, 929 * k, 1e-9) << name;
    }
}

TEST(OilContents, VacuumMethodAtTwentyDegreesAndStandardPressureIsThePlainRatio)
{
    ChromatogramData d = oscillation(101.3, 20, 6, 48);
    d.method.calcMethod = static_cast<int>(QuantMethod::Vacuum);
    computeVolumeRatio(d);
    EXPECT_NEAR(d.working.volumeRatio, 6.0 / 48.0, 1e-15);
    PeakRecord co2 = gasPeak(GasSet::CO2, 800);
    convertPeakToOil(d, co2);
    EXPECT_NEAR(co2.oilContent, 100.0, 1e-12);
}

TEST(OilContents, VolumesAreCorrectedToEachMethodsReferenceState)
{
    // The oil expands by 0.0008 per degree up to the reference: 50 °C when oscillated, 20 °C
    // under vacuum; the gas goes to 323 K, or to 293 K and 101.3 kPa.
    ChromatogramData shaken = oscillation(101.3, 20, 5, 40);
    computeVolumeRatio(shaken);
    const double gas = 5 * 323.0 / 293.0, oil = 40 * (1 + 0.0008 * 30);
    EXPECT_NEAR(shaken.working.gasVolumeOscillation, gas, 1e-12);
    EXPECT_NEAR(shaken.working.oilVolumeOscillation, oil, 1e-12);
    EXPECT_NEAR(shaken.working.volumeRatio, gas / oil, 1e-15);

    ChromatogramData vacuum = oscillation(98.0, 30, 5, 40);
    vacuum.method.calcMethod = static_cast<int>(QuantMethod::Vacuum);
    computeVolumeRatio(vacuum);
    const double vGas = 5 * 98.0 / 101.3 * 293.0 / 303.0, vOil = 40 * (1 - 0.0008 * 10);
    EXPECT_NEAR(vacuum.working.gasVolumeVacuum, vGas, 1e-12);
    EXPECT_NEAR(vacuum.working.oilVolumeVacuum, vOil, 1e-12);
}

TEST(OilContents, OnlyTheNineGasesUnderTheTwoOilMethodsAreConverted)
{
    ChromatogramData d = oscillation(101.3, 50, 5, 40);
    PeakRecord plain = gasPeak("H2", 100);
    plain.oilContent = 3;
    convertPeakToOil(d, plain);
    EXPECT_EQ(plain.oilContent, 3);

    d.method.calcMethod = static_cast<int>(QuantMethod::ExternalStandard);
    PeakRecord h2 = gasPeak(GasSet::H2, 100);
    h2.oilContent = 4;
    convertPeakToOil(d, h2);
    EXPECT_EQ(h2.oilContent, 4);
    computeVolumeRatio(d);
    EXPECT_EQ(d.working.volumeRatio, 0.0);
}

TEST(OilContents, VolumesThatCannotBeCorrectedGiveZeroNotNaN)
{
    struct Case {
        QuantMethod method;
        double t, vg, vl;
    };
    constexpr auto O = QuantMethod::Oscillation;
    constexpr auto V = QuantMethod::Vacuum;
    // Absolute zero; no oil; an oil correction of 0 (1 + 0.0008 x (50 - 1300) for the
    // oscillation method, 1 + 0.0008 x (20 - 1270) for the vacuum method).
    for (const Case c :
         {Case{O, -273, 5, 40}, Case{V, -273, 5, 40}, Case{O, 20, 5, 0}, Case{V, 20, 5, 0},
          Case{O, 1300, 5, 40}, Case{V, 1270, 5, 40}, Case{V, -273, 0, 0}}) {
        ChromatogramData d = oscillation(101.3, c.t, c.vg, c.vl);
        d.method.calcMethod = static_cast<int>(c.method);
        computeVolumeRatio(d);
        for (double v :
             {d.working.volumeRatio, d.working.gasVolumeOscillation, d.working.oilVolumeOscillation,
              d.working.gasVolumeVacuum, d.working.oilVolumeVacuum})
            EXPECT_TRUE(std::isfinite(v)) << c.t << " " << c.vl;
        EXPECT_EQ(d.working.volumeRatio, 0.0);
        PeakRecord p = gasPeak(GasSet::CH4, 50);
        p.oilContent = 9;
        convertPeakToOil(d, p);
        EXPECT_EQ(p.oilContent, 0.0) << "t " << c.t << " Vl " << c.vl;
    }
}

TEST(OilContents, QuantificationOfATestSampleFillsBothContents)
{
    ChromatogramData d = oscillation(101.3, 50, 5, 40);
    d.method.quantOption2 = static_cast<int>(CurveAxis::ResponseX);
    ComponentEntry h2;
    h2.index = 0;
    h2.name = std::string(GasSet::H2);
    h2.retentionTime = 1.0;
    h2.factor1 = 2;
    d.method.components = {h2};
    PeakRecord p = gasPeak(GasSet::H2, 0);
    p.componentIndex = 0;
    p.area = 50;
    d.peaks.append(p);
    quantifyWithOilContents(d, nullptr);
    EXPECT_DOUBLE_EQ(d.peaks[0].gasContent, 100);
    // (Vg/Vl + K) x C x P / 101.3 x 0.929: (0.125 + 0.06) x 100 x 0.929 at standard pressure.
    EXPECT_NEAR(d.peaks[0].oilContent, 17.1865, 5e-5);
    EXPECT_DOUBLE_EQ(d.working.volumeRatio, 0.125);
}

}  // namespace
}  // namespace dgaws
