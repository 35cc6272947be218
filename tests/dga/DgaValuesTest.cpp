// Collecting the nine dissolved gases of a test from both channels' chromatograms.
#include "dga/DgaValues.h"

#include "quant/GasSet.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"
#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dgaws {
namespace {

ChromatogramData withOilPeaks(std::initializer_list<std::pair<std::string_view, double>> peaks)
{
    ChromatogramData d;
    for (const auto& [name, oil] : peaks) {
        PeakRecord p;
        p.componentName = std::string(name);
        p.oilContent = oil;
        d.peaks.append(p);
    }
    return d;
}

using Gases = std::array<double, ChromatogramData::kGasCount>;

TEST(DgaValues, OwnPeaksFillTheStoredGasOrder)
{
    // "H2" is not one of the nine; the later peak of a gas wins.
    ChromatogramData d = withOilPeaks({{GasSet::CO2, 900},
                                       {GasSet::H2, 10},
                                       {GasSet::CH4, 20},
                                       {GasSet::C2H6, 3},
                                       {GasSet::C2H4, 4},
                                       {GasSet::C2H2, 0.5},
                                       {GasSet::CO, 300},
                                       {"H2", 777},
                                       {GasSet::CH4, 22}});
    ChromatogramData linked;
    const DgaCollection r = collectDgaValues(d, linked);
    EXPECT_FALSE(r.linkedRead);
    EXPECT_EQ(r.linkedError, "");
    EXPECT_EQ(d.gasInOil, (Gases{10, 22, 0.5, 4, 3, 0, 0, 300, 900}));
    EXPECT_DOUBLE_EQ(d.totalHydrocarbons, 22 + 0.5 + 4 + 3);  // no H2, CO or CO2
}

TEST(DgaValues, TheLinkedChromatogramWinsAndAnUnreadableOneKeepsTheOwnValues)
{
    test::TempDir dir;
    writeChromatogramFile(dir.path("B_1.chg"),
                          withOilPeaks({{GasSet::H2, 42}, {GasSet::O2, 5000}}));
    ChromatogramData d = withOilPeaks({{GasSet::H2, 1}, {GasSet::CH4, 2}});
    d.linkedFile = "B_1.chg";  // beside the own file
    ChromatogramData linked;
    DgaCollection r = collectDgaValues(d, linked, dir.path("A_1.chg"));
    EXPECT_TRUE(r.linkedRead);
    EXPECT_EQ(d.gasInOil, (Gases{42, 2, 0, 0, 0, 0, 5000, 0, 0}));
    EXPECT_EQ(linked.peaks.size(), 2);
    EXPECT_DOUBLE_EQ(d.totalHydrocarbons, 2);

    d.gasInOil = {};
    d.linkedFile = dir.path("missing.chg");
    const ChromatogramData before = linked;
    r = collectDgaValues(d, linked);
    EXPECT_FALSE(r.linkedRead);
    EXPECT_FALSE(r.linkedError.empty());
    EXPECT_EQ(d.gasInOil, (Gases{1, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(linked.peaks, before.peaks);
}

TEST(DgaValues, TheLinkedFileIsAbsoluteElseBesideElseInTheDataFolder)
{
    test::TempDir dir;
    const std::string own = dir.path("run/A_1.chg");
    const std::string data = dir.path("data");
    for (const char* folder : {"run", "data/sub"})
        std::filesystem::create_directories(dir.path(folder));
    writeChromatogramFile(dir.path("run/B_beside.chg"), withOilPeaks({{GasSet::H2, 1}}));
    writeChromatogramFile(dir.path("data/B_beside.chg"), withOilPeaks({{GasSet::H2, 2}}));
    writeChromatogramFile(dir.path("data/B_data.chg"), withOilPeaks({{GasSet::H2, 3}}));
    writeChromatogramFile(dir.path("data/sub/B_deep.chg"), withOilPeaks({{GasSet::H2, 4}}));
    struct Case {
        std::string linked, ownPath, dataFolder, found;
        double h2;  // 0: not readable
    };
    const Case cases[] = {
        {dir.path("data/B_data.chg"), own, data, dir.path("data/B_data.chg"), 3},
        {"B_beside.chg", own, data, dir.path("run/B_beside.chg"), 1},  // beside wins
        {"B_data.chg", own, data, dir.path("data/B_data.chg"), 3},
        {"sub/B_deep.chg", own, data, dir.path("data/sub/B_deep.chg"), 4},
        {"B_data.chg", "", data, dir.path("data/B_data.chg"), 3},  // never saved
        {"B_none.chg", own, data, dir.path("run/B_none.chg"), 0},  // named where first looked
        {"B_none.chg", "", "", "B_none.chg", 0},
        {"", own, data, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linked + " from " + c.ownPath + " in " + c.dataFolder);
        EXPECT_EQ(linkedChromatogramPath(c.linked, c.ownPath, c.dataFolder), c.found);
        ChromatogramData d = withOilPeaks({});
        d.linkedFile = c.linked;
        ChromatogramData linked;
        const DgaCollection r = collectDgaValues(d, linked, c.ownPath, c.dataFolder);
        EXPECT_EQ(r.linkedRead, c.h2 > 0);
        EXPECT_EQ(r.incomplete(), !c.linked.empty() && c.h2 == 0);
        EXPECT_EQ(d.gasInOil[0], c.h2);
    }
}

}  // namespace
}  // namespace dgaws
