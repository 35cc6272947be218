#include "DialogShot.h"
#include "UiFixture.h"

#include "processing/IntegrationProposal.h"
#include "processing/TimeEventType.h"
#include "processing/TimeProgramRows.h"
#include "ui/calibration/PeakInfoDialog.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/ManualEventDialog.h"
#include "ui/methods/CPP_DetectParaDlg.h"
#include "ui/methods/MethodLibraryCommands.h"
#include "ui/methods/MethodSheet.h"
#include "ui/methods/ReportSettingsPage.h"
#include "ui/reports/ReportCommands.h"
#include "ui/shell/CProgStatusBar.h"
#include "ui/shell/MethodTreeNode.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <filesystem>

using namespace dgaws;
using namespace dgaws::test;

namespace {

QStringList methodLabels(CMainFrame& frame)
{
    QStringList out;
    const QTreeWidgetItem* node = frame.methodTree()->node();
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

// Triggers a command of the tree's context menu for the method at `index` (-1: none).
void treeCommand(CMainFrame& frame, int index, const QString& text)
{
    std::optional<MethodChoice> choice;
    if (index >= 0)
        choice = MethodChoice{index, -1};
    QMenu* menu = frame.methodCommands().menuFor(choice);
    QAction* action = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == text)
            action = a;
    QVERIFY2(action && action->isEnabled(), qPrintable(text));
    action->trigger();
    delete menu;
}

// Opens the chromatogram's method sheet and lets `edit` fill it before OK.
void editDocumentMethod(CMainFrame& frame, std::function<void(MethodSheet&)> edit)
{
    whenDialogShows([edit](QDialog& d) {
        auto& sheet = dynamic_cast<MethodSheet&>(d);
        edit(sheet);
        sheet.accept();
    });
    frame.actions().editMethod->trigger();
}

CChildFrame* detectedSample(UiFixture& f)
{
    CChildFrame* w = f.frame->openDocument(f.writeSample("sheet.chg"));
    if (w) {
        f.prompts.yesNo = {true};
        w->document().detectPeaks();
    }
    return w;
}

}  // namespace

class MethodSheetTest : public QObject {
    Q_OBJECT
private slots:
    // Typed values and the proposal change the detection once with the sheet's OK, one undo
    // step each; a library method proposes from the active window, and without one it cannot.
    void theIntegrationPageAndItsProposalChangeDetectionWithOneUndoStep()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        const AnalysisMethod original = doc.data.method;
        const int before = doc.data.peaks.size();
        QVERIFY(before >= 9);
        // A minimum area above the small peaks excludes them; only evaluation is needed.
        editDocumentMethod(*f.frame, [](MethodSheet& s) {
            saveDialogShot(s, "method-sheet-integration");
            s.integrationPage()->minArea()->setText(QStringLiteral("5000"));
        });
        QCOMPARE(doc.data.method.integration.minArea, 5000.0);
        const int kept = doc.data.peaks.size();  // the excluded ones are deleted
        QVERIFY(kept > 0 && kept < before);
        QVERIFY(w->windowTitle().endsWith(QLatin1Char('*')));
        // A slope no rise reaches leaves nothing to detect; undo brings the peaks back.
        editDocumentMethod(*f.frame, [](MethodSheet& s) {
            s.integrationPage()->minArea()->setText(QStringLiteral("0"));
            s.integrationPage()->slope()->setText(QStringLiteral("1e9"));
        });
        QCOMPARE(doc.data.peaks.size(), 0);
        f.frame->updateCommandStates();
        f.frame->peakEditActions().undo->trigger();
        QCOMPARE(doc.data.peaks.size(), kept);

