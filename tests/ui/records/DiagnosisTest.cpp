#include "UiFixture.h"

#include "DialogShot.h"
#include "app/DocumentDiagnosis.h"
#include "chromatogram/ChromatogramFile.h"
#include "dga/DuvalTriangle.h"
#include "dga/GasProductionRate.h"
#include "dga/StoredGasOrder.h"
#include "report/DgaPrintSettings.h"
#include "report/PdfText.h"
#include "ui/records/DatabaseCommands.h"
#include "ui/records/DeviceLibraryDialog.h"
#include "ui/records/DiagnosisDialog.h"
#include "ui/records/InterpretationPanel.h"
#include "ui/reports/ReportCommands.h"
#include "ui/shell/DocumentCommands.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <utility>

using namespace dgaws;
using namespace dgaws::test;

namespace {

const char* const kCompany = "东郊变电站";
const char* const kDevice = "1号主变";

// Channel B's gases quantified with B's curve, linked to channel A's file (hydrogen with
// A's curve) beside it, for a device the database knows when `knownDevice`.
CChildFrame* diagnosableDocument(UiFixture& f, bool knownDevice)
{
    f.database(knownDevice ? kCompany : nullptr, kDevice);
    f.prompts.messages.clear();
    CChildFrame* w =
        f.frame->openDocument(f.writeSample("gasesB.chg", sample::demoGasChromatogram()));
    CChrEDoc& doc = w->document();
    doc.detectPeaks();
    DocumentCommands& commands = f.frame->documentCommands();
    commands.applyMethodChoice(*w, {0, 0});
    writeChromatogramFile(f.app->settings().ProjectPath + "/gasesA.chg", doc.data);
    commands.applyMethodChoice(*w, {0, 1});
    doc.data.linkedFile = "gasesA.chg";
    doc.data.method.sendingCompany = kCompany;
    doc.data.method.deviceNo = kDevice;
    doc.data.method.oilValue1 = 20.0;
    doc.data.method.oilValue2 = 0.88;
    doc.data.injectionTime = OleDateTime::fromCivil(2024, 4, 11, 9, 0, 0);
    // The previous test on the same day: the rates need the operator's word.
    doc.data.method.testRecord.testTime = doc.data.injectionTime;
    doc.setModifiedFlag(false);
    f.frame->updateCommandStates();
    return w;
}

}  // namespace

