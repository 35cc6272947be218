#include "UiFixture.h"

#include "app/MethodSelection.h"
#include "ui/methods/MethodChoiceDialog.h"
#include "ui/run/RunController.h"
#include "ui/shell/FileTreeView.h"
#include "ui/shell/MethodTreeNode.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

#include <cmath>
#include <filesystem>

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

// Double-clicks the first method or curve of the tree whose text starts so.
void activate(CMainFrame& frame, const QString& text)
{
    QTreeWidget* tree = frame.fileTree();
    QTreeWidgetItem* item =
        tree->findItems(text, Qt::MatchStartsWith | Qt::MatchRecursive).value(0);
    QVERIFY(item);
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

double contentNear(const CChrEDoc& doc, double minutes)
{
    for (const PeakRecord& p : doc.data.peaks)
        if (std::abs(p.retentionTime - minutes) < 0.02)
            return p.gasContent;
    return -1.0;
}

// Picks in the choice dialog and confirms.
void chooseInDialog(CMainFrame& frame, std::function<void(MethodChoiceDialog&)> pick)
{
    whenDialogShows([pick](QDialog& d) {
        auto& dialog = dynamic_cast<MethodChoiceDialog&>(d);
        pick(dialog);
        dialog.confirmButton()->click();
    });
    frame.actions().chooseMethod->trigger();
}

}  // namespace

class MethodChoiceTest : public QObject {
    Q_OBJECT
private slots:
    // The tree lists the shown methods with their curves and follows the library; a method
    // and curve chosen for a chromatogram quantify it with that curve.
    void theTreeFollowsTheLibraryAndAChosenCurveQuantifies()
    {
        UiFixture f;
        const QStringList shipped{QString::fromUtf8("QLDefault-显示－AB通道默认方法")};
        QCOMPARE(childTexts(f.frame->methodTree()->node()), shipped);
        QCOMPARE(childTexts(f.frame->methodTree()->node()->child(0)),
                 (QStringList{QStringLiteral("ADefaultCali"), QStringLiteral("BDefaultCali")}));

        MethodLibrary& library = f.app->library();
        library.setAsk([](const std::string&) { return true; });
        MethodLibraryEntry extra;
        extra.method.name = "Extra";
        extra.curves.resize(1);
        extra.curves[0].name = "C1";
        QVERIFY(library.addNew(extra).ok());
        QCOMPARE(childTexts(f.frame->methodTree()->node()->child(1)),
                 QStringList{QStringLiteral("C1")});
        QVERIFY(library.hide(1).ok());
        QCOMPARE(childTexts(f.frame->methodTree()->node()),
                 shipped + QStringList{QString::fromUtf8("Extra-已隐藏")});

        // No method reads as a file.
        f.writeSample("one.chg");
        f.frame->fileTree()->refresh();
        QCOMPARE(f.frame->fileTree()->files(), QStringList{QStringLiteral("one.chg")});

        // Choosing a method and curve quantifies with that curve.
        CChildFrame* w =
            f.frame->openDocument(f.writeSample("gases.chg", sample::demoGasChromatogram()));
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        doc.data.sampleType = 2;
        doc.detectPeaks();
        QCOMPARE(contentNear(doc, 0.55), 0.0);  // H2, channel A

        chooseInDialog(*f.frame, [](MethodChoiceDialog& d) {
            d.methodList()->setCurrentRow(0);
            d.curveList()->setCurrentRow(1);
        });
        QCOMPARE(doc.data.calibrationName, std::string("BDefaultCali"));
        QCOMPARE(doc.data.sampleType, 0);
        QCOMPARE(contentNear(doc, 0.55), 0.0);
        QVERIFY2(std::abs(contentNear(doc, 0.65) - 100.0) < 5.0, "CH4 comes out as the standard's");

        bool preset = false;
        chooseInDialog(*f.frame, [&preset](MethodChoiceDialog& d) {
            preset = d.methodList()->currentRow() == 0 && d.curveList()->currentRow() == 1;
            d.curveList()->setCurrentRow(0);
        });
        QVERIFY2(preset, "the document's method and curve are preset");
        QCOMPARE(doc.data.calibrationName, std::string("ADefaultCali"));
        QVERIFY2(std::abs(contentNear(doc, 0.55) - 500.0) < 25.0, "H2 comes out as the standard's");
        QCOMPARE(contentNear(doc, 0.65), 0.0);
    }

