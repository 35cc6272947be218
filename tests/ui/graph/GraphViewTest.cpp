#include "UiFixture.h"

#include "DialogShot.h"

#include "ui/graph/CChrEGraphView.h"

#include <QAction>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

class GraphViewTest : public QObject {
    Q_OBJECT
private slots:
    void aStoredChromatogramIsDrawnInTheMethodsRangeColoursAndLabels()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram();
        data.method.timeStart = 0.5;
        data.method.timeEnd = 9.0;
        data.method.levelMin = -10.0;
        data.method.levelMax = 650.0;
        data.method.colors.traceColor = 0xFF0000;  // blue
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_g.chg", data));
        CChrEGraphView& g = *w->graph();
        QCOMPARE(g.xAxis->range().lower, 0.5);
        QCOMPARE(g.yAxis->range().lower, -10.0);
        QCOMPARE(g.graph(1)->pen().color(), QColor(0, 0, 255));  // stored as 0x00BBGGRR
        QCOMPARE(g.markCount(), 27);
        QCOMPARE(g.labelTexts().front(), QStringLiteral("0.800"));

        g.xAxis->setRange(2.0, 3.0);
        g.resetRange();
        QCOMPARE(g.xAxis->range().upper, 9.0);

        // The label commands choose what is written at each peak.
        const FrameActions& a = f.frame->actions();
        a.labels[2]->trigger();  // component names
        QCOMPARE(w->graph()->labelTexts()[0], QString::fromUtf8("H2(氢气)"));
        a.labels[1]->trigger();  // peak numbers
        QCOMPARE(w->graph()->labelTexts()[8], QStringLiteral("9"));
        a.labels[7]->trigger();  // hide the marks
        QCOMPARE(w->graph()->labelCount(), 0);
        QCOMPARE(w->graph()->baselineCount(), 9);
        a.labels[7]->trigger();  // and show them again, labels as they were
        QCOMPARE(w->graph()->markCount(), 27);
        QCOMPARE(w->graph()->labelTexts()[8], QStringLiteral("9"));

        CChrEDoc& doc = w->document();
        doc.data.peaks[0].displayFlags = PeakLabel::Area | PeakLabel::Type;
        QCOMPARE(CChrEGraphView::peakLabel(doc, 0),
                 QString::asprintf("%1.1f", doc.data.peaks[0].area) +
                     QString::fromUtf8(" 独立峰(BB)"));
    }

    // A long chromatogram is drawn as the extremes of each pixel column: a one-sample spike
    // and a one-sample dip anywhere still show, and zoomed in the samples themselves are
    // drawn again.
    void aLongChromatogramIsDrawnAsColumnExtremesAndZoomsToItsSamples()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram();
        data.pointsPerSecond = 50;
        std::vector<float> samples(50 * 60 * 120, 1000.0f);  // two hours at 1 mV
        samples[123457] = 250000.0f;
        samples[300001] = -7000.0f;
        data.signal.assign(std::move(samples));
        data.peaks.clear();
        data.method.timeStart = 0.0;
        data.method.timeEnd = 120.0;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_long.chg", data));
        CChrEGraphView& g = *w->graph();
        g.resize(900, 500);
        g.replot();
        QVERIFY(g.traceDecimated());
        const auto drawn = g.graph(1)->data();
        QVERIFY(drawn->size() <= 2 * g.axisRect()->width());
        double high = 0.0, low = 0.0;
        for (const QCPGraphData& p : *drawn) {
            high = std::max(high, p.value);
            low = std::min(low, p.value);
        }
        QCOMPARE(high, 250.0);
        QCOMPARE(low, -7.0);
        saveDialogShot(g, "long-chromatogram");

        const double spike = 123457 / 50.0 / 60.0;
        g.xAxis->setRange(spike - 0.05, spike + 0.05);
        g.replot();
        QVERIFY(!g.traceDecimated());
        const auto at = g.graph(1)->data()->findBegin(spike, false);
        QCOMPARE(at->key, spike);
        QCOMPARE(at->value, 250.0);
        QCOMPARE((at - 1)->value, 1.0);
    }

    void pointsOfARunJoinTheTraceAndAreDrawnAtTheFrameRate()
    {
        ChannelRun running{.acquiring = true};  // outlives the window that shows it
        UiFixture f;
        CChildFrame* w = f.frame->openChannel(0);
        CChrEDoc& doc = w->document();
        CChrEGraphView& g = *w->graph();
        // A run sizes its signal for the whole run time and fills it point by point.
        doc.data.resetForRun(20 * 60 * 10, 20);
        doc.attachRun(&running);
        doc.acquiredCount = 0;
        w->refreshViews();
        QCOMPARE(g.traceSamples(), 0);
        for (int i = 0; i < 250; ++i) {
            doc.data.signal.set(i, 1000.0f * i);
            doc.acquiredCount = i + 1;
            w->pointsAdded();
        }
        QCOMPARE(g.traceSamples(), 250);
        QVERIFY(g.framePending());
        QTRY_VERIFY_WITH_TIMEOUT(!g.framePending(), 2000);
        QCOMPARE(g.graph(1)->data()->at(249)->value, 249.0);  // mV
        QCOMPARE(g.graph(1)->data()->at(249)->key, 249 / 20.0 / 60.0);

        // A run beyond the method's range keeps its newest point in sight.
        doc.data.method.timeEnd = 0.1;
        g.resetRange();
        for (int i = 250; i < 300; ++i) {
            doc.data.signal.set(i, 0.0f);
            doc.acquiredCount = i + 1;
            w->pointsAdded();
        }
        QVERIFY(g.xAxis->range().upper >= 299 / 20.0 / 60.0);

        // A new run starts the trace over.
        doc.acquiredCount = 10;
        w->pointsAdded();
        QCOMPARE(g.traceSamples(), 10);
    }
};

int runGraphViewTests(int argc, char** argv)
{
    GraphViewTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "GraphViewTest.moc"
