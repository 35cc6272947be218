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

bool logged(WorkstationApp& app, const std::string& text)
{
    for (const CRecord& r : app.eventLog().copy())
        if (r.text == text)
            return true;
    return false;
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
    void theIntegrationPageChangesDetectionOnceWithOneUndoStep()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
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
    }

    // The proposal is read from the active chromatogram, fills the page, says where it came
    // from and, like typed values, changes the detection once with the sheet's OK.
    void theProposalFillsThePageAndTakesEffectWithOk()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        const AnalysisMethod before = doc.data.method;
        const PeakTable peaksBefore = doc.data.peaks;
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
            saveDialogShot(s, "method-sheet-proposal");
        });
        IntegrationParams proposed = before.integration;
        applyProposal(expected, proposed);
        QVERIFY(doc.data.method.integration == proposed);
        QVERIFY(doc.data.peaks.size() > 0);
        f.frame->updateCommandStates();
        f.frame->peakEditActions().undo->trigger();
        QVERIFY(doc.data.method == before);
        QCOMPARE(doc.data.peaks, peaksBefore);

        // A library method proposes from the active window, and without one it cannot.
        bool enabled = false;
        whenDialogShows([&enabled](QDialog& d) {
            enabled = dynamic_cast<MethodSheet&>(d).integrationPage()->suggestButton()->isEnabled();
            d.reject();
        });
        treeCommand(*f.frame, -1, QStringLiteral("新建分析方法(&N)"));
        QVERIFY(enabled);
        doc.setModifiedFlag(false);  // nothing to ask on closing
        for (QMdiSubWindow* sub : f.frame->mdiArea()->subWindowList())
            if (sub->widget() == w)
                QVERIFY(sub->close());
        QApplication::processEvents();
        QCOMPARE(f.frame->activeFrame(), nullptr);
        whenDialogShows([&enabled](QDialog& d) {
            enabled = dynamic_cast<MethodSheet&>(d).integrationPage()->suggestButton()->isEnabled();
            d.reject();
        });
        treeCommand(*f.frame, -1, QStringLiteral("新建分析方法(&N)"));
        QVERIFY(!enabled);
    }

    void badInputIsNamedFocusedAndChangesNothing()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        const AnalysisMethod kept = doc.data.method;
        bool stayedOpen = false;
        bool focused = false;
        whenDialogShows([&](QDialog& d) {
            auto& sheet = dynamic_cast<MethodSheet&>(d);
            sheet.tabs()->setCurrentIndex(2);
            saveDialogShot(sheet, "method-sheet-quantitation");
            sheet.tabs()->setCurrentIndex(1);
            saveDialogShot(sheet, "method-sheet-components");
            for (int page = 3; page < sheet.tabs()->count(); ++page) {
                sheet.tabs()->setCurrentIndex(page);
                saveDialogShot(sheet, QStringLiteral("method-sheet-page%1").arg(page + 1));
            }
            sheet.integrationPage()->slope()->setText(QStringLiteral("3x"));
            sheet.integrationPage()->judgeWidth()->setText(QStringLiteral("4"));
            sheet.accept();
            stayedOpen = sheet.isVisible() && sheet.tabs()->currentIndex() == 0;
            focused = sheet.focusWidget() == sheet.integrationPage()->slope();
            sheet.integrationPage()->slope()->setText(QStringLiteral("30"));
            sheet.accept();  // the history needs five entries
            focused = focused && sheet.focusWidget() == sheet.integrationPage()->judgeWidth();
            sheet.integrationPage()->judgeWidth()->setText(QStringLiteral("16"));
            // A run of no length, or of more than a day, is no run.
            for (const char* stop : {"0", "1e6"}) {
                sheet.integrationPage()->stopTime()->setText(QString::fromLatin1(stop));
                sheet.accept();
                focused = focused && sheet.isVisible() &&
                    sheet.focusWidget() == sheet.integrationPage()->stopTime();
            }
            sheet.reject();
        });
        f.frame->actions().editMethod->trigger();
        QVERIFY(stayedOpen);
        QVERIFY(focused);
        QCOMPARE(
            f.prompts.messages,
            (QStringList{QStringLiteral("斜率必须是数字。"), QStringLiteral("判峰宽度不能小于5。"),
                         QStringLiteral("停止时间必须大于0。"),
                         QStringLiteral("停止时间不能大于1440。")}));
        QVERIFY(doc.data.method == kept);
    }

    void aTimeProgramRowChangesDetectionFromItsTimeOn()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        editDocumentMethod(*f.frame, [](MethodSheet& s) {
            CPP_DetectParaDlg* page = s.integrationPage();
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
        QCOMPARE(doc.data.method.timeProgram.size(), size_t{2});
        QVERIFY(doc.data.peaks.size() > 0);
        for (const PeakRecord& p : doc.data.peaks)
            QVERIFY2(p.retentionTime < 3.0, "no peak after integration is switched off");
    }

    void clickingTheTimeScaleAddsARowThere()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        f.frame->updateCommandStates();
        f.frame->peakEditActions().timeEvent->setChecked(true);
        whenDialogShows([](QDialog& d) {
            auto& row = dynamic_cast<TimeEventDialog&>(d);
            row.type()->setCurrentIndex(TimeEventType::IntegrationOff);
            row.accept();
        });
        CChrEGraphView* graph = w->graph();
        const QRect plot = graph->axisRect()->rect();
        const int x = static_cast<int>(graph->xAxis->coordToPixel(5.0));
        QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(x, plot.bottom() + 6));
        QCOMPARE(doc.data.method.timeProgram.size(), size_t{1});
        QVERIFY(std::abs(doc.data.method.timeProgram[0].time - 5.0) < 0.05);
        QVERIFY(doc.data.method.timeProgramEnabled);
        for (const PeakRecord& p : doc.data.peaks)
            QVERIFY(p.retentionTime < 5.0);
        QVERIFY(!f.frame->peakEditActions().timeEvent->isChecked());
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
        QVERIFY(logged(*f.app, "用户新建了一个名为M2的分析方法"));
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
        QVERIFY(logged(*f.app, "用户删除了一个名为M2的分析方法"));
        QVERIFY(f.prompts.questions.contains(QString::fromUtf8("您确定要删除该方法文件吗?")));
    }

    void aComponentMadeFromAPeakIsInTheLibraryAndIdentifiedNextRun()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        // The largest peak: unidentified once the table is emptied.
        doc.data.method.components.clear();
        doc.engine.evaluate(0xFFFF);
        int peak = 0;
        for (int i = 0; i < doc.data.peaks.size(); ++i)
            if (doc.data.peaks[i].height > doc.data.peaks[peak].height)
                peak = i;
        doc.selectedPeak = peak;
        f.frame->updateCommandStates();
        QVERIFY(f.frame->peakEditActions().peakInfo->isEnabled());

        whenDialogShows([](QDialog& d) {
            auto& info = dynamic_cast<PeakInfoDialog&>(d);
            // Without the box ticked a new name is refused and the dialog stays.
            info.component()->setEditText(QStringLiteral("Gas-X"));
            info.accept();
            QVERIFY(info.isVisible());
            info.addNew()->setChecked(true);
            saveDialogShot(info, "peak-info");
            info.accept();
        });
        f.frame->peakEditActions().peakInfo->trigger();
        QCOMPARE(f.prompts.messages.value(0),
                 QString::fromUtf8("如果您是在添加新组份，请勾选“添加新组份到组份表”"));
        const int m = f.app->library().indexOf("QLDefault");
        QVERIFY(m >= 0);
        const auto& libraryTable = f.app->library().at(static_cast<size_t>(m)).method.components;
        QVERIFY(componentNamed(libraryTable, "Gas-X") >= 0);
        const MethodLibraryEntry onDisk =
            loadMethodFile(f.app->library().at(static_cast<size_t>(m)).path);
        QVERIFY(componentNamed(onDisk.method.components, "Gas-X") >= 0);
        QVERIFY(logged(*f.app, "用户保存了一个名为QLDefault.she的分析方法"));

        f.prompts.yesNo = {true};
        doc.detectPeaks();
        int named = 0;
        for (const PeakRecord& p : doc.data.peaks)
            named += p.componentName == "Gas-X" ? 1 : 0;
        QCOMPARE(named, 1);
    }

    void peakIdentityByHandKeepsOrderRemembersTheAnswerAndDeletesAfterYes()
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
        int asked = 0;
        const auto answerKeepAndRemember = [&asked] {
            whenDialogShows([&asked](QDialog& d) {
                auto& ask = dynamic_cast<UpdateRTimeDialog&>(d);
                ++asked;
                saveDialogShot(ask, "update-retention-time");
                ask.rememberBox()->setChecked(true);
                ask.keepButton()->click();
            });
        };

        // A component that elutes after earlier entries is refused for an early peak.
        doc.selectedPeak = peakNear(0.80);
        QVERIFY(doc.selectedPeak >= 0);
        QString afterRefusal = QStringLiteral("unset");
        whenDialogShows([&afterRefusal](QDialog& d) {
            auto& info = dynamic_cast<PeakInfoDialog&>(d);
            const int n2 = info.component()->findText(QString::fromUtf8("N2(氮气)"));
            info.component()->setCurrentIndex(n2);
            emit info.component()->activated(n2);
            afterRefusal = info.component()->currentText();
            info.reject();
        });
        f.frame->updateCommandStates();
        f.frame->peakEditActions().peakInfo->trigger();
        QCOMPARE(f.prompts.messages.value(0), qs(PeakInfoEditor::kOutOfOrder));
        QCOMPARE(afterRefusal, QString());

        // Kept, and remembered: the second time nothing is asked and the time stays.
        doc.selectedPeak = peakNear(1.90);
        for (const char* time : {"1.950", "1.960"}) {
            const bool first = time[3] == '5';
            whenDialogShows([&, time, first](QDialog& d) {
                auto& info = dynamic_cast<PeakInfoDialog&>(d);
                info.retentionTime()->setText(QString::fromUtf8(time));
                if (first)
                    answerKeepAndRemember();
                info.accept();
            });
            f.frame->peakEditActions().peakInfo->trigger();
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        }
        QCOMPARE(asked, 1);
        QCOMPARE(f.app->settings().ShowUpdateRTimeDlg, 0);
        QCOMPARE(f.app->settings().LastUpdateRTime, 0);
        QCOMPARE(n2Time(), n2Before);

        // An empty name deletes the peak's component after the question.
        doc.selectedPeak = peakNear(1.90);
        f.prompts.yesNo = {true};
        whenDialogShows([](QDialog& d) {
            auto& info = dynamic_cast<PeakInfoDialog&>(d);
            info.component()->setEditText(QString());
            info.accept();
        });
        f.frame->peakEditActions().peakInfo->trigger();
        QVERIFY(f.prompts.questions.contains(
            QString::fromUtf8("真的要从组份表中删除[N2(氮气)]组份吗?")));
        QCOMPARE(componentNamed(table, "N2(氮气)"), -1);
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
    }

    void theStatusBarNamesTheSampleKindAndCalculation()
    {
        UiFixture f;
        ChromatogramData standard = sample::makeSampleChromatogram();
        standard.sampleType = 1;
        standard.standardLevel = 2;
        standard.method.calcMethod = 3;
        standard.method.groupCalc = 1;
        CChildFrame* w = f.frame->openDocument(f.writeSample("std.chg", standard));
        QVERIFY(w);
        f.frame->updateCommandStates();
        CProgStatusBar* bar = f.frame->progressBar();
        QCOMPARE(bar->paneText(CProgStatusBar::SampleKind), QString::fromUtf8("标样：3"));
        QCOMPARE(bar->paneText(CProgStatusBar::Analysis), QString::fromUtf8("外标法-分组"));
    }

    // The report settings page edits what the printed reports say, with the same checks as
    // the command line, and the next report prints it.
    void theReportSettingsPageChangesWhatTheReportPrints()
    {
        UiFixture f;
        CChildFrame* w = detectedSample(f);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        doc.data.method.serialNo = "2024041101";
        bool refused = false;
        editDocumentMethod(*f.frame, [&](MethodSheet& s) {
            auto* page = s.page<ReportSettingsPage>();
            QVERIFY(page);
            s.tabs()->setCurrentWidget(page);
            page->title()->setText(QStringLiteral("东郊实验室色谱报告"));
            page->margin(0)->setText(QStringLiteral("61"));
            page->language()->setCurrentIndex(1);
            page->section(0)->setChecked(false);  // no chromatogram
            for (int c = 0; c < page->columns()->count(); ++c)
                if (page->columns()->item(c)->text() == QStringLiteral("峰高"))
                    page->columns()->item(c)->setCheckState(Qt::Unchecked);
            s.accept();
            refused = s.isVisible() && s.focusWidget() == page->margin(0);
            page->margin(0)->setText(QStringLiteral("15"));
            saveDialogShot(s, "method-sheet-report-settings");
        });
        QVERIFY(refused);
        QCOMPARE(f.prompts.messages, QStringList{qs(ReportSettingsPage::kMarginRange)});
        const ReportSettings& r = doc.data.method.report;
        QCOMPARE(r.title, std::string("东郊实验室色谱报告"));
        QCOMPARE(r.marginLeft, 15.0);
        QCOMPARE(r.language, 1);
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
};

int runMethodSheetTests(int argc, char** argv)
{
    MethodSheetTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MethodSheetTest.moc"
