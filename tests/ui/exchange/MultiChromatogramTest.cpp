#include "DialogShot.h"
#include "UiFixture.h"

#include "app/OutputFolders.h"
#include "processing/ComparisonOperations.h"
#include "report/PdfText.h"
#include "report/ReportRenderer.h"
#include "ui/exchange/CMultiDatChildFrame.h"
#include "ui/exchange/ComparisonDialogs.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QProcess>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Three runs of one sample that differ in height and length.
QStringList writeComparedRuns(UiFixture& f)
{
    QStringList paths;
    for (int k = 1; k <= 3; ++k) {
        ChromatogramData d = sample::makeSampleChromatogram(20, 2.0 + 0.5 * k);
        for (int i = 0; i < d.signal.count(); ++i)
            d.signal.set(i, d.signal.at(i) * static_cast<float>(k) + 1000.0F * k);
        d.scanExtrema(-2000000.0F, 2000000.0F);
        paths << f.writeSample("run" + std::to_string(k) + ".chg", d);
    }
    return paths;
}

CMultiDatChildFrame* openWindow(UiFixture& f)
{
    f.command(QStringLiteral("多谱图处理(&U)"))->trigger();
    QMdiSubWindow* sub = f.frame->mdiArea()->activeSubWindow();
    return sub ? qobject_cast<CMultiDatChildFrame*>(sub->widget()) : nullptr;
}

void checkAll(CMultiDatChildFrame& w)
{
    for (ComparisonEntry& e : w.document().set.entries)
        e.checked = 1;
}

}  // namespace

class MultiChromatogramTest : public QObject {
    Q_OBJECT
private slots:
    void threeRunsAveragedEqualTheCommandLine()
    {
        UiFixture f;
        const QStringList runs = writeComparedRuns(f);
        CMultiDatChildFrame* w = openWindow(f);
        QVERIFY(w);
        QCOMPARE(f.prompts.messages.last(), qs(comparison::kWindowNote));
        QCOMPARE(f.app->eventLog().entries().back().text,
                 std::string(comparison::kWindowOpenedLog));

        f.prompts.files << runs;
        for (int k = 0; k < 3; ++k)
            w->addFiles();
        QCOMPARE(w->document().set.entries.size(), size_t(3));
        QCOMPARE(w->graph()->traceCount(), 3);
        w->resize(1100, 700);
        saveDialogShot(*w, "multi-chromatogram");

        checkAll(*w);
        const QString mean = qs(f.dir.path("mean.chg"));
        f.prompts.yesNo.push_back(true);
        f.prompts.files << mean;
        QCOMPARE(w->sum(), std::optional<int>(3));
        QCOMPARE(f.prompts.questions.last(), qs(comparison::kAverageQuestion));

        const QString cli = qs(f.dir.path("cli.chg"));
        QProcess p;
        p.start(QStringLiteral(DGAWS_BINARY_DIR "/dgaws-cli"),
                {QStringLiteral("compare"), QStringLiteral("average"), runs[0], runs[1], runs[2],
                 QStringLiteral("-o"), cli});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const ChromatogramData fromWindow = readChromatogramFile(ss(mean));
        QCOMPARE(fromWindow.signal.values(), readChromatogramFile(ss(cli)).signal.values());
        QCOMPARE(w->document().set.entries[3].data.signal.values(), fromWindow.signal.values());
        // The sources stay as they were.
        QCOMPARE(readChromatogramFile(ss(runs[0])).signal.values(),
                 w->document().set.entries[0].data.signal.values());
    }

    // "多谱图打印": the overlay as shown and the list, in preview, print and PDF alike.
    void thePrintShowsTheOverlayAndTheList()
    {
        UiFixture f;
        const QStringList runs = writeComparedRuns(f);
        CMultiDatChildFrame* w = openWindow(f);
        QVERIFY(w);
        w->addFiles(runs);
        w->document().set.entries[1].timeShift = 0.25;
        w->refresh();

        const Report report = w->report();
        const ReportPicture* overlay = nullptr;
        const ReportTable* list = nullptr;
        for (const ReportBlock& b : report.blocks) {
            overlay = overlay ? overlay : std::get_if<ReportPicture>(&b);
            list = list ? list : std::get_if<ReportTable>(&b);
        }
        QVERIFY(overlay && !overlay->image.isNull());
        // The picture is the graph with its traces in their colours, not an empty frame.
        const auto near = [](const QColor& a, const QColor& b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                std::abs(a.blue() - b.blue()) <
                60;
        };
        for (int k = 0; k < 3; ++k) {
            int coloured = 0;
            for (int x = 0; x < overlay->image.width(); ++x)
                for (int y = 0; y < overlay->image.height(); y += 2)
                    coloured += near(overlay->image.pixelColor(x, y), CMultiDatView::colorOf(k));
            QVERIFY2(coloured > 100, qPrintable(QString::number(k)));
        }
        QVERIFY(list);
        QCOMPARE(list->rows.size(), size_t(3));
        QCOMPARE(list->rows[1][0], std::string("run2.chg"));
        QCOMPARE(list->rows[1][2], std::string("0.250"));

        const QImage page = ReportRenderer(report).pageImage(
            0, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), 110);
        if (const QString shots = qEnvironmentVariable("DGAWS_SHOTS_DIR"); !shots.isEmpty())
            page.save(QDir(shots).filePath(QStringLiteral("multi-chromatogram-print.png")));

