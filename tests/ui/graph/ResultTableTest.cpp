#include "OpenedFiles.h"
#include "UiFixture.h"

#include "report/XlsxReader.h"

#include "report/XlsxWorkbook.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/CResultListView.h"

#include <QAction>
#include <QClipboard>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

namespace {

void clickRow(CResultListView& list, int row)
{
    const QRect cell = list.visualRect(list.model()->index(row, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

QStringList lines(const QString& text)
{
    QStringList l = text.split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

}  // namespace

class ResultTableTest : public QObject {
    Q_OBJECT
private slots:
    // The rows, the totals, the groups and a refresh follow the document; a clicked row
    // selects its peak in the graph.
    void rowsShowThePeaksTheTotalsAndTheGroupsAndSelectPeaks()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram();
        data.peaks[3].excluded = 1;
        GroupResult g;
        g.groupNo = 1;
        g.groupName = "烃类";
        g.peakCount = 4;
        g.totalContent = 12.5;
        data.groupResults.push_back(g);
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_r.chg", data));
        CResultListView& list = *w->results();
        QCOMPARE(list.rowCount(), 9);                            // eight peaks and the totals
        QCOMPARE(list.item(3, 1)->text(), QStringLiteral("5"));  // the excluded peak 4 is left out
        const QString totals = list.item(8, 6)->text();
        list.toggleAllPeaks();
        QCOMPARE(list.rowCount(), 10);
        QCOMPARE(list.item(9, 6)->text(), totals);

        clickRow(list, 4);
        QCOMPARE(w->document().selectedPeak, 4);
        const PeakRecord& p = w->document().data.peaks[4];
        QCOMPARE(w->graph()->selectedSamples(), p.endIndex - p.startIndex + 1);
        clickRow(list, list.rowCount() - 1);  // the totals row
        QCOMPARE(w->document().selectedPeak, 4);

        list.toggleGroups();
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.item(0, 1)->text(), QString::fromUtf8("烃类"));
        QCOMPARE(list.item(0, 7)->text(), QStringLiteral("12.5000"));
        list.toggleGroups();
        QCOMPARE(list.rowCount(), 10);

        w->document().data.peaks.removeAt(0);
        QCOMPARE(list.rowCount(), 10);
        list.contextActions()[0]->trigger();  // "手动刷新结果(&R)"
        QCOMPARE(list.rowCount(), 9);
    }

    // Copy puts the header and the rows in selection order on the clipboard; the workbook
    // holds the table with numbers as numbers.
    void copyAndTheWorkbookHoldWhatTheTableShows()
    {
        UiFixture f;
        OpenedFiles opened;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_t.chg"));
        CResultListView& list = *w->results();
        clickRow(list, 2);
        const QRect r0 = list.visualRect(list.model()->index(0, 1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, r0.center());
        list.copySelection();
        // The header and the rows in the order they were selected (the cells are ResultRows').
        const QStringList l = lines(QApplication::clipboard()->text());
        QCOMPARE(l.size(), 3);
        QVERIFY(l[1].startsWith(QStringLiteral("3\t3\t")));
        QVERIFY(l[2].startsWith(QStringLiteral("1\t1\t")));
        QVERIFY2(list.selectionOrder().empty(), "the selection list is emptied");

        list.toggleEfficiency();
        list.selectAllRows();
        list.copySelection();
        const QStringList all = lines(QApplication::clipboard()->text());
        QCOMPARE(all.size(), 11);
        QCOMPARE(all.last().count(QLatin1Char('\t')), 14);
        list.clearSelectedRows();
        list.copySelection();
        QCOMPARE(lines(QApplication::clipboard()->text()).size(), 1);

        QVERIFY(list.openSpreadsheet());
        const QString path = qs(f.root.root() + "/临时/结果表.xlsx");
        QCOMPARE(opened.paths, QStringList{path});
        const auto cells = XlsxReader(ss(path)).sheet("结果表");
        QCOMPARE(qs(cells.at("C1").value), QString::fromUtf8("组份名"));
        // Every shown cell is in the workbook, a number wherever the table showed one.
        for (int r = 0; r < list.rowCount(); ++r)
            for (int c = 0; c < list.columnCount(); ++c) {
                const QString shown = list.item(r, c) ? list.item(r, c)->text() : QString();
                const auto cell = cells.find(cellReference(r + 2, c + 1));
                QCOMPARE(cell == cells.end(), shown.isEmpty());
                bool number = false;
                const double value = shown.toDouble(&number);
                if (number) {
                    QVERIFY2(cell->second.type.empty(), qPrintable(shown));
                    QCOMPARE(std::stod(cell->second.value), value);
                } else if (!shown.isEmpty()) {
                    QCOMPARE(qs(cell->second.value), shown);
                }
            }
    }
};

int runResultTableTests(int argc, char** argv)
{
    ResultTableTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ResultTableTest.moc"
