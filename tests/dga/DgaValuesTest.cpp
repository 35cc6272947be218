// Collecting the nine dissolved gases of a test from both channels' chromatograms.
#include "dga/DgaValues.h"

#include "quant/GasSet.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

namespace dgaws {
namespace {

PeakRecord oilPeak(std::string_view name, double oilContent)
{
    PeakRecord p;
    p.componentName = std::string(name);
    p.oilContent = oilContent;
    return p;
}

using Gases = std::array<double, ChromatogramData::kGasCount>;

TEST(DgaValues, OwnPeaksFillTheStoredGasOrder)
{
    ChromatogramData d;
    d.peaks.append(oilPeak(GasSet::CO2, 900));
    d.peaks.append(oilPeak(GasSet::H2, 10));
    d.peaks.append(oilPeak(GasSet::CH4, 20));
    d.peaks.append(oilPeak(GasSet::C2H6, 3));
    d.peaks.append(oilPeak(GasSet::C2H4, 4));
    d.peaks.append(oilPeak(GasSet::C2H2, 0.5));
    d.peaks.append(oilPeak(GasSet::CO, 300));
    d.peaks.append(oilPeak("H2", 777));       // not one of the nine
    d.peaks.append(oilPeak(GasSet::CH4, 22));  // a later peak of a gas wins
    ChromatogramData linked;
    const DgaCollection r = CollectDgaValues(d, linked);
    EXPECT_FALSE(r.linkedRead);
    EXPECT_EQ(r.linkedError, "");
    EXPECT_EQ(d.gasInOil, (Gases{10, 22, 0.5, 4, 3, 0, 0, 300, 900}));
    EXPECT_DOUBLE_EQ(d.totalHydrocarbons, 22 + 0.5 + 4 + 3);  // no H2, CO or CO2
}

TEST(DgaValues, TheLinkedChromatogramWinsAndAnUnreadableOneKeepsTheOwnValues)
{
    test::TempDir dir;
    ChromatogramData other;
    other.peaks.append(oilPeak(GasSet::H2, 42));
    other.peaks.append(oilPeak(GasSet::O2, 5000));
    writeChromatogramFile(dir.path("B_1.chg"), other);

    ChromatogramData d;
    d.peaks.append(oilPeak(GasSet::H2, 1));
    d.peaks.append(oilPeak(GasSet::CH4, 2));
    d.linkedFile = "B_1.chg";  // beside the own file
    ChromatogramData linked;
    DgaCollection r = CollectDgaValues(d, linked, dir.path("A_1.chg"));
    EXPECT_TRUE(r.linkedRead);
    EXPECT_EQ(d.gasInOil, (Gases{42, 2, 0, 0, 0, 0, 5000, 0, 0}));
    EXPECT_EQ(linked.peaks.size(), 2);
    EXPECT_DOUBLE_EQ(d.totalHydrocarbons, 2);

    d.gasInOil = {};
    d.linkedFile = dir.path("missing.chg");
    const ChromatogramData before = linked;
    r = CollectDgaValues(d, linked);
    EXPECT_FALSE(r.linkedRead);
    EXPECT_FALSE(r.linkedError.empty());
    EXPECT_EQ(d.gasInOil, (Gases{1, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(linked.peaks, before.peaks);
}

}  // namespace
}  // namespace dgaws
