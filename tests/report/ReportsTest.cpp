#include "PdfText.h"
#include "chromatogram/TempDir.h"

#include "app/ResultRows.h"
#include "dga/KeyGases.h"
#include "quant/GasSet.h"
#include "report/AnalysisReport.h"
#include "report/DgaReport.h"
#include "report/DuvalDiagrams.h"
#include "report/DuvalDrawing.h"
#include "report/ReportRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

void ensureGui()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_report";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

PeakRecord peak(const char* name, double minutes, double gas, double oil)
{
    PeakRecord p;
    p.componentName = name;
    p.retentionTime = minutes;
    p.gasContent = gas;
    p.oilContent = oil;
    p.area = gas * 1000.0;
    p.height = gas * 300.0;
    return p;
}

std::string printed(const Report& report, const TempDir& dir)
{
    const std::string path = dir.path("report.pdf");
    {
        QPdfWriter writer(QString::fromStdString(path));
        writer.setPageSize(QPageSize(QPageSize::A4));
        ReportRenderer(report).print(writer);
    }
    return pdfText(path);
}

// pdftotext sets no space between Chinese and digits; the page line is compared without any.
std::string withoutSpaces(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

size_t occurrences(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

struct Sample {
    ChromatogramData own;
    ChromatogramData linked;
    Sample()
    {
        own.peaks.append(peak("H2(氢气)", 0.547, 500.2693, 90.426));
        own.peaks.append(peak("CH4(甲烷)", 0.647, 100.0658, 48.7645));
        own.peaks.append(peak("", 0.955, 0.0, 0.0));
        own.peaks.append(peak("O2(氧气)", 1.2, 9999.5925, 2829.3305));
        own.peaks[1].workValue = 12.5;
        // A previous test, the oil mass and its density: the rates could be computed.
        own.method.testRecord.testTime = OleDateTime::fromCivil(2024, 1, 1, 8, 0, 0);
        own.method.oilValue1 = 20.0;
        own.method.oilValue2 = 0.88;
        own.working.ratesComputed = true;
        linked.peaks.append(peak("C2H2(乙炔)", 4.605, 50.0015, 53.6314));
    }
};

}  // namespace

TEST(DgaReport, TheFilterKeepsItsPeaksAndEveryCellIsFormattedAsPrinted)
{
    const Sample t;
    DgaPrintSettings s;
    s.columns.fill(true);
    s.filter = DgaPrintSettings::ValidComponents;
    ReportTable table = dgaResultTable(t.own, t.linked, s, ReportLanguage::Chinese);
    ASSERT_EQ(table.rows.size(), 4u);  // the unnamed peak is no gas; the linked one comes last
    EXPECT_EQ(table.rows[3][0], "4");
    EXPECT_EQ(table.rows[3][1], "C2H2(乙炔) ");
    EXPECT_EQ(table.rows[0][2], " 0.547 ");
    EXPECT_EQ(table.rows[0][4], "500.2693 ");
    EXPECT_EQ(table.rows[0][5], "90.4260 ");
    EXPECT_EQ(table.rows[1][6], "12.5000 ");
    EXPECT_EQ(table.rows[2][6], "") << "oxygen has no production rate";
    EXPECT_EQ(table.rows[3][6], "0.0000 ") << "the linked chromatogram's rates count too";
    EXPECT_EQ(table.rows[0][9], "   0.0 ");
    EXPECT_EQ(table.headers[5], "油中含量");
    EXPECT_EQ(table.headers[6], "脱气率");
    // Rates no diagnosis formed (a file just read has everything a rate needs, but no file
    // stores rates) leave the column empty, as 0 reads as no gas.
    Sample notComputed;
    notComputed.own.working.ratesComputed = false;
    for (const auto& row :
         dgaResultTable(notComputed.own, notComputed.linked, s, ReportLanguage::Chinese).rows)
        EXPECT_EQ(row[6], "") << row[1];

    s.filter = DgaPrintSettings::RatioComponents;
    table = dgaResultTable(t.own, t.linked, s, ReportLanguage::English);
    ASSERT_EQ(table.rows.size(), 3u);  // oxygen takes no part in the ratios
    EXPECT_EQ(table.rows[2][1], "C2H2(乙炔) ");
    EXPECT_EQ(table.headers[5], "Conc(oil) ");

    s.filter = DgaPrintSettings::AllComponents;
    s.columns.fill(false);
    s.columns[DgaPrintSettings::OilContent] = true;
    table = dgaResultTable(t.own, t.linked, s, ReportLanguage::Chinese);
    EXPECT_EQ(table.rows.size(), 5u);
    EXPECT_EQ(table.headers, std::vector<std::string>{"油中含量"});
    EXPECT_EQ(table.rows[2], std::vector<std::string>{"0.0000 "});
}

TEST(Reports, ThePdfHoldsEveryShownValueAndTheTitlesOfItsLanguage)
{
    ensureGui();
    TempDir dir;
    Sample t;
    t.own.totalHydrocarbons = 148.7658;
    t.own.conclusion = "电弧放电";
    t.own.diagnosisCode = 3;
    t.own.method.report.laboratory = "油化试验室";

    const Report analysis = analysisReport(t.own, t.linked, "B_1.chg", {}, "2026-12-07 09:00:00");
    const std::string text = printed(analysis, dir);
    EXPECT_NE(text.find("色谱分析报告"), std::string::npos) << text;
    EXPECT_NE(text.find("油化试验室"), std::string::npos);
    // Every cell of the window's result table that the settings print, as it shows it.
    for (const ResultRows::Row& row : ResultRows::build(t.own.peaks, {}))
        for (const int column : {1, 2, 3, 4, 5, 7, 8}) {
            if (!row.cells[size_t(column)].empty()) {
                EXPECT_NE(text.find(row.cells[size_t(column)]), std::string::npos)
                    << row.cells[size_t(column)];
            }
        }
    EXPECT_NE(text.find("合计"), std::string::npos);
    // The diagnosis follows, with its sections in Chinese.
    EXPECT_NE(text.find("总烃含量:"), std::string::npos);
    EXPECT_NE(text.find("148.7658"), std::string::npos);
    EXPECT_NE(text.find("故障类型: 电弧放电"), std::string::npos);
    EXPECT_NE(withoutSpaces(text).find("第1页共1页"), std::string::npos);
    EXPECT_NE(text.find("2026-12-07 09:00:00"), std::string::npos);

    DgaPrintSettings english;
    english.language = ReportLanguage::English;
    t.own.gasInOil = {90.4, 48.8, 53.6, 20.0, 10.0, 0, 0, 0, 0};  // H2 CH4 C2H2 C2H4 C2H6
    const std::string dga = printed(dgaReport(t.own, t.linked, "B_1.chg", english, "now"), dir);
    // The methods, limits and diagrams take a second page.
    for (const char* title : {"Dissolved Gas Analysis Report",
                              "Total Hydrocarbon Conc:", "Breaking-down Type:", "Conc(oil)",
                              "Interpretation Methods", "Duval Pentagon 1", "Page 1 of 2"})
        EXPECT_NE(dga.find(title), std::string::npos) << title;
    EXPECT_EQ(dga.find("总烃含量"), std::string::npos);
}

TEST(Reports, ALongTableGoesOnWithItsHeaderOnEveryPage)
{
    ensureGui();
    TempDir dir;
    ChromatogramData d;
    for (int i = 0; i < 150; ++i)
        d.peaks.append(peak("", 0.1 + i * 0.01, 1.0 + i, 0.0));
    d.method.report.showChromatogram = 0;
    const Report r = analysisReport(d, {}, "long.chg", {}, "now");
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    const int pages = ReportRenderer(r).pageCount(a4, 72);
    EXPECT_GE(pages, 3);
    const std::string text = printed(r, dir);
    EXPECT_EQ(occurrences(text, "保留时间"), size_t(pages));
    const std::string last = std::to_string(pages);
    EXPECT_NE(withoutSpaces(text).find("第" + last + "页共" + last + "页"), std::string::npos);
    // Every row is printed once.
    for (int i = 0; i < 150; ++i) {
        char cell[32];
        std::snprintf(cell, sizeof cell, "%1.3f", 0.1 + i * 0.01);
        EXPECT_EQ(occurrences(text, std::string(cell) + " "), 1u) << cell;
    }
}

// The triangle is drawn with the zones the judgement uses: at points off the zone limits,
// across the whole triangle, the polygon drawn for the zone a point is judged in holds it, and
// no other polygon does. Wherever the test lies, no zone code covers its point. Triangles 4
// and 5 refine only what Triangle 1 calls them for; elsewhere their table row reads "not
// applicable" and the drawing shows no point that would say otherwise.
TEST(Reports, TheDuvalDrawingsShowWhatTheJudgementSays)
{
    ensureGui();
    const DuvalZone zones[] = {DuvalZone::PD, DuvalZone::T1, DuvalZone::T2, DuvalZone::T3,
                               DuvalZone::D1, DuvalZone::D2, DuvalZone::DT};
    for (double c2h4 = 0.3; c2h4 < 100.0; c2h4 += 0.5)
        for (double c2h2 = 0.3; c2h4 + c2h2 < 100.0; c2h2 += 0.5) {
            const DuvalZone judged = duvalZone({100.0 - c2h4 - c2h2, c2h4, c2h2});
            for (const DuvalZone z : zones) {
                const bool inside =
                    duvalZoneCorners(z).containsPoint(QPointF(c2h4, c2h2), Qt::OddEvenFill);
                ASSERT_EQ(inside, z == judged) << c2h4 << " " << c2h2 << " " << duvalZoneCode(z);
            }
        }

    QFont font;
    font.setPixelSize(13);
    const QFontMetricsF fm(font);
    // At the apex (where the PD code stands), on each code's own anchor, near the corners and
    // in the middle.
    const DuvalPoint points[] = {{100, 0, 0}, {99, 0.5, 0.5}, {88, 10, 2},  {63, 35, 2},
                                 {20, 72, 8}, {30, 10, 60},   {30, 32, 38}, {50, 42, 8},
                                 {0, 100, 0}, {0, 0, 100},    {34, 33, 33}, {97, 1, 2}};
    for (const QRectF area : {QRectF(0, 0, 280, 260), QRectF(10, 20, 600, 520)})
        for (const DuvalPoint& p : points) {
            const std::optional<QRectF> point = duvalPointBox(area, fm, p);
            ASSERT_TRUE(point);
            const auto boxes = duvalLabelBoxes(area, fm, p);
            ASSERT_EQ(boxes.size(), 7u);
            for (const auto& [zone, box] : boxes)
                EXPECT_FALSE(box.intersects(*point))
                    << duvalZoneCode(zone) << " over " << p.ch4 << "/" << p.c2h4 << "/" << p.c2h2;
        }

    const auto redPixels = [](DuvalDiagram diagram, const KeyGases& g) {
        QImage image(300, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintDuvalDiagram(painter, QRectF(0, 0, 300, 300), diagram, g, ReportLanguage::Chinese);
        painter.end();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                red += image.pixel(x, y) == QColor(Qt::red).rgb() ? 1 : 0;
        return red;
    };
    const KeyGases arcing{90.4, 48.7, 226.3, 148.3, 53.6};  // Triangle 1: DT
    const KeyGases discharge{970, 25, 5, 0, 0};             // Triangle 1: PD
    const KeyGases hot{10, 50, 10, 140, 0};                 // Triangle 1: T3
    EXPECT_GT(redPixels(DuvalDiagram::Triangle1, arcing), 0);
    EXPECT_EQ(redPixels(DuvalDiagram::Triangle4, arcing), 0);
    EXPECT_EQ(redPixels(DuvalDiagram::Triangle5, arcing), 0);
    EXPECT_GT(redPixels(DuvalDiagram::Triangle4, discharge), 0);
    EXPECT_GT(redPixels(DuvalDiagram::Triangle5, hot), 0);
}
