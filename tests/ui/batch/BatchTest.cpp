#include "DialogShot.h"
#include "UiFixture.h"

#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "report/BatchSummary.h"
#include "ui/batch/BatchDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <set>

using namespace dgaws;
using namespace dgaws::test;

namespace {

namespace fs = std::filesystem;

// Twenty runs of the standard gas in a folder and a subfolder, the last one damaged.
std::string writeRuns(UiFixture& f)
{
    const std::string in = f.dir.path("runs");
    fs::create_directories(in + "/sub");
    const ChromatogramData gases = sample::demoGasChromatogram();
    for (int i = 0; i < 19; ++i)
        writeChromatogramFile(
            in + (i < 10 ? "/" : "/sub/") + "run" + std::to_string(10 + i) + ".chg", gases);
    writeFileAtomically(in + "/sub/zz-damaged.chg", "not a chromatogram");
    return in;
}

std::vector<std::string> sortedLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream in(readWholeFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The names of the files left below a folder that a write in progress would leave.
QStringList leftovers(const std::string& folder)
{
    QStringList out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.find(".part") != std::string::npos || name.find(".tmp") != std::string::npos ||
            name.rfind(".dgaws-save", 0) == 0)
            out << qs(name);
    }
    return out;
}

// Fills the dialog for the runs with the default method and its first curve.
void fill(BatchDialog& d, const std::string& in, const std::string& out, const std::string& summary)
{
    d.addInputs({qs(in)});
    d.recursiveBox()->setChecked(true);
    d.methodBox()->setCurrentIndex(1);
    d.curveBox()->setCurrentIndex(0);
    d.outputEdit()->setText(qs(out));
    d.summaryEdit()->setText(qs(summary));
}

// Holds the worker after the file numbered `at` finishes until released, so the test acts
// while the batch is certainly running; released on leaving, so a failed check never
// leaves the worker waiting.
struct Hold {
    std::atomic<bool> reached{false};
    std::atomic<bool> go{false};
    QMetaObject::Connection connection;
    Hold(BatchDialog& d, size_t at)
    {
        connection = QObject::connect(
            &d, &BatchDialog::fileFinished, &d,
            [this, at](const BatchProgress& p) {
                if (p.done != at)
                    return;
                reached = true;
                go.wait(false);
            },
            Qt::DirectConnection);
    }
    ~Hold()
    {
        release();
        QObject::disconnect(connection);
    }
    void release()
    {
        go = true;
        go.notify_all();
    }
};

}  // namespace

class BatchTest : public QObject {
    Q_OBJECT
private slots:
    void aFullRunWritesWhatTheEngineWritesAndListsTheDamagedFile()
    {
        UiFixture f;
        const std::string in = writeRuns(f);
        BatchDialog d(*f.app, f.prompts);
        fill(d, in, f.dir.path("out"), f.dir.path("summary.csv"));
        d.jobsBox()->setValue(2);
        d.show();
        QSignalSpy ended(&d, &BatchDialog::batchEnded);
        d.startButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
        saveDialogShot(d, QStringLiteral("batch-finished"));

        QCOMPARE(d.resultLabel()->text(), qs(BatchDialog::kFinished).arg(19).arg(1));
        QCOMPARE(d.failureTable()->rowCount(), 1);
        QCOMPARE(d.failureTable()->item(0, 0)->text(), QStringLiteral("zz-damaged.chg"));
        QVERIFY(d.startButton()->isEnabled());
        QCOMPARE(f.app->eventLog().entries().back().text,
                 ss(qs(BatchDialog::kFinishedLog).arg(20).arg(19).arg(1)));

        // The engine on one thread, with what the dialog was given.
        BatchRequest request;
        request.inputs = {in};
        request.jobs = 1;
        request.process.methodPath = f.app->library().at(0).path;
        request.process.calibration = "ADefaultCali";
        request.process.methodFolder = f.app->library().folder();
        std::vector<std::string> missing;
        // The window heads the columns in its own language.
        auto summary = openBatchSummary(f.dir.path("engine.csv"), summaryColumnTitles());
        processBatch(collectChromatograms({in}, true, missing), request, summary.get());
        const auto rows = sortedLines(f.dir.path("summary.csv"));
        QCOMPARE(rows, sortedLines(f.dir.path("engine.csv")));
        // Quantified with channel A's curve: its three gases of each good run, the failure and
        // the header.
        QCOMPARE(rows.size(), size_t(19 * 3 + 2));
        QVERIFY(fs::exists(f.dir.path("out/sub/run27.chg")));
        QVERIFY(!fs::exists(f.dir.path("out/sub/zz-damaged.chg")));
        QVERIFY(leftovers(f.dir.root().string()).isEmpty());
    }