        const QString pdf = qs(f.dir.path("multi.pdf"));
        f.prompts.files << pdf;
        QCOMPARE(w->exportPdf(), std::optional<QString>(pdf));
        QVERIFY2(f.prompts.lastSaveProposal.startsWith(qs(defaultExportFolder(f.root))),
                 qPrintable(f.prompts.lastSaveProposal));
        QVERIFY(f.prompts.messages.last().contains(pdf));
        const std::string text = pdfText(ss(pdf));
        for (const char* name : {"run1.chg", "run2.chg", "run3.chg", "多谱图处理"})
            QVERIFY2(text.find(name) != std::string::npos, name);
        const QString nowhere = qs(f.dir.path("missing/folder/x.pdf"));
        f.prompts.files << nowhere;
        QVERIFY(!w->exportPdf());
        QVERIFY(!QFileInfo::exists(nowhere + QStringLiteral(".part")));
    }

    // The inversion proposes its name (a cancelled dialog adds nothing), a partial difference
    // takes the range the dialog gives, the normalised display scales every trace between its
    // times, and deleting every checked entry leaves no current entry or reference.
    void eachOperationAddsItsResultAndDeletingAllLeavesNoReference()
    {
        UiFixture f;
        const QStringList runs = writeComparedRuns(f);
        CMultiDatChildFrame* w = openWindow(f);
        QVERIFY(w);
        w->addFiles(runs);
        auto& set = w->document().set;
        set.current = 1;
        QVERIFY(!w->invert());
        QCOMPARE(set.entries.size(), size_t(3));
        QCOMPARE(f.prompts.lastSaveProposal,
                 qs(comparison::proposedResultPath(ss(runs[1]), comparison::kInversionSuffix)));
        f.prompts.files << QString::fromUtf8(ScriptedPrompts::kTakeProposal);
        QCOMPARE(w->invert(), std::optional<int>(3));
        QCOMPARE(set.entries[3].data.signal.at(10), -set.entries[1].data.signal.at(10));
        QVERIFY(QFileInfo::exists(f.prompts.lastSaveProposal));

        for (size_t k = 0; k < set.entries.size(); ++k)
            set.entries[k].checked = k == 0 || k == 2 ? 1 : 0;
        whenDialogShows([](QDialog& d) {
            auto& dialog = dynamic_cast<DifferenceDialog&>(d);
            comparison::DifferenceOptions o;
            o.partial = true;
            o.startTime = 0.5;
            o.endTime = 1.0;
            dialog.setOptions(o);
            saveDialogShot(dialog, "multi-difference");
            dialog.accept();
        });
        f.prompts.files << qs(f.dir.path("part.chg"));
        QCOMPARE(w->difference(), std::optional<int>(4));
        const SignalBuffer& r = set.entries[4].data.signal;
        QCOMPARE(r.count(), 600);
        QCOMPARE(r.at(7), set.entries[0].data.signal.at(607) - set.entries[2].data.signal.at(607));

        whenDialogShows([](QDialog& d) {
            auto& dialog = dynamic_cast<NormalisationDialog&>(d);
            dialog.setValues(true, 1.0, 1.5);
            saveDialogShot(dialog, "multi-normalisation");
            dialog.accept();
        });
        w->editNormalisation();
        QVERIFY(set.normalize);
        // Each run's largest peak between the times reaches 100 %.
        QCOMPARE(w->graph()->traceCount(), 5);
        for (int k = 0; k < 3; ++k) {
            bool found = false;
            const QCPRange values = w->graph()->graph(k)->getValueRange(found);
            QVERIFY(found);
            QVERIFY(values.upper >= 100.0 - 1e-9);
        }

        set.current = 2;
        w->matchWindow();
        QCOMPARE(set.reference, 2);
        checkAll(*w);
        QStringList asked;
        w->setDeleteQuestion([&asked](const QString& text) {
            asked << text;
            return CMultiDatChildFrame::DeleteAnswer::DeleteAll;
        });
        w->deleteChecked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0], QStringLiteral("删除谱图文件:\n\n") + qs(f.dir.path("part.chg")));
        QVERIFY(set.entries.empty());
        QCOMPARE(set.current, -1);
        QCOMPARE(set.reference, -1);
        QVERIFY(QFileInfo::exists(runs[0]));
        QCOMPARE(w->graph()->traceCount(), 0);
    }
};

int runMultiChromatogramTests(int argc, char** argv)
{
    MultiChromatogramTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MultiChromatogramTest.moc"
