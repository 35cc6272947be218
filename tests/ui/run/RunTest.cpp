#include "DialogShot.h"
#include "OpenedFiles.h"
#include "UiFixture.h"

#include "ui/exchange/DataServiceCommands.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/CResultListView.h"
#include "ui/records/DiagnosisDialog.h"
#include "ui/records/SampleInfoDialog.h"
#include "ui/reports/WorkbookColumnDialog.h"
#include "ui/reports/WorkbookCommands.h"
#include "ui/run/RunController.h"
#include "ui/shell/CProgStatusBar.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"

#include "acquisition/Autosave.h"
#include "app/CLogManage.h"
#include "app/OutputFolders.h"
#include "report/DgaReport.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <vector>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// The window on the simulated connection, played fast, with channel A open.
struct SimulatedRun : UiFixture {
    CChildFrame* a = nullptr;

    // One channel, no joining of the channels.
    explicit SimulatedRun(double speed = 200.0)
        : UiFixture({{"System/AllStart", 0}, {"System/AllStop", 0}, {"System/Merge", 0}})
    {
        frame->runController().setSimulationSpeed(speed);
        QVERIFY(frame->runController().startSimulation());
        QTest::keyClick(frame.get(), Qt::Key_A);
        a = frame->frames().value(0);
    }

    CChrEDoc& doc() { return a->document(); }
};

// The points in the safety copy of the channel whose run name starts with `prefix`.
int recoveredCount(const std::string& folder, const char* prefix)
{
    for (const std::string& copy : findAutosaves(folder))
        if (std::filesystem::path(copy).filename().string().rfind(prefix, 0) == 0) {
            try {
                return recoverAutosave(copy).signal.count();
            } catch (const std::exception&) {
                return 0;
            }
        }
    return 0;
}

