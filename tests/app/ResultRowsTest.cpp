#include "app/ResultRows.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dgaws;

namespace {

PeakRecord peak(int number, double rt, double height, double area, double percent, int excluded = 0)
{
    PeakRecord p;
    p.number = number;
    p.retentionTime = rt;
    p.height = height;
    p.area = area;
    p.areaPercent = percent;
    p.gasContent = percent / 10.0;
    p.oilContent = percent / 100.0;
    p.excluded = excluded;
    return p;
}

PeakTable table(std::initializer_list<PeakRecord> peaks)
{
    PeakTable t;
    for (const auto& p : peaks)
        t.append(p);
    return t;
}

size_t tabsPerLine(const std::string& line)
{
    return static_cast<size_t>(std::count(line.begin(), line.end(), '\t'));
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    EXPECT_EQ(start, text.size()) << "every line ends in a line feed";
    return out;
}

}  // namespace

// Rows carry the table's formats; excluded peaks are listed on request but never summed, and
// a content that could not be formed reads as such.
TEST(ResultRows, RowsCarryTheTableFormatsAndTotalsLeaveOutWhatIsExcluded)
{
    PeakRecord p = peak(3, 1.23456, 1234.56, 98765.44, 12.345678);
    p.componentName = "H2(氢气)";
    p.typeFlags = PeakFlag::StartsInValley | PeakFlag::EndsInValley;
    p.halfWidth = 0.04449;
    p.resolution = 1.5;
    p.tailingFactor = 0.9876;
    p.plates = 1234.6;
    const auto one = ResultRows::build(table({p}), {true, false, {}});
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].peakIndex, 0);
    EXPECT_EQ(one[0].cells,
              (std::vector<std::string>{"1", "3", "H2(氢气)", "1.235", "1234.6", "98765.4",
                                        "12.3457", "1.2346", "0.1235", "重叠峰(VV)", "0.044",
                                        "1.500", "0.988", "1235"}));
    EXPECT_TRUE(one[1].isTotals());

    const PeakTable t = table({peak(1, 0.5, 10.0, 100.0, 40.0), peak(2, 0.7, 1.0, 2.0, 0.0, 1),
                               peak(3, 0.9, 20.0, 150.0, 60.0)});
    const auto hidden = ResultRows::build(t, {false, false, {}});
    const auto all = ResultRows::build(t, {false, true, {}});
    ASSERT_EQ(hidden.size(), 3u);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_FALSE(hidden[1].isTotals());
    EXPECT_EQ(hidden[1].peakIndex, 2) << "rows keep their peak's table position";
    EXPECT_EQ(hidden[1].cells[0], "2") << "row numbers count the shown rows";
    EXPECT_EQ(hidden.back().cells, all.back().cells);
    EXPECT_EQ(all.back().cells,
              (std::vector<std::string>{"合计", "", "", "", "30.0", "250.0", "100.0000", "10.0000",
                                        "1.0000", ""}));
    const auto flagged = ResultRows::build(t, {false, false, {false, false, true}});
    EXPECT_EQ(flagged[1].cells[7], "未校正");
    EXPECT_EQ(flagged[1].cells[8], "未校正");
    EXPECT_EQ(flagged.back().cells[7], "4.0000");
    EXPECT_EQ(flagged.back().cells[9], "不含未校正组份");
    EXPECT_EQ(flagged.back().cells[5], "250.0") << "areas are measured all the same";
    // Only excluded peaks leave the totals at zero.
    const auto none =
        ResultRows::build(table({peak(1, 0.5, 10.0, 100.0, 0.0, 1)}), {false, false, {}});
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].cells[5], "0.0");
}

TEST(ResultRows, CopiedTextHasTheFixedHeaderAndTheRowsInSelectionOrder)
{
    const PeakTable t = table({peak(1, 0.5, 10.0, 100.0, 40.0), peak(2, 0.9, 20.0, 150.0, 60.0)});
    for (bool efficiency : {false, true}) {
        const auto rows = ResultRows::build(t, {efficiency, false, {}});
        const std::string text = ResultRows::copyText(rows, {1, 0, 2}, efficiency);
        const auto l = lines(text);
        ASSERT_EQ(l.size(), 4u);
        EXPECT_EQ(
            l[0] + "\n",
            efficiency
                ? "行号\t峰号\t组份名\t保留时间\t峰高\t峰面积\t面积百分比%"
                  "\t气相中含量\t油中含量\t峰标志\t半峰宽(分)\t分离度\t拖尾因子\t理论塔板数\t\n"
                : "行号\t峰号\t组份名\t保留时间\t峰高\t峰面积\t面积百分比%"
                  "\t气相中含量\t油中含量\t峰标志\t\n");
        const size_t cells = efficiency ? 14u : 10u;
        for (const auto& line : l)
            EXPECT_EQ(tabsPerLine(line), cells);
        EXPECT_EQ(l[1].substr(0, 4), "2\t2\t") << "the first selected row comes first";
        EXPECT_EQ(l[3].substr(0, 7), "合计\t");
    }
}