    // Another workstation saves the method into the shared folder after this one read it;
    // each of this one's saves is then asked about and goes as the operator chooses: nothing,
    // reload, save as without a name, save as "Mine", overwrite.
    void aMethodAnotherWorkstationSavedIsSavedOnlyAsTheOperatorChooses()
    {
        UiFixture f;
        MethodLibrary& library = f.app->library();
        const std::string path = library.at(0).path;
        const std::string copy = library.pathFor("Mine");
        const std::optional<int> choices[] = {std::nullopt, 0, 2, 2, 1};
        for (int n = 1; n <= 5; ++n) {
            const std::string other = "other " + std::to_string(n);
            const std::string mine = "mine " + std::to_string(n);
            MethodLibraryEntry theirs = loadMethodFile(path);
            theirs.method.tester = other;
            saveMethodFile(theirs);
            f.prompts.questions.clear();
            f.prompts.choices = {choices[n - 1]};
            f.prompts.texts = {n == 4 ? std::optional<QString>(QStringLiteral("Mine"))
                                      : std::nullopt};
            const size_t at = static_cast<size_t>(library.indexOf("QLDefault"));
            MethodLibraryEntry edited = library.at(at);
            edited.method.tester = mine;
            QCOMPARE(library.edit(at, edited).ok(), n >= 4);
            QCOMPARE(f.prompts.questions.value(0),
                     QString::fromUtf8("方法文件QLDefault读入后已被另一工作站修改。"));
            QCOMPARE(loadMethodFile(path).method.tester, n == 5 ? mine : other);
            QCOMPARE(std::filesystem::exists(copy), n >= 4);
            if (n == 4)
                QCOMPARE(loadMethodFile(copy).method.tester, mine);
            if (n == 2)  // reloading takes the other's method into this library
                QCOMPARE(library.at(at).method.tester, other);
        }
    }

    void aChannelRunsOnceItUsesAMethodFromTheTree()
    {
        UiFixture f({{"System/AllStart", 0}});
        f.frame->runController().setSimulationSpeed(5.0);
        QVERIFY(f.frame->runController().startSimulation());
        CChildFrame* w = f.frame->openChannel(0);
        CChrEDoc& doc = w->document();
        doc.libraryMethodIndex = -1;
        doc.data.method.integration.stopTime = 1.0;
        doc.setModifiedFlag(false);
        f.frame->actions().run->trigger();
        QCOMPARE(f.prompts.messages.last(),
                 QString::fromUtf8("请先在左侧方法文件树视图里选择一个分析方法!"));

        activate(*f.frame, QStringLiteral("QLDefault"));  // unscripted: cancelled
        QCOMPARE(f.prompts.questions,
                 QStringList{QString::fromUtf8("您确定要使用分析方法-QLDefault吗?")});
        QCOMPARE(doc.libraryMethodIndex, -1);
        QCOMPARE(doc.data.method.integration.stopTime, 1.0);
        QVERIFY(!doc.isModified());

        f.prompts.yesNo = {true};
        activate(*f.frame, QStringLiteral("BDefaultCali"));
        QCOMPARE(doc.libraryCalibrationIndex, 1);
        QCOMPARE(doc.data.method.integration.stopTime, 6.0);     // the library method's
        QCOMPARE(doc.data.method.components.size(), size_t{6});  // the channel B gases
        QVERIFY(w->windowTitle().endsWith(QLatin1Char('*')));

        // The method alone leaves no curve of the former choice behind.
        f.prompts.yesNo = {true};
        activate(*f.frame, QStringLiteral("QLDefault"));
        QCOMPARE(doc.libraryCalibrationIndex, -1);
        QVERIFY(doc.data.calibrationName.empty());
        QCOMPARE(doc.data.method.components.size(), size_t{9});

        f.frame->actions().run->trigger();
        QVERIFY(doc.acquiring());
        f.frame->updateCommandStates();
        QVERIFY(!f.frame->actions().chooseMethod->isEnabled());
        QVERIFY(!MethodSelection::choose(doc, {0, 1}));
        QCOMPARE(doc.libraryCalibrationIndex, -1);
        f.prompts.yesNo = {true};
        f.frame->actions().cancel->trigger();
        QVERIFY(!doc.acquiring());
    }
};

int runMethodChoiceTests(int argc, char** argv)
{
    MethodChoiceTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MethodChoiceTest.moc"
