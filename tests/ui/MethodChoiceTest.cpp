#include "UiFixture.h"

#include "../../tools/DemoGases.h"

#include "app/MethodSelection.h"
#include "ui/CFileTreeView.h"
#include "ui/CMethodChoiceDlg.h"
#include "ui/MethodTreeNode.h"
#include "ui/RunController.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include <cmath>

using namespace dgaws;
using namespace dgaws::test;

namespace {

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

// Double-clicks the item of the method node found by its path of texts.
void activate(CMainFrame& frame, const QString& method, const QString& curve = {})
{
    QTreeWidgetItem* item = nullptr;
    QTreeWidgetItem* node = frame.methodTree()->node();
    for (int i = 0; i < node->childCount() && !item; ++i)
        if (node->child(i)->text(0).startsWith(method))
            item = node->child(i);
    QVERIFY(item);
    if (!curve.isEmpty()) {
        item->setExpanded(true);
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < item->childCount(); ++i)
            if (item->child(i)->text(0) == curve)
                found = item->child(i);
        QVERIFY(found);
        item = found;
    }
    QTreeWidget* tree = frame.fileTree();
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// The nine gases where the default method expects them, shaped as the demonstration's
// standard gas, so each shipped curve quantifies its own channel's gases to the standard.
ChromatogramData demoGasChromatogram()
{
    ChromatogramData d;
    d.pointsPerSecond = 20;
    d.hasData = 1;
    d.method.timeEnd = 6.0;
    const int n = 20 * 60 * 6;
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = i / 20.0 / 60.0;
        double s = 1000.0;
        for (const demo::DemoGas& g : demo::kGases) {
            const double sigma = t < g.retentionTime ? g.sigma : g.sigma * g.tailing;
            const double z = (t - g.retentionTime) / sigma;
            s += g.height * std::exp(-0.5 * z * z);
        }
        v[static_cast<size_t>(i)] = static_cast<float>(s);
    }
    d.signal.assign(v);
    d.scanExtrema(-2000000.0f, 2000000.0f);
    return d;
}

const PeakRecord* peakNear(const CChrEDoc& doc, double minutes)
{
    for (const PeakRecord& p : doc.data.peaks)
        if (std::abs(p.retentionTime - minutes) < 0.02)
            return &p;
    return nullptr;
}

// Runs `pick` on the choice dialog, then confirms it (or cancels when `pick` says so).
void chooseInDialog(CMainFrame& frame, std::function<bool(CMethodChoiceDlg&)> pick)
{
    whenDialogShows([pick](QDialog& d) {
        auto& dialog = dynamic_cast<CMethodChoiceDlg&>(d);
        if (pick(dialog))
            dialog.confirmButton()->click();
        else
            dialog.reject();
    });
    frame.actions().chooseMethod->trigger();
}

}  // namespace

class MethodChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void theTreeListsShownMethodsWithTheirCurvesAndFollowsTheLibrary()
    {
        UiFixture f;
        QTreeWidgetItem* node = f.frame->methodTree()->node();
        QCOMPARE(f.frame->fileTree()->topLevelItemCount(), 2);
        QCOMPARE(childTexts(node), QStringList{QString::fromUtf8("QLDefault-显示－AB通道默认方法")});
        QCOMPARE(childTexts(node->child(0)),
                 (QStringList{QStringLiteral("ADefaultCali"), QStringLiteral("BDefaultCali")}));

        MethodLibrary& library = f.app->library();
        library.setAsk([](const std::string&) { return true; });
        MethodLibraryEntry extra;
        extra.method.name = "Extra";
        extra.curves.resize(1);
        extra.curves[0].name = "C1";
        QVERIFY(library.addNew(extra).ok());
        node = f.frame->methodTree()->node();
        QCOMPARE(childTexts(node).size(), 2);
        QCOMPARE(childTexts(node->child(0)).size(), 2);
        QCOMPARE(childTexts(node->child(1)), QStringList{QStringLiteral("C1")});

        QVERIFY(library.hide(static_cast<size_t>(library.indexOf("Extra"))).ok());
        node = f.frame->methodTree()->node();
        QCOMPARE(childTexts(node), QStringList{QString::fromUtf8("QLDefault-显示－AB通道默认方法")});
        QCOMPARE(library.size(), size_t{2});

        // The data files beside the methods: a refresh of either leaves the other alone,
        // and no method reads as a file.
        f.writeSample("one.chg");
        f.frame->fileTree()->refresh();
        QCOMPARE(f.frame->fileTree()->files(), QStringList{QStringLiteral("one.chg")});
        QCOMPARE(f.frame->fileTree()->topLevelItemCount(), 2);
        QCOMPARE(f.frame->methodTree()->node()->childCount(), 1);
    }

    void usingAMethodReplacesTheWholeMethodOnlyWhenConfirmed()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("s.chg"));
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        QCOMPARE(doc.libraryMethodIndex, -1);
        const double stopTime = doc.data.method.integration.stopTime;

        activate(*f.frame, QStringLiteral("QLDefault"));  // unscripted: cancelled
        QCOMPARE(f.prompts.questions,
                 QStringList{QString::fromUtf8("您确定要使用分析方法-QLDefault吗?")});
        QCOMPARE(doc.libraryMethodIndex, -1);
        QCOMPARE(doc.data.method.integration.stopTime, stopTime);
        QVERIFY(!doc.isModified());

        f.prompts.yesNo = {true};
        activate(*f.frame, QStringLiteral("QLDefault"), QStringLiteral("BDefaultCali"));
        QCOMPARE(doc.libraryMethodIndex, 0);
        QCOMPARE(doc.libraryCalibrationIndex, 1);
        QCOMPARE(doc.data.calibrationName, std::string("BDefaultCali"));
        QCOMPARE(doc.data.method.integration.stopTime, 6.0);  // the library method's
        QCOMPARE(doc.data.method.components.size(), f.app->library().at(0).curves[1].components.size());
        QVERIFY(doc.isModified());
        QVERIFY(w->windowTitle().endsWith(QLatin1Char('*')));

        // The method alone leaves no curve of the former choice behind.
        f.prompts.yesNo = {true};
        activate(*f.frame, QStringLiteral("QLDefault"));
        QCOMPARE(doc.libraryCalibrationIndex, -1);
        QVERIFY(doc.data.calibrationName.empty());
        QCOMPARE(doc.data.method.components.size(), size_t{9});
        QCOMPARE(doc.data.method.components.front().retentionTime, 0.55);
    }

    void choosingAMethodAndCurveQuantifiesWithThatCurve()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("gases.chg", demoGasChromatogram()));
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        doc.data.sampleType = 2;
        doc.detectPeaks();
        const PeakRecord* h2 = peakNear(doc, 0.55);
        const PeakRecord* ch4 = peakNear(doc, 0.65);
        QVERIFY(h2 && ch4);
        QCOMPARE(h2->gasContent, 0.0);

        chooseInDialog(*f.frame, [](CMethodChoiceDlg& d) {
            if (d.windowTitle() != QString::fromUtf8("样品分析方法选择"))
                return false;
            d.methodList()->setCurrentRow(0);
            d.curveList()->setCurrentRow(1);
            return true;
        });
        QCOMPARE(doc.data.calibrationName, std::string("BDefaultCali"));
        QCOMPARE(doc.libraryMethodIndex, 0);
        QCOMPARE(doc.libraryCalibrationIndex, 1);
        QCOMPARE(doc.data.sampleType, 0);
        QCOMPARE(peakNear(doc, 0.55)->gasContent, 0.0);
        QVERIFY2(std::abs(peakNear(doc, 0.65)->gasContent - 100.0) < 5.0,
                 "the standard's CH4 comes out as its own");

        bool preset = false;
        chooseInDialog(*f.frame, [&preset](CMethodChoiceDlg& d) {
            preset = d.methodList()->currentRow() == 0 && d.curveList()->currentRow() == 1;
            d.curveList()->setCurrentRow(0);
            return true;
        });
        QVERIFY2(preset, "the document's method and curve are preset");
        QCOMPARE(doc.data.calibrationName, std::string("ADefaultCali"));
        QVERIFY(std::abs(peakNear(doc, 0.55)->gasContent - 500.0) < 25.0);
        QCOMPARE(peakNear(doc, 0.65)->gasContent, 0.0);

        // Cancel changes nothing; a method without a curve unlinks the curve.
        chooseInDialog(*f.frame, [](CMethodChoiceDlg& d) {
            d.curveList()->setCurrentRow(1);
            return false;
        });
        QCOMPARE(doc.libraryCalibrationIndex, 0);
        chooseInDialog(*f.frame, [](CMethodChoiceDlg& d) {
            d.curveList()->setCurrentRow(-1);
            return true;
        });
        QCOMPARE(doc.libraryCalibrationIndex, -1);
        QVERIFY(doc.data.calibrationName.empty());
    }

    void aChannelRunsAfterUsingAMethodAndCannotChooseWhileRunning()
    {
        UiFixture f([](const DataRoot& root) {
            QSettings ini(qs(root.settingsFile()), QSettings::IniFormat);
            ini.setValue("System/AllStart", 0);
            ini.setValue("System/Merge", 0);
        });
        f.frame->runController().setSimulationSpeed(5.0);
        QVERIFY(f.frame->runController().startSimulation());
        CChildFrame* a = f.frame->openChannel(0);
        CChrEDoc& doc = a->document();
        doc.libraryMethodIndex = -1;
        doc.libraryCalibrationIndex = -1;
        f.frame->actions().run->trigger();
        QCOMPARE(f.prompts.messages.last(),
                 QString::fromUtf8("请先在左侧方法文件树视图里选择一个分析方法!"));

        f.prompts.yesNo = {true};
        activate(*f.frame, QStringLiteral("QLDefault"), QStringLiteral("ADefaultCali"));
        QCOMPARE(doc.libraryMethodIndex, 0);
        f.frame->updateCommandStates();
        QVERIFY(f.frame->actions().chooseMethod->isEnabled());

        f.frame->actions().run->trigger();
        QCOMPARE(doc.acquiring, 1);
        f.frame->updateCommandStates();
        QVERIFY(!f.frame->actions().chooseMethod->isEnabled());
        QVERIFY(!MethodSelection::choose(doc, {0, 1}));
        QCOMPARE(doc.libraryCalibrationIndex, 0);

        f.prompts.yesNo = {true};
        f.frame->actions().cancel->trigger();
        QCOMPARE(doc.acquiring, 0);
    }
};

int runMethodChoiceTests(int argc, char** argv)
{
    MethodChoiceTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MethodChoiceTest.moc"