QMdiSubWindow* subWindowOf(CMainFrame& frame, CChildFrame* child)
{
    for (QMdiSubWindow* s : frame.mdiArea()->subWindowList())
        if (s->widget() == child)
            return s;
    return nullptr;
}

}  // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void nothingClosesWhileTheRunGoesOnAndStopKeepsWhatWasAcquired()
    {
        SimulatedRun f(20.0);
        f.prompts.files = {QString::fromUtf8(ScriptedPrompts::kTakeProposal)};
        QTest::keyClick(f.frame.get(), Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(f.doc().acquiredCount > 100, 5000);
        // Zeroing makes the next point the baseline.
        f.frame->updateCommandStates();
        const int before = f.doc().acquiredCount;
        f.frame->actions().zero->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(f.doc().acquiredCount > before + 5, 5000);
        QVERIFY(!f.doc().channelRun()->zeroRequest);
        QVERIFY(f.doc().data.signal.at(before - 1) != 0.0f);
        QCOMPARE(f.doc().data.signal.at(before), 0.0f);

        QVERIFY(!f.frame->close());
        QCOMPARE(f.prompts.messages.last(), QString::fromUtf8("正在采样，不能关闭。"));
        QVERIFY(!subWindowOf(*f.frame, f.a)->close());
        QCOMPARE(f.frame->frames().size(), 1);
        QVERIFY(f.doc().acquiring());

        // Nor is it saved or merged into while it records, before any file is asked for;
        // and a new connection asks first (No: the run goes on).
        const QString refused = QString::fromUtf8("采样还未停止，无法输出保存！");
        f.frame->updateCommandStates();
        f.frame->actions().saveAs->trigger();
        QCOMPARE(f.prompts.messages.last(), refused);
        f.prompts.messages.clear();
        QVERIFY(!f.frame->dataService().merge(*f.a));
        QCOMPARE(f.prompts.messages, QStringList{refused});
        QCOMPARE(f.prompts.files.size(), 1);  // no file dialog came up
        QVERIFY(f.doc().pathName.empty());
        f.prompts.yesNo = {false};
        f.frame->actions().connectCollector->trigger();
        QCOMPARE(f.prompts.questions.last(), qs(RunController::kReconnectWhileSampling));
        QVERIFY(f.doc().acquiring());

        QTest::keyClick(f.frame.get(), Qt::Key_Return);
        QVERIFY(!f.doc().acquiring());
        const int acquired = f.doc().acquiredCount;
        QVERIFY(acquired < 6 * 60 * 20);
        QCOMPARE(readChromatogramFile(f.doc().pathName).signal.count(), acquired);

        QVERIFY(f.frame->close());
        QCOMPARE(qs(f.app->eventLog().entries().back().text), QString::fromUtf8("系统退出"));
    }

    // Ctrl-C, a terminate request: the window ends through its exit sequence, and the run
    // that was going on is stopped and saved without a question.
    void aSignalEndsTheWindowThroughItsExitSequence()
    {
        for (const int signal : {SIGTERM, SIGINT}) {
            TempDir dir;
            const DataRoot root(dir.path("home"));
            QProcess window;
            window.setProcessChannelMode(QProcess::ForwardedChannels);
            window.start(QStringLiteral(DGAWS_BINARY_DIR "/dgaws"),
                         {QStringLiteral("--home"), qs(root.root()), QStringLiteral("--run"),
                          QStringLiteral("--speed"), QStringLiteral("10")});
            QVERIFY(window.waitForStarted());
            const std::string copies = root.root() + "/" + WorkstationApp::kAutosaveFolder;
            // Both channels run (they start together by default); wait for points in A's copy.
            QTRY_VERIFY_WITH_TIMEOUT(findAutosaves(copies).size() == 2, 20000);
            QTRY_VERIFY_WITH_TIMEOUT(recoveredCount(copies, "A_") > 100, 20000);

            ::kill(static_cast<pid_t>(window.processId()), signal);
            QVERIFY(window.waitForFinished(30000));
            QCOMPARE(window.exitStatus(), QProcess::NormalExit);
            QCOMPARE(window.exitCode(), 128 + signal);

            QVERIFY(findAutosaves(copies).empty());
            std::vector<std::filesystem::path> saved;
            for (const auto& e :
                 std::filesystem::recursive_directory_iterator(root.defaultProjectPath()))
                if (e.path().extension() == ".chg")
                    saved.push_back(e.path());
            std::sort(saved.begin(), saved.end(),
                      [](const auto& x, const auto& y) { return x.filename() < y.filename(); });
            QCOMPARE(saved.size(), size_t{2});
            QVERIFY(saved[0].filename().string().rfind("A_", 0) == 0);
            QVERIFY(readChromatogramFile(saved[0].string()).signal.count() > 100);

            const QSettings ini(qs(root.settingsFile()), QSettings::IniFormat);
            CLogManage log(root.logFolder() + "/" +
                           ss(ini.value(QStringLiteral("System/CurLogName")).toString()));
            QVERIFY(log.loadLog() && !log.entries().empty());
            QCOMPARE(qs(log.entries().back().text), QString::fromUtf8("系统退出"));
        }
    }

    // A new operator's first day: half a minute after connecting the run is started on
    // both channels, drawn live and saved under the proposed names; the sample is described
    // once, diagnosed, carded and the windows closed.
    void aDayOnTheSimulatedConnectionKeepsEveryNumberAndFileWhereItBelongs()
    {
        UiFixture f({{"System/Merge", 0}, {"System/AllStop", 1}});
        OpenedFiles opened;
        f.database("东郊变电站", "1号主变");
        f.frame->runController().setSimulationSpeed(200.0);
        QVERIFY(f.frame->runController().startSimulation());
        QCOMPARE(f.prompts.messages.value(f.prompts.messages.size() - 1),
                 QString::fromUtf8("模拟连接已经建立，您可以采样体验了("
                                   "如果通道已打开，需要关闭后重新打开才能采样)!"));
        QTest::keyClick(f.frame.get(), Qt::Key_A);
        CChildFrame* a = f.frame->frames().value(0);
        QVERIFY(a);
        const CCollector* collector = f.frame->runController().link().collector();
        QTRY_VERIFY_WITH_TIMEOUT(collector->demoIndex(0) >= 30 * 20, 5000);

        f.prompts.files = {QString::fromUtf8(ScriptedPrompts::kTakeProposal),
                           QString::fromUtf8(ScriptedPrompts::kTakeProposal)};
        QTest::keyClick(f.frame.get(), Qt::Key_Space);
        QCOMPARE(f.frame->frames().size(), 2);
        CChildFrame* b = f.frame->frames().value(1);
        CChrEDoc& docA = a->document();
        CChrEDoc& docB = b->document();
        QVERIFY(docA.acquiring() && f.frame->actions().stop->isEnabled());
        // Points reach the graph while the run goes on, and the status bar follows them; the
        // detector's points are marked before their peaks are complete.
        QTRY_VERIFY_WITH_TIMEOUT(a->graph()->traceSamples() > 400, 5000);
        QVERIFY(!f.frame->progressBar()->paneText(CProgStatusBar::Time).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(a->graph()->liveMarkCount() > 0, 5000);
        QVERIFY(docA.acquiring());
        // The method's six minutes end the run (played fast; a loaded machine may take a while).
        QTRY_VERIFY_WITH_TIMEOUT(!docA.acquiring() && !docB.acquiring(), 60000);
        QVERIFY(qs(docA.pathName) == f.prompts.lastSaveProposal ||
                qs(docB.pathName) == f.prompts.lastSaveProposal);
        const ChromatogramData stored = readChromatogramFile(docA.pathName);
        QCOMPARE(stored.signal.count(), 6 * 60 * 20);
        QCOMPARE(a->graph()->traceSamples(), stored.signal.count());
        QVERIFY(f.frame->fileTree()->files().contains(
            QDir(qs(f.app->settings().ProjectPath)).relativeFilePath(qs(docA.pathName))));
        // The result table names the gases of channel A's calibration, ADefaultCali.
        const CalibrationCurve* curve = docA.calibrationCurve();
        QVERIFY(curve);
        QCOMPARE(a->results()->rowCount(), stored.peaks.size() + 1);
        int named = 0;
        for (int r = 0; r + 1 < a->results()->rowCount(); ++r)
            for (const ComponentEntry& c : curve->components)
                named += a->results()->item(r, 2)->text() == qs(c.name);
        QVERIFY2(named >= static_cast<int>(curve->components.size()),
                 qPrintable(QString::number(named)));
        QCOMPARE(a->graph()->bandCount(), static_cast<int>(curve->components.size()));

        // Saved runs carry no modified mark, in the window nor in the tabs.
        for (CChildFrame* w : {a, b}) {
            QVERIFY(!w->document().pathName.empty());
            QVERIFY2(!w->document().isModified(), qPrintable(w->windowTitle()));
            QVERIFY(!w->windowTitle().endsWith(QLatin1Char('*')));
        }
        for (int t = 0; t < f.frame->channelTabs()->count(); ++t)
            QVERIFY(!f.frame->channelTabs()->tabText(t).contains(QLatin1Char('*')));
        saveDialogShot(*f.frame, "main-window-delayed-run");

        // The demonstration's nine gases, each named once with its standard content.
        const std::map<std::string, double> standard = {{"H2", 500},   {"CH4", 100},  {"O2", 10000},
                                                        {"CO", 500},   {"N2", 50000}, {"CO2", 2000},
                                                        {"C2H4", 100}, {"C2H6", 100}, {"C2H2", 50}};
        std::map<std::string, double> found;
        for (const CChrEDoc* d : {&docA, &docB})
            for (int i = 0; i < d->data.peaks.size(); ++i) {
                const PeakRecord& p = d->data.peaks[i];
                if (!p.componentName.empty()) {
                    const std::string formula =
                        p.componentName.substr(0, p.componentName.find('('));
                    QVERIFY2(!found.count(formula), formula.c_str());
                    found[formula] = p.gasContent;
                }
            }
        QCOMPARE(found.size(), standard.size());
        for (const auto& [formula, content] : standard)
            QVERIFY2(std::abs(found[formula] - content) < content * 0.05,
                     qPrintable(QString::fromStdString(formula) + QLatin1Char(' ') +
                                QString::number(found[formula])));

        // The sample is described once, in A, and B names the same sample.
        whenDialogShows([](QDialog& d) {
            auto& dialog = dynamic_cast<SampleInfoDialog&>(d);
            dialog.sendingCompany()->setText(QStringLiteral("东郊变电站"));
            dialog.deviceNo()->setText(QStringLiteral("1号主变"));
            dialog.serialNo()->setText(QStringLiteral("2026120701"));
            dialog.otherChannelButton()->click();
            dialog.accept();
        });
        QVERIFY(f.frame->documentCommands().editSampleInfo(*a));
        QCOMPARE(docB.data.method.sendingCompany, std::string("东郊变电站"));
        QCOMPARE(docB.data.method.deviceNo, std::string("1号主变"));
        QCOMPARE(docB.data.method.serialNo, std::string("2026120701"));
        QCOMPARE(docB.data.method.tester, docA.data.method.tester);
        QVERIFY(docB.data.injectionTime == docA.data.injectionTime);
        QVERIFY(b->windowTitle().endsWith(QLatin1Char('*')));

        // The diagnosis changes A; without a previous test no rate is printed, not even 0.
        whenDialogShows([](QDialog& d) { d.reject(); });
        QVERIFY(f.frame->documentCommands().diagnose(*a));
        QVERIFY(docA.isModified());
        const double hydrogen = docA.data.gasInOil[0];
        QVERIFY(hydrogen > 0.0);
        DgaPrintSettings print;
        print.columns.fill(true);
        const ReportTable table =
            dgaResultTable(docA.data, docA.linkedData, print, ReportLanguage::Chinese);
        QVERIFY(!table.rows.empty());
        for (const auto& row : table.rows)
            QCOMPARE(QString::fromStdString(row[DgaPrintSettings::Rate]), QString());

        // The card goes under the data root, not where the program was started.
        whenDialogShows([](QDialog& d) {
            dynamic_cast<WorkbookColumnDialog&>(d).setColumn(0);
            d.accept();
        });
        const auto card = f.frame->workbookCommands().write(*a, WorkbookKind::RecordCard);
        QVERIFY(card);
        QVERIFY2(card->startsWith(qs(defaultWorkbookFolder(f.root)) + QLatin1Char('/')),
                 qPrintable(*card));

        // Closing asks for each changed channel; the files then hold what was done.
        const std::string pathA = docA.pathName, pathB = docB.pathName;
        const ChromatogramData diagnosed = docA.data;  // the windows and documents go
        f.prompts.questions.clear();
        f.prompts.yesNoCancel = {OperatorPrompts::Answer::Yes, OperatorPrompts::Answer::Yes};
        f.frame->mdiArea()->setActiveSubWindow(subWindowOf(*f.frame, a));
        f.frame->actions().close->trigger();
        QVERIFY(subWindowOf(*f.frame, b)->close());
        QCOMPARE(f.prompts.questions.size(), 2);
        QCOMPARE(f.frame->frames().size(), 0);
        const ChromatogramData storedA = readChromatogramFile(pathA);
        QCOMPARE(storedA.gasInOil[0], hydrogen);
        QCOMPARE(storedA.totalHydrocarbons, diagnosed.totalHydrocarbons);
        QCOMPARE(storedA.diagnosisCode, diagnosed.diagnosisCode);
        QCOMPARE(storedA.advice, diagnosed.advice);
        QCOMPARE(readChromatogramFile(pathB).method.deviceNo, std::string("1号主变"));
    }

    void aMissingDemonstrationFileIsReported()
    {
        UiFixture f({{"System/SimDataPath", "/no/such/QLCHGDATA.DMD"}});
        whenDialogShows([](QDialog& d) { d.reject(); });  // the settings sheet comes up
        QVERIFY(!f.frame->runController().startSimulation());
        QCOMPARE(
            f.prompts.messages.last(),
            QString::fromUtf8("没有找到模拟连接数据文件QLCHGDATA.DMD,请到系统选项里重新确认路径"));
    }
};

int runRunTests(int argc, char** argv)
{
    RunTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "RunTest.moc"
