#include "UiFixture.h"

#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/PeakEditActions.h"

#include <QAction>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// The graph laid out, and a click at a time on it.
void clickAt(CChrEGraphView& g, double minutes)
{
    const int x = static_cast<int>(g.xAxis->coordToPixel(minutes));
    const int y = static_cast<int>(g.yAxis->coordToPixel(100.0));
    QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(x, y));
}

CChildFrame* openLaidOut(UiFixture& f, const char* name)
{
    CChildFrame* w = f.frame->openDocument(f.writeSample(name));
    w->graph()->resize(800, 400);
    w->graph()->replot();
    return w;
}

}  // namespace

class PeakEditTest : public QObject {
    Q_OBJECT
private slots:
    // Commands follow the selection and show the active mode; each mode edits the peaks as the
    // operator clicks and drags, and zooms nothing.
    void peakEditingFollowsTheSelectionTheModeAndTheClicks()
    {
        UiFixture f;
        const PeakEditActions& a = f.frame->peakEditActions();
        QVERIFY(!a.addPeak->isEnabled());
        CChildFrame* w = openLaidOut(f, "A_e1.chg");
        QVERIFY(a.addPeak->isEnabled());
        QVERIFY2(!a.moveStart->isEnabled(), "no peak selected yet");

        clickAt(*w->graph(), 1.9);
        QCOMPARE(w->document().selectedPeak, 2);
        QVERIFY(a.moveStart->isEnabled() && a.negative->isEnabled() && a.verticalCut->isEnabled());

        a.slantCut->trigger();
        QVERIFY(a.slantCut->isChecked());
        QVERIFY(w->graph()->editing());
        a.slantCut->trigger();
        QVERIFY(!a.slantCut->isChecked());
        QVERIFY(!w->graph()->editing());

        // A drag in a move mode takes the point to the release, and zooms nothing.
        CChrEGraphView& g = *w->graph();
        const QCPRange range = g.xAxis->range();
        a.moveApex->trigger();
        const int y = static_cast<int>(g.yAxis->coordToPixel(100.0));
        const int from = static_cast<int>(g.xAxis->coordToPixel(1.9));
        const int to = static_cast<int>(g.xAxis->coordToPixel(1.93));
        QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(from, y));
        QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(to, y));
        QCOMPARE(w->document().data.peaks[2].apexIndex, g.sampleAtPixel(to));
        QVERIFY(!a.moveApex->isChecked());
        QCOMPARE(g.xAxis->range(), range);

        // A click in delete mode deletes the peak without zooming; undo brings it back.
        const int peaks = w->document().data.peaks.size();
        g.xAxis->setRange(1.0, 3.0);
        a.deletePeak->trigger();
        clickAt(g, 1.9);
        QCOMPARE(w->document().data.peaks.size(), peaks - 1);
        QCOMPARE(g.baselineCount(), peaks - 1);
        QVERIFY(!a.deletePeak->isChecked());
        QVERIFY(w->windowTitle().endsWith(QLatin1Char('*')));
        QCOMPARE(g.xAxis->range().lower, 1.0);
        QCOMPARE(g.xAxis->range().upper, 3.0);

        QVERIFY(a.undo->isEnabled());
        a.undo->trigger();
        QCOMPARE(w->document().data.peaks.size(), peaks);
        QVERIFY(a.redo->isEnabled());

        // Three clicks add a peak once the operator says OK.
        g.resetRange();
        g.replot();
        f.prompts.yesNo = {true};
        f.frame->peakEditActions().addPeak->trigger();
        for (double t : {7.30, 7.45, 7.60})
            clickAt(g, t);
        QCOMPARE(f.prompts.questions, QStringList{QString::fromUtf8(PeakEditor::kAskInsertPeak)});
        QCOMPARE(w->document().data.peaks.size(), peaks + 1);
        QVERIFY(!g.editing());
    }
};

int runPeakEditTests(int argc, char** argv)
{
    PeakEditTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "PeakEditTest.moc"