    // Closing while running asks, and unanswered the batch goes on; cancel stops after the
    // file in flight and says so; closing with yes cancels and waits for the worker.
    void cancelAndClosingStopAfterTheFileInFlight()
    {
        UiFixture f;
        const std::string in = writeRuns(f);
        BatchDialog d(*f.app, f.prompts);
        fill(d, in, f.dir.path("out"), f.dir.path("summary.jsonl"));
        d.jobsBox()->setValue(1);
        d.show();
        QSignalSpy ended(&d, &BatchDialog::batchEnded);
        auto hold = std::make_unique<Hold>(d, 3);
        d.startButton()->click();
        QTRY_VERIFY(hold->reached);
        QVERIFY(!d.startButton()->isEnabled());
        QVERIFY(!d.outputEdit()->isEnabled());
        d.close();
        QVERIFY(d.isVisible());
        QCOMPARE(f.prompts.questions, QStringList{qs(BatchDialog::kAskCancel)});
        QCoreApplication::processEvents();  // the first files' progress
        saveDialogShot(d, QStringLiteral("batch-running"));
        d.cancelButton()->click();
        hold->release();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
        saveDialogShot(d, QStringLiteral("batch-cancelled"));

        QCOMPARE(d.resultLabel()->text(), qs(BatchDialog::kCancelled).arg(3).arg(20).arg(3).arg(0));
        QVERIFY(d.outcome().cancelled);
        // The first three in path order, and only they, written and summarised.
        std::set<std::string> written;
        for (const auto& e : fs::recursive_directory_iterator(f.dir.path("out")))
            if (e.is_regular_file())
                written.insert(e.path().filename().string());
        QCOMPARE(written, (std::set<std::string>{"run10.chg", "run11.chg", "run12.chg"}));
        std::set<std::string> summarised;
        for (const std::string& line : sortedLines(f.dir.path("summary.jsonl")))
            summarised.insert(fs::path(line.substr(9, line.find("\",") - 9)).filename().string());
        QCOMPARE(summarised, written);
        QVERIFY(leftovers(f.dir.root().string()).isEmpty());
        QCOMPARE(f.app->eventLog().entries().back().text,
                 ss(qs(BatchDialog::kCancelledLog).arg(20).arg(3).arg(0)));

        hold = std::make_unique<Hold>(d, 1);
        d.startButton()->click();
        QTRY_VERIFY(hold->reached);
        f.prompts.yesNo = {true};
        d.close();
        hold->release();
        QTRY_VERIFY_WITH_TIMEOUT(!d.isVisible(), 60000);
        QVERIFY(!d.running());
        QVERIFY(d.outcome().cancelled);
        QVERIFY(d.outcome().finished < 20);
    }

    void badInputIsRefusedWithTheFocusOnItsField()
    {
        UiFixture f;
        const std::string in = writeRuns(f);
        fs::create_directories(f.dir.path("empty"));
        writeFileAtomically(f.dir.path("plain"), "a file");
        BatchDialog d(*f.app, f.prompts);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const auto refused = [&](const char* text, QWidget* field) {
            const int before = static_cast<int>(f.prompts.messages.size());
            d.startButton()->click();
            QCOMPARE(f.prompts.messages.size(), before + 1);
            QVERIFY2(f.prompts.messages.last().startsWith(qs(text).section(QLatin1Char('%'), 0, 0)),
                     qPrintable(f.prompts.messages.last()));
            QVERIFY(field->hasFocus());
            QVERIFY(!d.running());
        };

        refused(BatchDialog::kNoInput, d.inputList());
        d.addInputs({qs(f.dir.path("nowhere"))});
        refused(BatchDialog::kMissingInput, d.inputList());
        d.inputList()->clear();
        d.addInputs({qs(f.dir.path("empty"))});
        refused(BatchDialog::kNothingFound, d.inputList());
        d.addInputs({qs(in)});
        refused(BatchDialog::kNoOutput, d.outputEdit());
        d.outputEdit()->setText(qs(f.dir.path("plain/out")));
        refused(BatchDialog::kOutputFolderFailed, d.outputEdit());
        d.outputEdit()->setText(qs(in));
        refused(BatchDialog::kOverwritesInput, d.outputEdit());
        d.outputEdit()->clear();
        d.summaryEdit()->setText(qs(f.dir.path("summary.txt")));
        refused(BatchDialog::kSummaryKind, d.summaryEdit());

        // The method's file lost the chosen curve after the library was read.
        d.summaryEdit()->setText(qs(f.dir.path("summary.xlsx")));
        d.methodBox()->setCurrentIndex(1);
        d.curveBox()->setCurrentIndex(1);
        MethodLibraryEntry stored = loadMethodFile(f.app->library().at(0).path);
        stored.curves.pop_back();
        saveMethodFile(stored);
        refused(BatchDialog::kNoSuchCurve, d.curveBox());
        QVERIFY(!fs::exists(f.dir.path("summary.xlsx")));
        QVERIFY(leftovers(f.dir.root().string()).isEmpty());
    }
};

int runBatchTests(int argc, char** argv)
{
    BatchTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "BatchTest.moc"