        // The sheet's OK changed what was typed, and nothing the other pages show.
        const AnalysisMethod typed = doc.data.method;
        AnalysisMethod expectedMethod = original;
        expectedMethod.integration.minArea = 5000.0;
        QVERIFY(typed == expectedMethod);
        const PeakTable typedPeaks = doc.data.peaks;
        const IntegrationProposal expected = proposeIntegration(
            doc.data, areaDivisor(doc.engine.settings().cacuFrequence, doc.data.pointsPerSecond));
        QVERIFY(expected.peakFound);
        editDocumentMethod(*f.frame, [&](MethodSheet& s) {
            CPP_DetectParaDlg* page = s.integrationPage();
            QVERIFY(page->suggestButton()->isEnabled());
            page->suggestButton()->click();
            QCOMPARE(page->peakWidth()->text().toInt(), expected.params.peakWidth);
            QCOMPARE(page->smoothWidth()->text().toInt(), expected.params.smoothWidth);
            QCOMPARE(page->slope()->text().toDouble(), expected.params.slope);
            QCOMPARE(page->minArea()->text().toDouble(), expected.params.minArea);
            QCOMPARE(page->timeDoubling()->text().toDouble(), 0.0);
            QVERIFY(page->proposalFigures()->text().contains(QStringLiteral("最窄峰半峰宽")));
        });
        applyProposal(expected, expectedMethod.integration);
        QVERIFY(doc.data.method == expectedMethod);
        QVERIFY(doc.data.peaks.size() > 0);
        f.frame->updateCommandStates();
        f.frame->peakEditActions().undo->trigger();
        QVERIFY(doc.data.method == typed);
        QCOMPARE(doc.data.peaks, typedPeaks);