class DiagnosisTest : public QObject {
    Q_OBJECT
private slots:
    void theCommandShowsAttentionJudgesAndSavesOneRecord()
    {
        UiFixture f;
        CChildFrame* w = diagnosableDocument(f, true);
        CChrEDoc& doc = w->document();
        QVERIFY(f.frame->actions().diagnose->isEnabled());
        f.prompts.yesNo = {true};  // count the part of a day as one day

        QString hydrogenShown, codesBefore, adviceBefore, codesAfter, conclusionAfter, previewed;
        whenDialogShows([&](QDialog& d) {
            auto& dialog = dynamic_cast<DiagnosisDialog&>(d);
            hydrogenShown = dialog.gasTable()->item(0, 1)->text();
            codesBefore = dialog.ratioCodes()->text();
            adviceBefore = dialog.advice()->toPlainText();
            dialog.judgeButton()->click();
            codesAfter = dialog.ratioCodes()->text();
            conclusionAfter = dialog.conclusion()->text();
            saveDialogShot(dialog, "diagnosis");
            // The preview button closes the dialog and previews the DGA report.
            whenDialogShows([&](QDialog& preview) {
                previewed = QString::fromLatin1(preview.metaObject()->className());
                saveDialogShot(preview, "dga-report-preview");
                preview.reject();
            });
            dialog.previewButton()->click();
        });
        f.frame->actions().diagnose->trigger();
        QCOMPARE(previewed, QStringLiteral("QPrintPreviewDialog"));

        QCOMPARE(f.prompts.questions, QStringList{qs(kLessThanADayQuestion)});
        const auto& g = doc.data.gasInOil;
        // Hydrogen comes from the linked channel A file and stays below its attention value.
        QVERIFY2(g[gas::H2] > 50.0 && g[gas::H2] < 150.0, "hydrogen of the linked file");
        QVERIFY(g[gas::C2H2] > 5.0 && doc.data.totalHydrocarbons >= 150.0);
        QCOMPARE(hydrogenShown, QString::number(g[gas::H2], 'f', 4));
        QVERIFY(codesBefore.isEmpty());
        QCOMPARE(adviceBefore,
                 QString::fromUtf8("乙炔含量超过了5uL/L，请注意\n"
                                   "总烃含量超过了150uL/L，请注意\n"));
        QCOMPARE(codesAfter, QStringLiteral("1,0,0"));
        QCOMPARE(doc.data.ratioCode1, 1);
        QVERIFY2(doc.data.diagnosisCode2 >= 0, "the codes name a fault type");
        QCOMPARE(qs(doc.data.conclusion), conclusionAfter);
        QVERIFY(doc.isModified());
        // The report shows the judgement the dialog made.
        bool fault = false;
        for (const ReportBlock& b :
             f.frame->reportCommands().reportOf(*w, ReportCommands::Kind::Dga).blocks)
            if (const auto* text = std::get_if<ReportText>(&b))
                fault = fault || text->text == "故障类型: " + doc.data.conclusion;
        QVERIFY(fault && !doc.data.conclusion.empty());

        TestRecordDatabase& db = f.app->database();
        const int company = db.companyId(kCompany).value();
        const auto rows = db.queryTests(company, db.deviceId(kDevice, company).value(),
                                        TestRange::All, std::time(nullptr));
        QCOMPARE(rows->size(), size_t{1});
        QCOMPARE(rows->front().status, 1);  // saved before the judgement: the attention state
        QVERIFY(std::abs(rows->front().values[TestRecord::C2H2] - g[gas::C2H2]) < 0.01);

        // "插入数据库" after the judgement: the test is still abnormal, and the operator is
        // told its row was replaced.
        f.prompts.messages.clear();
        QVERIFY(f.frame->databaseCommands().insertTest(*w));
        QCOMPARE(f.prompts.messages, QStringList{qs(TestRecordDatabase::kTestReplaced)});
        const auto again = db.queryTests(company, db.deviceId(kDevice, company).value(),
                                         TestRange::All, std::time(nullptr));
        QCOMPARE(again->size(), size_t{1});
        QCOMPARE(again->front().status, 1);

        // With the other channel unreadable nothing is written, and the reason is given.
        doc.data.linkedFile = "gone.chg";
        doc.data.injectionTime = OleDateTime::fromCivil(2024, 4, 12, 9, 0, 0);
        f.prompts.messages.clear();
        QVERIFY(!f.frame->databaseCommands().insertTest(*w));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].contains(QStringLiteral("gone.chg")));
        QVERIFY(f.prompts.messages[0].endsWith(qs(DatabaseCommands::kHalfTestRefused)));
        QCOMPARE(db.queryTests(company, db.deviceId(kDevice, company).value(), TestRange::All,
                               std::time(nullptr))
                     ->size(),
                 size_t{1});
    }

    // The print shows the rates the diagnosis computed for both channels, the other channel
    // found by its name relative to this one, and the command line prints the same report.
    void theDgaReportPrintsWhatTheDiagnosisComputedAsTheCommandLineDoes()
    {
        UiFixture f;
        CChildFrame* w = diagnosableDocument(f, true);
        CChrEDoc& doc = w->document();
        // A previous test two days before: rates without a question, on both channels.
        doc.data.method.testRecord.testTime = OleDateTime::fromCivil(2024, 4, 9, 9, 0, 0);
        const double before[] = {1.0, 0.5, 2.0, 1.5, 10.0, 100.0, 900.0};
        std::copy(std::begin(before), std::end(before),
                  std::begin(doc.data.method.testRecord.values));
        doc.data.method.testRecord.text1 = "/old/gasesB_0409.chg";
        doc.data.method.testRecord.text2 = "gasesA_0409.chg";
        writeChromatogramFile(doc.pathName, doc.data);
        const std::string previous = "2024/04/09 09:00:00 (gasesB_0409.chg, gasesA_0409.chg)";

        // The rates, the note on them and the previous test as the judging dialog shows them.
        struct Shown {
            std::array<QString, gas::Count> rates;
            QString note, previous;
        };
        const auto diagnose = [&f] {
            Shown shown;
            whenDialogShows([&shown](QDialog& d) {
                auto& dialog = dynamic_cast<DiagnosisDialog&>(d);
                for (int row = 0; row < dialog.gasTable()->rowCount(); ++row)
                    if (const QTableWidgetItem* cell = dialog.gasTable()->item(row, 2))
                        shown.rates[size_t(row)] = cell->text();
                for (const QLabel* label : dialog.findChildren<QLabel*>())
                    if (label->text().contains(QString::fromUtf8("油的密度")))
                        shown.note = label->text();
                if (!dialog.previousTestLabel()->isHidden())
                    shown.previous = dialog.previousTestLabel()->text();
                dialog.judgeButton()->click();
                dialog.reject();
            });
            f.frame->actions().diagnose->trigger();
            return shown;
        };
        // Without the oil's density the rates stay empty, and the dialog says why.
        doc.data.method.oilValue2 = 0.0;
        Shown shown = diagnose();
        QCOMPARE(QStringList(shown.rates.begin(), shown.rates.end()).join(QString()), QString());
        QCOMPARE(shown.note, QString::fromUtf8("未计算产气率：缺少油的密度"));
        doc.data.method.oilValue2 = 0.88;
        shown = diagnose();
        QVERIFY(f.prompts.questions.isEmpty());
        QVERIFY(!shown.rates[gas::C2H2].isEmpty());
        QCOMPARE(shown.previous, QString::fromUtf8("上次实验: ") + qs(previous));

        const Report report = f.frame->reportCommands().reportOf(*w, ReportCommands::Kind::Dga);
        const ReportTable* table = nullptr;
        bool previousPrinted = false;
        for (const ReportBlock& b : report.blocks) {
            if (const auto* t = std::get_if<ReportTable>(&b); t && !table)
                table = t;
            if (const auto* fields = std::get_if<ReportFields>(&b))
                for (const auto& [label, value] : fields->fields)
                    previousPrinted |= label == "上次实验:" && value == previous;
        }
        QVERIFY(table && previousPrinted);
        const auto column = [table](DgaPrintSettings::Column c) {
            const auto at = std::find(table->headers.begin(), table->headers.end(),
                                      std::string(dgaColumnTitle(c, ReportLanguage::Chinese)));
            return size_t(at - table->headers.begin());
        };
        const size_t nameColumn = column(DgaPrintSettings::ComponentName);
        const size_t rateColumn = column(DgaPrintSettings::Rate);
        QVERIFY(rateColumn < table->headers.size());
        // Rows of both channels: every gas peak of this one and of the linked file.
        int gasPeaks = 0;
        const ChromatogramData linkedFile =
            readChromatogramFile(f.app->settings().ProjectPath + "/gasesA.chg");
        for (const ChromatogramData* d : {&std::as_const(doc.data), &linkedFile}) {
            const int earlier = gasPeaks;
            for (const PeakRecord& p : d->peaks)
                gasPeaks += std::find(gas::kComponentNames.begin(), gas::kComponentNames.end(),
                                      p.componentName) != gas::kComponentNames.end();
            QVERIFY(gasPeaks > earlier);
        }
        QCOMPARE(int(table->rows.size()), gasPeaks);
        // The linked channel's rows come last, and its rates are the ones the dialog showed.
        std::array<std::string, gas::Count> lastRate;
        for (const auto& row : table->rows) {
            const std::string name = row[nameColumn].substr(0, row[nameColumn].size() - 1);
            for (size_t g = 0; g < gas::Count; ++g)
                if (gas::kComponentNames[g] == name)
                    lastRate[g] = row[rateColumn];
        }
        for (size_t g = 0; g < gas::Count; ++g)
            if (!shown.rates[g].isEmpty())
                QCOMPARE(QString::fromStdString(lastRate[g]).trimmed(), shown.rates[g]);

        const QString window = qs(f.root.root() + "/window.pdf");
        f.prompts.files = {window};
        QCOMPARE(f.frame->reportCommands().exportPdf(*w, ReportCommands::Kind::Dga), window);
        const QString cli = qs(f.root.root() + "/cli.pdf");
        QProcess p;
        p.start(QStringLiteral(DGAWS_BINARY_DIR "/dgaws-cli"),
                {QStringLiteral("report"), qs(doc.pathName), QStringLiteral("--kind"),
                 QStringLiteral("dga"), QStringLiteral("--pdf"), cli, QStringLiteral("--home"),
                 qs(f.root.root())});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        // Cell for cell the same page, but for the time each was printed.
        const auto printed = [](const QString& pdf) {
            QStringList lines = qs(pdfText(ss(pdf))).split(QLatin1Char('\n'));
            lines.removeIf([](const QString& l) {
                return l.contains(QString::fromUtf8("打印时间")) || l.trimmed().isEmpty();
            });
            return lines;
        };
        const QStringList fromWindow = printed(window);
        QVERIFY(fromWindow.size() > gasPeaks);
        QCOMPARE(fromWindow, printed(cli));
    }

    // No attention value exceeded: the triangle still names a zone, as a supplement that
    // says it is one, and the judgement says why it is not offered.
    void aNormalTestShowsFurtherInterpretationsAsASupplement()
    {
        UiFixture f;
        CChrEDoc doc;
        doc.data.gasInOil[gas::CH4] = 12.0;
        doc.data.gasInOil[gas::C2H4] = 3.0;
        doc.data.gasInOil[gas::C2H6] = 4.0;
        doc.data.gasInOil[gas::H2] = 20.0;
        doc.data.totalHydrocarbons = 19.0;
        DiagnosisView normal;
        normal.totalHydrocarbons = "19.0000";
        normal.conclusion = "含量无异常";
        DiagnosisDialog dialog(doc, normal, f.prompts);
        dialog.show();
        saveDialogShot(dialog, "diagnosis-normal");
        QVERIFY(dialog.supplementaryNote()->isVisible());
        QCOMPARE(dialog.supplementaryNote()->text(),
                 QString::fromUtf8(DiagnosisDialog::kSupplementaryNote));
        QVERIFY(dialog.supplementaryBox()->isAncestorOf(dialog.duvalLabel()));
        QVERIFY(!dialog.judgeButton()->isEnabled());
        QCOMPARE(dialog.judgeButton()->toolTip(),
                 QString::fromUtf8(DiagnosisDialog::kJudgeUnavailable));

        DiagnosisView exceeded = normal;
        exceeded.diagnosisCode = -2;
        DiagnosisDialog attention(doc, exceeded, f.prompts);
        attention.show();
        QVERIFY(!attention.supplementaryNote()->isVisible());
        QVERIFY(attention.judgeButton()->isEnabled());
        QVERIFY(attention.judgeButton()->toolTip().isEmpty());
    }

    // Refused while running, and while the operator will not add the device; a fresh
    // database then learns the company and device and the diagnosis goes on.
    void aFreshDatabaseLearnsTheCompanyAndDeviceAndTheDiagnosisGoesOn()
    {
        UiFixture f;
        CChildFrame* w = diagnosableDocument(f, false);
        CChrEDoc& doc = w->document();
        bool dialogShown = false;
        QTimer guard;  // closes a dialog that must not come, and dies with the test
        connect(&guard, &QTimer::timeout, [&dialogShown] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                d->reject();
            }
        });
        guard.start(5);
        ChannelRun running{.acquiring = true};
        doc.attachRun(&running);
        f.frame->updateCommandStates();
        QVERIFY(!f.frame->actions().diagnose->isEnabled());
        QVERIFY(!f.frame->documentCommands().diagnose(*w));
        QCOMPARE(f.prompts.messages,
                 QStringList{qs(DocumentCommands::kCannotDiagnoseWhileSampling)});
        QCOMPARE(doc.data.diagnosisCode, -1);
        doc.attachRun(nullptr);
        f.prompts.messages.clear();
        QVERIFY(!f.frame->documentCommands().diagnose(*w));
        QVERIFY(f.prompts.messages.contains(qs(TestRecordDatabase::kNoSuchCompany)));
        QVERIFY(!dialogShown);
        QVERIFY(!doc.isModified());
        guard.stop();

        // Add the company, add the device, count the part of a day as one day.
        f.prompts.questions.clear();
        f.prompts.yesNo = {true, true, true};
        QString zone;
        whenDialogShows([&](QDialog& d) {
            zone = dynamic_cast<DiagnosisDialog&>(d).duvalLabel()->text();
            d.reject();
        });
        QVERIFY(f.frame->documentCommands().diagnose(*w));
        QCOMPARE(f.prompts.questions.value(0),
                 qs(DatabaseCommands::kAddCompanyQuestion).arg(QString::fromUtf8(kCompany)));
        TestRecordDatabase& db = f.app->database();
        const int company = db.companyId(kCompany).value();
        QVERIFY(company >= 0);
        const int device = db.deviceId(kDevice, company).value();
        QVERIFY(device >= 0);
        QCOMPARE(db.queryTests(company, device, TestRange::All, std::time(nullptr))->size(),
                 size_t{1});
        // The hydrocarbons place the test in a zone of the triangle.
        const auto point = duvalPoint(doc.data);
        QVERIFY(point);
        QVERIFY(zone.startsWith(QString::fromLatin1(duvalZoneCode(duvalZone(*point)))));
    }

    void theDevicesVoltageClassMarksAcetyleneOnlyFromThreeHundredThirtyKilovolts()
    {
        UiFixture f;
        CChildFrame* w = diagnosableDocument(f, true);
        CChrEDoc& doc = w->document();
        TestRecordDatabase& db = f.app->database();
        const int device = db.deviceId(kDevice, db.companyId(kCompany).value()).value();
        // A discharge with 2 uL/L of acetylene and the hydrocarbons of a thermal fault.
        DiagnosisEnvironment env;
        env.outGasRateUsed = false;
        env.collect = [](ChromatogramData& d, ChromatogramData&) {
            d.gasInOil[gas::H2] = 60;
            d.gasInOil[gas::CH4] = 40;
            d.gasInOil[gas::C2H6] = 12;
            d.gasInOil[gas::C2H4] = 30;
            d.gasInOil[gas::C2H2] = 2;
            d.totalHydrocarbons = 84;
            return DgaCollection{};
        };
        const auto acetyleneRow = [](const DiagnosisDialog& dialog) {
            const QTableWidget* t = dialog.interpretations()->limitTable();
            for (int row = 0; row < t->rowCount(); ++row)
                if (t->item(row, 0)->text() == QStringLiteral("C2H2"))
                    return QStringList{t->item(row, 3)->text(), t->item(row, 5)->text()};
            return QStringList{};
        };
        for (const double kv : {500.0, 110.0}) {
            // The class is set where the operator sets it, in the device's own dialog.
            DeviceLibraryDialog library(db, f.prompts);
            library.devices()->setCurrentRow(0);
            whenDialogShows([kv](QDialog& d) {
                auto& info = dynamic_cast<DeviceInfoDialog&>(d);
                info.voltageBox()->setValue(kv);
                d.accept();
            });
            library.modifyDevice();
            QCOMPARE(db.deviceClass(device).value(),
                     (DeviceClass{kv, false, JudgingStandard::Dlt722}));
            const auto view = diagnoseDocument(doc, env, &db);
            QVERIFY(view);
            DiagnosisDialog dialog(doc, *view, f.prompts);
            const QStringList row = acetyleneRow(dialog);
            if (kv > 330) {
                QCOMPARE(row, (QStringList{QStringLiteral("1"), QString::fromUtf8("超过")}));
                QVERIFY(dialog.judgeButton()->isEnabled());
                QCOMPARE(dialog.advice()->toPlainText(),
                         QString::fromUtf8("乙炔含量超过了1uL/L，请注意\n"));
                dialog.resize(1280, 900);
                saveDialogShot(dialog, "diagnosis-methods");
            } else {
                QCOMPARE(row, (QStringList{QStringLiteral("5"), QString::fromUtf8("正常")}));
                QVERIFY(!dialog.judgeButton()->isEnabled());
            }
            // Every method has its row, and the four drawings are there.
            QCOMPARE(dialog.interpretations()->methodTable()->rowCount(), 8);
            QCOMPARE(dialog.interpretations()->diagrams().size(), size_t{4});
        }
        const auto rows = db.queryTests(db.companyId(kCompany).value(), device, TestRange::All,
                                        std::time(nullptr));
        QCOMPARE(rows->size(), size_t{1});
        QCOMPARE(rows->front().status, 0);  // saved again at 110 kV: no longer abnormal
    }
};

int runDiagnosisTests(int argc, char** argv)
{
    DiagnosisTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "DiagnosisTest.moc"
