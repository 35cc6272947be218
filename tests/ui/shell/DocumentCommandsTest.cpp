#include "UiFixture.h"

#include "ui/graph/BackgroundDialog.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/CResultListView.h"
#include "ui/records/SampleInfoDialog.h"
#include "ui/settings/ColorSelectDialog.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// A channel document as a run leaves it: data, no path yet.
CChildFrame* finishedChannel(UiFixture& f)
{
    CChildFrame* w = f.frame->openChannel(0);
    CChrEDoc& doc = w->document();
    const ChromatogramData sample = sample::makeSampleChromatogram();
    doc.data.signal = sample.signal;
    doc.data.peaks = sample.peaks;
    doc.data.hasData = 1;
    doc.acquiredCount = doc.data.signal.count();
    doc.setModifiedFlag(true);
    w->refreshViews();
    f.frame->updateCommandStates();
    return w;
}

}  // namespace

class DocumentCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // Save uses the proposed name and the tree shows the file; a cancelled "save as" forgets
    // the path, and a chosen name is taken.
    void saveUsesTheProposedNameAndCancellingSaveAsForgetsThePath()
    {
        UiFixture f;
        CChildFrame* w = finishedChannel(f);
        ChannelRun running{.acquiring = true};
        w->document().attachRun(&running);
        f.frame->updateCommandStates();
        QVERIFY2(!f.frame->actions().save->isEnabled(), "no save while sampling");
        w->document().attachRun(nullptr);
        f.frame->updateCommandStates();
        QVERIFY(f.frame->actions().save->isEnabled());

        w->document().pathName = "/nowhere/previous.chg";
        f.frame->actions().saveAs->trigger();  // unscripted: the dialog is cancelled
        QCOMPARE(f.prompts.lastSaveProposal, QStringLiteral("/nowhere/previous.chg"));
        QVERIFY(w->document().pathName.empty());
        QVERIFY(f.frame->fileTree()->files().isEmpty());
        f.frame->actions().saveAs->trigger();
        const std::string proposed = f.app->settings().ProjectPath + "/谱图文件名(未知).chg";
        QCOMPARE(f.prompts.lastSaveProposal, qs(proposed));
        f.frame->actions().save->trigger();
        QCOMPARE(w->document().pathName, proposed);
        QCOMPARE(f.frame->fileTree()->files(),
                 QStringList{QString::fromUtf8("谱图文件名(未知).chg")});
        const QString chosen = qs(f.app->settings().ProjectPath + "/sub/mine.chg");
        QDir().mkpath(QFileInfo(chosen).absolutePath());
        f.prompts.files = {chosen};
        f.frame->actions().saveAs->trigger();
        QCOMPARE(qs(w->document().pathName), chosen);
        QVERIFY(f.frame->fileTree()->files().contains(QStringLiteral("sub/mine.chg")));
    }

    // Colours come back from their dialog and redraw; the background is read and drawn and
    // leaves the document and its mark unchanged.
    void coloursAndTheBackgroundAreDrawnFromTheirDialogs()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_c.chg"));
        whenDialogShows([](QDialog& d) {
            auto& dialog = static_cast<ColorSelectDialog&>(d);
            dialog.setColor(6, 0x0000FF);  // trace: red in 0x00BBGGRR
            dialog.accept();
        });
        f.frame->actions().colors->trigger();
        QCOMPARE(w->windowTitle(), QStringLiteral("A_c.chg*"));
        QCOMPARE(w->graph()->graph(1)->pen().color(), QColor(255, 0, 0));
        whenDialogShows([](QDialog& d) {
            static_cast<ColorSelectDialog&>(d).setColor(6, 0x00FF00);
            d.reject();
        });
        f.frame->actions().colors->trigger();
        QCOMPARE(w->document().data.method.colors.traceColor, 0x0000FF);

        ChromatogramData reference = sample::makeSampleChromatogram(10, 5.0);
        const QString bg = f.writeSample("reference.chg", reference);
        whenDialogShows([bg](QDialog& d) {
            auto& dialog = static_cast<BackgroundDialog&>(d);
            dialog.fileEdit()->setText(bg);
            dialog.showBox()->setChecked(true);
            dialog.accept();
        });
        f.frame->actions().background->trigger();
        QCOMPARE(qs(w->document().backgroundFile), bg);
        QCOMPARE(w->graph()->backgroundSamples(), reference.signal.count());
        QVERIFY2(w->document().isModified(), "unsaved changes keep their mark");
        w->document().setModifiedFlag(false);
        f.frame->documentCommands().applyBackground(*w, bg, false, 0x00FF00);
        QCOMPARE(w->graph()->backgroundSamples(), 0);
        QVERIFY(!w->document().isModified());
        f.frame->documentCommands().applyBackground(*w, QStringLiteral("/no/such.chg"), true,
                                                    0x808080);
        QVERIFY(f.prompts.messages.last().startsWith(QString::fromUtf8("谱图文件载入失败。\n")));
        QCOMPARE(w->graph()->backgroundSamples(), 0);
    }

    void sampleInformationIsEditedAndTheOtherChannelFound()
    {
        UiFixture f;
        const QString path = qs(f.app->settings().ProjectPath + "/A_/A_20240305-01.chg");
        QDir().mkpath(QFileInfo(path).absolutePath());
        ChromatogramData data = sample::makeSampleChromatogram();
        data.injectionTime = OleDateTime::fromCivil(2024, 3, 5, 9, 8, 7);
        writeChromatogramFile(ss(path), data);
        CChildFrame* w = f.frame->openDocument(path);
        whenDialogShows([](QDialog& d) {
            auto& dialog = static_cast<SampleInfoDialog&>(d);
            QCOMPARE(dialog.injectionTime()->text(), QStringLiteral("2024-03-05 09:08:07"));
            dialog.serialNo()->setText(QStringLiteral("2024030501"));
            dialog.sampleType()->setCurrentIndex(1);
            dialog.standardNumber()->setValue(2);
            dialog.sampleAmount()->setValue(80.5);
            QTest::mouseClick(dialog.otherChannelButton(), Qt::LeftButton);
            dialog.accept();
        });
        f.frame->actions().sampleInfo->trigger();
        const CChrEDoc& doc = w->document();
        QCOMPARE(doc.data.method.serialNo, std::string("2024030501"));
        QCOMPARE(doc.data.standardLevel, 1);
        QCOMPARE(doc.data.sampleAmount, 80.5);
        QCOMPARE(qs(doc.data.linkedFile),
                 qs(f.app->settings().ProjectPath + "/B_/B_20240305-01.chg"));
    }

    void sampleInformationConfirmedUnchangedLeavesTheRecordAsItWas()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram();
        // Values the widgets cannot show exactly, and a sample type the list does not offer.
        data.sampleType = 2;
        data.standardLevel = 150;
        data.sampleAmount = 0.123456789;
        data.internalStdAmount = -1e12;
        data.method.calcMethod = 9;
        data.method.ambientPressure = 101.325;
        data.method.gasVolume = 1.23456;
        data.method.oilVolume = 40.0005;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_b.chg", data));
        w->document().quantify();
        const std::string before = storeChromatogram(w->document().data);
        QString shownType;
        whenDialogShows([&shownType](QDialog& d) {
            shownType = static_cast<SampleInfoDialog&>(d).sampleType()->currentText();
            d.accept();
        });
        f.frame->actions().sampleInfo->trigger();
        QCOMPARE(shownType, QStringLiteral("基线"));
        QVERIFY(storeChromatogram(w->document().data) == before);
    }

    void peakDetectionFindsThePeaksAndAsksBeforeDoingItAgain()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram();
        const int library = f.app->library().indexOf("QLDefault");
        QVERIFY(library >= 0);
        data.method.integration =
            f.app->library().at(static_cast<size_t>(library)).method.integration;
        data.peaks.clear();
        data.evaluated = 0;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_d.chg", data));
        QCOMPARE(w->results()->rowCount(), 1);
        f.frame->updateCommandStates();

        f.frame->actions().detectPeaks->trigger();
        QVERIFY(f.prompts.questions.isEmpty());
        const int found = w->document().data.peaks.size();
        QVERIFY2(found >= 5, qPrintable(QString::number(found)));
        QCOMPARE(w->results()->rowCount(), found + 1);

        w->document().data.peaks.removeAt(0);
        f.frame->actions().detectPeaks->trigger();  // unscripted: Cancel
        QCOMPARE(f.prompts.questions,
                 QStringList{QString::fromUtf8("该谱图色谱峰已经检测过，重新检测吗？")});
        QCOMPARE(w->document().data.peaks.size(), found - 1);

        ChannelRun running{.acquiring = true};
        w->document().attachRun(&running);
        f.frame->updateCommandStates();
        QVERIFY(!f.frame->actions().detectPeaks->isEnabled());
        w->document().attachRun(nullptr);
    }
};

int runDocumentCommandTests(int argc, char** argv)
{
    DocumentCommandsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "DocumentCommandsTest.moc"