        const auto libraryCanPropose = [&f] {
            bool enabled = false;
            whenDialogShows([&enabled](QDialog& d) {
                enabled =
                    dynamic_cast<MethodSheet&>(d).integrationPage()->suggestButton()->isEnabled();
                d.reject();
            });
            treeCommand(*f.frame, -1, QStringLiteral("新建分析方法(&N)"));
            return enabled;
        };
        QVERIFY(libraryCanPropose());
        doc.setModifiedFlag(false);  // nothing to ask on closing
        f.frame->mdiArea()->closeAllSubWindows();
        QApplication::processEvents();
        QCOMPARE(f.frame->activeFrame(), nullptr);
        QVERIFY(!libraryCanPropose());
    }

    // Bad input is named and focused and keeps the sheet open; the report settings page, with
    // the command line's checks, edits what the next report prints.
    void badInputIsRefusedAndTheReportSettingsPageChangesThePrint()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        doc.data.method.serialNo = "2024041101";
        bool refused = true;
        editDocumentMethod(*f.frame, [&](MethodSheet& sheet) {
            const QStringList shots{QStringLiteral("components"), QStringLiteral("quantitation")};
            for (int page = 1; page < sheet.tabs()->count(); ++page) {
                sheet.tabs()->setCurrentIndex(page);
                saveDialogShot(sheet,
                               QStringLiteral("method-sheet-") +
                                   shots.value(page - 1, QStringLiteral("page%1").arg(page + 1)));
            }
            CPP_DetectParaDlg* integration = sheet.integrationPage();
            const QString stop = integration->stopTime()->text();
            // Each bad field in turn: the sheet stays, on the field, and says why.
            const auto refusedOn = [&](QLineEdit* field, const char* bad, const QString& good) {
                field->setText(QString::fromLatin1(bad));
                sheet.accept();
                refused = refused && sheet.isVisible() && sheet.focusWidget() == field;
                field->setText(good);
            };
            integration->judgeWidth()->setText(QStringLiteral("4"));
            refusedOn(integration->slope(), "3x", QStringLiteral("30"));
            QCOMPARE(sheet.tabs()->currentIndex(), 0);
            refusedOn(integration->judgeWidth(), "4", QStringLiteral("16"));
            // A run of no length, or of more than a day, is no run.
            refusedOn(integration->stopTime(), "0", stop);
            refusedOn(integration->stopTime(), "1e6", stop);

            auto* page = sheet.page<ReportSettingsPage>();
            QVERIFY(page);
            sheet.tabs()->setCurrentWidget(page);
            page->title()->setText(QStringLiteral("东郊实验室色谱报告"));
            page->language()->setCurrentIndex(1);
            page->section(0)->setChecked(false);  // no chromatogram
            for (int c = 0; c < page->columns()->count(); ++c)
                if (page->columns()->item(c)->text() == QStringLiteral("峰高"))
                    page->columns()->item(c)->setCheckState(Qt::Unchecked);
            refusedOn(page->margin(0), "61", QStringLiteral("15"));
            saveDialogShot(sheet, "method-sheet-report-settings");
        });
        QVERIFY(refused);
        QCOMPARE(
            f.prompts.messages,
            (QStringList{QStringLiteral("斜率必须是数字。"), QStringLiteral("判峰宽度不能小于5。"),
                         QStringLiteral("停止时间必须大于0。"),
                         QStringLiteral("停止时间不能大于1440。"),
                         qs(ReportSettingsPage::kMarginRange)}));
        QCOMPARE(doc.data.method.integration.slope, 30.0);
        const ReportSettings& r = doc.data.method.report;
        QCOMPARE(r.title, std::string("东郊实验室色谱报告"));
        QCOMPARE(r.showChromatogram, 0);

        const Report printed =
            f.frame->reportCommands().reportOf(*w, ReportCommands::Kind::Analysis);
        QCOMPARE(printed.title, r.title);
        QCOMPARE(printed.marginLeft, 15.0);
        QCOMPARE(printed.language, ReportLanguage::English);
        QCOMPARE(printed.reportNumber, std::string("2024041101"));
        for (const ReportBlock& b : printed.blocks) {
            QVERIFY(!std::holds_alternative<ReportGraph>(b));
            if (const auto* table = std::get_if<ReportTable>(&b))
                for (const std::string& header : table->headers)
                    QVERIFY(header != "峰高" && header != "Height");
        }
    }

    // A row of the time program, from the time scale or from the page, changes the detection
    // from its time on.
    void timeProgramRowsChangeDetectionFromTheirTimeOn()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        f.frame->updateCommandStates();
        f.frame->peakEditActions().timeEvent->setChecked(true);
        whenDialogShows([](QDialog& d) {
            dynamic_cast<TimeEventDialog&>(d).type()->setCurrentIndex(
                TimeEventType::IntegrationOff);
            d.accept();
        });
        CChrEGraphView* graph = w->graph();
        const int x = static_cast<int>(graph->xAxis->coordToPixel(5.0));
        QTest::mouseClick(graph, Qt::LeftButton, {},
                          QPoint(x, graph->axisRect()->rect().bottom() + 6));
        QCOMPARE(doc.data.method.timeProgram.size(), size_t{1});
        QVERIFY(std::abs(doc.data.method.timeProgram[0].time - 5.0) < 0.05);
        QVERIFY(doc.data.method.timeProgramEnabled);
        QVERIFY(doc.data.peaks.size() > 0);
        for (const PeakRecord& p : doc.data.peaks)
            QVERIFY(p.retentionTime < 5.0);
        QVERIFY(!f.frame->peakEditActions().timeEvent->isChecked());

        editDocumentMethod(*f.frame, [](MethodSheet& s) {
            CPP_DetectParaDlg* page = s.integrationPage();
            page->timeProgramSwitch()->setChecked(false);
            QVERIFY(!page->addButton()->isEnabled());
            page->timeProgramSwitch()->setChecked(true);
            QVERIFY(page->addButton()->isEnabled());
            // The add button's row starts at 0 min, width 2, slope 10, no event.
            whenDialogShows([](QDialog& d) {
                auto& row = dynamic_cast<TimeEventDialog&>(d);
                QCOMPARE(row.time()->text(), QStringLiteral("0.000"));
                QCOMPARE(row.peakWidth()->text(), QStringLiteral("2"));
                QCOMPARE(row.slope()->text(), QStringLiteral("10"));
                QCOMPARE(row.type()->currentIndex(), 0);
                saveDialogShot(row, "time-program-row");
                row.time()->setText(QStringLiteral("3"));
                row.type()->setCurrentIndex(TimeEventType::IntegrationOff);
                row.accept();
            });
            page->addButton()->click();
            QCOMPARE(page->addTimeEvent(newTimeEvent(1.0)), 0);
            QCOMPARE(page->timeProgram()->item(1, 3)->text(), QStringLiteral("禁止积分"));
            QCOMPARE(page->timeProgram()->item(0, 2)->text(), QStringLiteral("10.00"));
        });
        QCOMPARE(doc.data.method.timeProgram.size(), size_t{3});
        QVERIFY(doc.data.peaks.size() > 0);
        for (const PeakRecord& p : doc.data.peaks)
            QVERIFY2(p.retentionTime < 3.0, "no peak after integration is switched off");
    }

    void libraryMethodsAreMadeHiddenShownDeletedAndMadeDefault()
    {
        UiFixture f;
        whenDialogShows([](QDialog& d) {
            auto& sheet = dynamic_cast<MethodSheet&>(d);
            sheet.name()->setText(QStringLiteral("M2"));
            sheet.integrationPage()->slope()->setText(QStringLiteral("45"));
            sheet.accept();
        });
        treeCommand(*f.frame, -1, QStringLiteral("新建分析方法(&N)"));
        MethodLibrary& library = f.app->library();
        const int m2 = library.indexOf("M2");
        QVERIFY(m2 >= 0);
        QCOMPARE(library.at(static_cast<size_t>(m2)).method.integration.slope, 45.0);
        QVERIFY(f.logged("用户新建了一个名为M2的分析方法"));
        const std::string path = library.at(static_cast<size_t>(m2)).path;

        f.prompts.yesNo = {true};
        treeCommand(*f.frame, m2, QStringLiteral("隐藏分析方法(&H)"));
        QVERIFY(methodLabels(*f.frame).contains(QString::fromUtf8("M2-已隐藏")));
        f.prompts.files = {qs(path)};
        treeCommand(*f.frame, -1, QStringLiteral("载入分析方法(&L)..."));
        QVERIFY(methodLabels(*f.frame).contains(QString::fromUtf8("M2-显示")));

        treeCommand(*f.frame, m2, QStringLiteral("设为A通道默认方法(&A)"));
        QCOMPARE(f.app->settings().ADefaultProg, std::string("M2"));
        QVERIFY(methodLabels(*f.frame).contains(QString::fromUtf8("M2-显示－A通道默认方法")));
        QCOMPARE(QSettings(qs(f.root.settingsFile()), QSettings::IniFormat)
                     .value(QStringLiteral("System/ADefaultProg"))
                     .toString(),
                 QStringLiteral("M2"));

        f.prompts.yesNo = {false};
        treeCommand(*f.frame, m2, QStringLiteral("删除分析方法(&D)"));
        QVERIFY(library.indexOf("M2") >= 0);
        f.prompts.yesNo = {true};
        treeCommand(*f.frame, m2, QStringLiteral("删除分析方法(&D)"));
        QCOMPARE(library.indexOf("M2"), -1);
        QVERIFY(!std::filesystem::exists(path));
        QVERIFY(f.logged("用户删除了一个名为M2的分析方法"));
        QVERIFY(f.prompts.questions.contains(QString::fromUtf8("您确定要删除该方法文件吗?")));
    }

    // By hand, a peak's identity keeps the elution order, remembers the answer about the
    // component's time and deletes after yes; a new name becomes a library component that
    // the next detection identifies.
    void peakIdentityByHandKeepsOrderAndANewComponentIsIdentifiedNextRun()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        const auto peakNear = [&doc](double minutes) {
            for (int i = 0; i < doc.data.peaks.size(); ++i)
                if (std::abs(doc.data.peaks[i].retentionTime - minutes) < 0.03)
                    return i;
            return -1;
        };
        const auto& table = doc.data.method.components;
        const auto n2Time = [&table] {
            return table[static_cast<size_t>(componentNamed(table, "N2(氮气)"))].retentionTime;
        };
        const double n2Before = n2Time();
        const auto editPeak = [&f, &doc](int peak, std::function<void(PeakInfoDialog&)> edit) {
            doc.selectedPeak = peak;
            f.frame->updateCommandStates();
            whenDialogShows([edit](QDialog& d) { edit(dynamic_cast<PeakInfoDialog&>(d)); });
            f.frame->peakEditActions().peakInfo->trigger();
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        };

        // A component that elutes after earlier entries is refused for an early peak.
        QString afterRefusal = QStringLiteral("unset");
        editPeak(peakNear(0.80), [&afterRefusal](PeakInfoDialog& info) {
            const int n2 = info.component()->findText(QString::fromUtf8("N2(氮气)"));
            info.component()->setCurrentIndex(n2);
            emit info.component()->activated(n2);
            afterRefusal = info.component()->currentText();
            info.reject();
        });
        QCOMPARE(f.prompts.messages.value(0), qs(PeakInfoEditor::kOutOfOrder));
        QCOMPARE(afterRefusal, QString());

        // Kept, and remembered: the second time nothing is asked and the time stays.
        int asked = 0;
        for (const char* time : {"1.950", "1.960"})
            editPeak(peakNear(1.90), [&asked, time](PeakInfoDialog& info) {
                info.retentionTime()->setText(QString::fromUtf8(time));
                if (asked == 0)
                    whenDialogShows([&asked](QDialog& d) {
                        auto& ask = dynamic_cast<UpdateRTimeDialog&>(d);
                        ++asked;
                        saveDialogShot(ask, "update-retention-time");
                        ask.rememberBox()->setChecked(true);
                        ask.keepButton()->click();
                    });
                info.accept();
            });
        QCOMPARE(asked, 1);
        QCOMPARE(f.app->settings().ShowUpdateRTimeDlg, 0);
        QCOMPARE(f.app->settings().LastUpdateRTime, 0);
        QCOMPARE(n2Time(), n2Before);

        // An empty name deletes the peak's component after the question.
        f.prompts.yesNo = {true};
        const int n2Peak = peakNear(1.90);
        editPeak(n2Peak, [](PeakInfoDialog& info) {
            info.component()->setEditText(QString());
            info.accept();
        });
        QVERIFY(f.prompts.questions.contains(
            QString::fromUtf8("真的要从组份表中删除[N2(氮气)]组份吗?")));
        QCOMPARE(componentNamed(table, "N2(氮气)"), -1);

        // The peak, now unidentified, takes a new name only with the box ticked.
        f.prompts.messages.clear();
        editPeak(n2Peak, [](PeakInfoDialog& info) {
            info.component()->setEditText(QStringLiteral("Gas-X"));
            info.accept();
            QVERIFY(info.isVisible());
            info.addNew()->setChecked(true);
            saveDialogShot(info, "peak-info");
            info.accept();
        });
        QCOMPARE(f.prompts.messages.value(0),
                 QString::fromUtf8("如果您是在添加新组份，请勾选“添加新组份到组份表”"));
        const int m = f.app->library().indexOf("QLDefault");
        QVERIFY(m >= 0);
        const MethodLibraryEntry& entry = f.app->library().at(static_cast<size_t>(m));
        QVERIFY(componentNamed(entry.method.components, "Gas-X") >= 0);
        QVERIFY(componentNamed(loadMethodFile(entry.path).method.components, "Gas-X") >= 0);
        QVERIFY(f.logged("用户保存了一个名为QLDefault.she的分析方法"));

        f.prompts.yesNo = {true};
        doc.detectPeaks();
        int named = 0;
        for (const PeakRecord& p : doc.data.peaks)
            named += p.componentName == "Gas-X" ? 1 : 0;
        QCOMPARE(named, 1);
    }

    void theManualEventTableClearsOnlyAfterYes()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        doc.data.method.manualEvents.resize(2);
        doc.data.method.manualEvents[1].kind = 4;
        doc.setModifiedFlag(false);
        int shownRows = -1;
        whenDialogShows([&shownRows](QDialog& d) {
            auto& table = dynamic_cast<ManualEventDialog&>(d);
            saveDialogShot(table, "manual-event-table");
            table.clearButton()->click();  // unscripted: No
            shownRows = table.list()->rowCount();
            table.clearButton()->click();
            table.replay()->setChecked(true);
            table.accept();
        });
        f.prompts.yesNo = {false, true};
        f.frame->peakEditActions().manualEvents->trigger();
        QCOMPARE(shownRows, 2);
        QVERIFY(doc.data.method.manualEvents.empty());
        QVERIFY(doc.data.method.useManualEvents);
        QVERIFY(doc.isModified());
        QCOMPARE(f.prompts.questions.count(QString::fromUtf8("确认要全部删除吗?")), 2);

        // The status bar names the sample kind and the calculation.
        ChromatogramData standard = sample::makeSampleChromatogram();
        standard.sampleType = 1;
        standard.standardLevel = 2;
        standard.method.calcMethod = 3;
        standard.method.groupCalc = 1;
        QVERIFY(f.frame->openDocument(f.writeSample("std.chg", standard)));
        f.frame->updateCommandStates();
        CProgStatusBar* bar = f.frame->progressBar();
        QCOMPARE(bar->paneText(CProgStatusBar::SampleKind), QString::fromUtf8("标样：3"));
        QCOMPARE(bar->paneText(CProgStatusBar::Analysis), QString::fromUtf8("外标法-分组"));
    }
};

int runMethodSheetTests(int argc, char** argv)
{
    MethodSheetTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MethodSheetTest.moc"
