#include "DialogShot.h"
#include "UiFixture.h"

#include "app/OutputFolders.h"
#include "chromatogram/FileIO.h"
#include "dga/GasProductionRate.h"
#include "ui/records/DatabaseCommands.h"
#include "ui/records/DatabaseViewDialog.h"
#include "ui/records/DeviceLibraryDialog.h"
#include "ui/records/PreviousTestDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <qcustomplot.h>

#include <ctime>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Answers the next name dialog with `name` (and, for a device, the company at `company`).
void answerName(const QString& name, int company = -1)
{
    whenDialogShows([name, company](QDialog& d) {
        if (auto* c = dynamic_cast<CompanyNameDialog*>(&d))
            c->nameEdit()->setText(name);
        if (auto* device = dynamic_cast<DeviceInfoDialog*>(&d)) {
            device->nameEdit()->setText(name);
            if (company >= 0)
                device->companyBox()->setCurrentIndex(company);
        }
        d.accept();
    });
}

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void saveTest(TestRecordDatabase& db, const char* device, std::time_t when, double h2,
              double c2h2 = 6.0)
{
    char time[32];
    std::strftime(time, sizeof time, "%Y/%m/%d %H:%M:%S", std::localtime(&when));
    TestRecord t;
    t.injectTime = time;
    t.batchNo = "P-1";
    t.values[TestRecord::H2] = h2;
    t.values[TestRecord::C2H2] = c2h2;
    t.values[TestRecord::AllC] = 80.25;
    t.status = -2;
    QCOMPARE(db.saveTest("东郊变电站", device, t), TestSaveResult::Inserted);
}

}  // namespace

class DatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void theDeviceLibraryKeepsCompaniesAndTheirDevices()
    {
        UiFixture f;
        TestRecordDatabase& db = f.database();
        DeviceLibraryDialog dialog(db, f.prompts);
        answerName(QStringLiteral("东郊变电站"));
        dialog.addCompany();
        answerName(QStringLiteral("西郊变电站"));
        dialog.addCompany();
        QCOMPARE(texts(dialog.companies()),
                 (QStringList{QStringLiteral("东郊变电站"), QStringLiteral("西郊变电站")}));
        // The new company is chosen; its device goes to the company picked in the dialog.
        QCOMPARE(dialog.companies()->currentItem()->text(), QStringLiteral("西郊变电站"));
        answerName(QStringLiteral("1号主变"), 0);
        dialog.addDevice();
        QCOMPARE(dialog.companies()->currentItem()->text(), QStringLiteral("东郊变电站"));
        QCOMPARE(texts(dialog.devices()), QStringList{QStringLiteral("1号主变")});
        saveDialogShot(dialog, "device-library");

        // A company with devices stays, whatever the answer to the question.
        f.prompts.yesNo = {true};
        dialog.deleteCompany();
        QCOMPARE(f.prompts.messages.last(), qs(TestRecordDatabase::kCompanyHasDevices));
        dialog.devices()->setCurrentRow(0);
        f.prompts.yesNo = {false};
        dialog.deleteDevice();  // refused by the operator
        QCOMPARE(dialog.devices()->count(), 1);
        f.prompts.yesNo = {true, true};
        dialog.deleteDevice();
        dialog.deleteCompany();
        QCOMPARE(texts(dialog.companies()), QStringList{QStringLiteral("西郊变电站")});
        QCOMPARE(db.companyId("东郊变电站").value(), -1);
    }

    void theViewListsDrawsAndJudgesTheTestsOfTheChosenDevice()
    {
        UiFixture f;
        TestRecordDatabase& db = f.database("东郊变电站", "1号主变");
        const std::time_t now = std::time(nullptr);
        saveTest(db, "1号主变", now - 40 * 86400, 60.0);
        saveTest(db, "1号主变", now - 2 * 86400, 160.0);
        f.prompts.messages.clear();

        // It opens on the first company and its first device, not on an empty list.
        DatabaseViewDialog view(db, f.prompts, {});
        QCOMPARE(view.companies()->currentItem()->text(), QStringLiteral("东郊变电站"));
        QCOMPARE(view.devices()->currentItem()->text(), QStringLiteral("1号主变"));
        QCOMPARE(view.tests()->rowCount(), 2);
        // The time axis names each test day once, from the first test on.
        QCPAxisTickerText& days = dynamic_cast<QCPAxisTickerText&>(*view.trend()->xAxis->ticker());
        QCOMPARE(days.ticks().size(), 2);
        QVERIFY(view.trend()->xAxis->range().lower >= days.ticks().firstKey() - 1.0);
        // Newest first, in the list's formats.
        QCOMPARE(view.tests()->item(0, 2)->text(), QStringLiteral("160.00"));
        QCOMPARE(view.tests()->item(0, 11)->text(), QStringLiteral("80.25"));
        QCOMPARE(view.tests()->item(0, 12)->text(), QStringLiteral("是"));
        QCOMPARE(view.tests()->item(1, 0)->text(), QStringLiteral("2"));
        // The trend: each gas over both tests, oldest first.
        QCPGraph* hydrogen = view.trend()->graph(0);
        QCOMPARE(hydrogen->dataCount(), 2);
        QCOMPARE(hydrogen->data()->at(0)->value, 60.0);
        saveDialogShot(view, "database-view");
        // The acetylene attention line follows the device's voltage class.
        const auto acetyleneLine = [](const DatabaseViewDialog& v) {
            for (int i = 0; i < v.trend()->itemCount(); ++i)
                if (const auto* line = qobject_cast<QCPItemStraightLine*>(v.trend()->item(i));
                    line && line->pen().color() == QColor(210, 30, 30))
                    return line->point1->coords().y();
            return -1.0;
        };
        QCOMPARE(acetyleneLine(view), 5.0);
        QVERIFY(
            db.setDeviceClass(db.deviceId("1号主变", db.companyId("东郊变电站").value()).value(),
                              {500, false, JudgingStandard::Dlt722}));
        QCOMPARE(acetyleneLine(DatabaseViewDialog(db, f.prompts, {})), 1.0);

        view.ranges()->button(int(TestRange::Month))->click();
        QCOMPARE(view.tests()->rowCount(), 1);

        // The export is proposed under the data root, named after what it holds.
        view.setExportFolder(qs(defaultExportFolder(f.root)));
        f.prompts.files = {QString::fromUtf8(ScriptedPrompts::kTakeProposal)};
        QVERIFY(view.exportCsv());
        const QString csv = f.prompts.lastSaveProposal;
        QCOMPARE(csv,
                 qs(defaultExportFolder(f.root)) +
                     QStringLiteral("/试验记录_东郊变电站_1号主变.csv"));
        const QString text = QString::fromUtf8(QByteArray::fromStdString(readWholeFile(ss(csv))));
        const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QStringLiteral("总烃,异常,公司,设备,批号,状态")));
        QVERIFY(lines[1].contains(QStringLiteral(",160.00,")));
        QVERIFY(f.prompts.messages.isEmpty());

        // Each listed test says how it stands against the limits of its own device's class.
        const int company = db.companyId("东郊变电站").value();
        const struct {
            const char* device;
            DeviceClass limits;
            QString status;
        } cases[] = {
            {"500kV主变",
             {500, false, JudgingStandard::Dlt722},
             QStringLiteral("超过: C2H2 注意值")},
            {"110kV主变", {110, false, JudgingStandard::Dlt722}, QStringLiteral("正常")},
            {"110kV站变", {110, false, JudgingStandard::IeeeC57104}, QStringLiteral("状态 3")},
        };
        for (const auto& c : cases) {
            db.addDevice(c.device, company);
            QVERIFY(db.setDeviceClass(db.deviceId(c.device, company).value(), c.limits));
            saveTest(db, c.device, std::time(nullptr) - 86400, 20.0, 2.0);
        }
        DatabaseViewDialog classes(db, f.prompts, {});
        const int status = classes.tests()->columnCount() - 1;
        for (const auto& c : cases) {
            classes.select(QStringLiteral("东郊变电站"), qs(c.device));
            QCOMPARE(classes.tests()->rowCount(), 1);
            QVERIFY2(classes.tests()->item(0, status)->text().startsWith(c.status),
                     qPrintable(classes.tests()->item(0, status)->text()));
        }
    }

    // Tests on one day, on a few days, on many: each day once, oldest first, ends kept.
    void theTrendNamesEachTestDayOnce()
    {
        const double day = 86400.0;
        const double t0 = QDateTime(QDate(2026, 3, 2), QTime(9, 0)).toSecsSinceEpoch();
        struct Case {
            std::vector<double> keys;
            QStringList labels;
        };
        const Case cases[] = {
            {{}, {}},
            {{t0, t0 + 3600, t0 + 7200}, {QStringLiteral("2026-03-02")}},
            {{t0, t0 + 3600, t0 + day, t0 + 3 * day},
             {QStringLiteral("2026-03-02"), QStringLiteral("2026-03-03"),
              QStringLiteral("2026-03-05")}},
        };
        for (const Case& c : cases) {
            QStringList labels;
            for (const auto& [key, text] : trendDateTicks(c.keys))
                labels << text;
            QCOMPARE(labels, c.labels);
        }
        std::vector<double> many;
        for (int i = 0; i < 40; ++i)
            many.push_back(t0 + i * day);
        const auto thinned = trendDateTicks(many, 8);
        QCOMPARE(thinned.size(), size_t{8});
        QCOMPARE(thinned.front().first, many.front());
        QCOMPARE(thinned.back().first, many.back());
    }

    void thePreviousTestIsCheckedThenKeptInTheDocument()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("B_prev.chg"));
        f.prompts.messages.clear();
        whenDialogShows([&](QDialog& d) {
            auto& dialog = dynamic_cast<PreviousTestDialog&>(d);
            dialog.dateEdit()->setText(QStringLiteral("2026-13-01 08:00:00"));
            dialog.valueEdit(4)->setText(QStringLiteral("12.5"));
            dialog.accept();  // refused: no thirteenth month
            const bool stillOpen = dialog.isVisible();
            dialog.dateEdit()->setText(QStringLiteral("2026-11-01 08:00:00"));
            saveDialogShot(dialog, "previous-test");
            dialog.accept();
            QVERIFY(stillOpen);
        });
        QVERIFY(f.frame->databaseCommands().editPreviousTest(*w));
        QCOMPARE(f.prompts.messages, QStringList{qs(PreviousTestDialog::kBadDate)});
        const RateRecord& r = w->document().data.method.testRecord;
        QCOMPARE(qs(r.testTime.format("%Y-%m-%d %H:%M:%S")), QStringLiteral("2026-11-01 08:00:00"));
        QCOMPARE(r.values[4], 12.5);
        QVERIFY(w->document().isModified());

        // Cleared, the document holds no previous test and the rates say what they lack.
        whenDialogShows([&](QDialog& d) {
            auto& dialog = dynamic_cast<PreviousTestDialog&>(d);
            QCOMPARE(dialog.dateEdit()->text(), QStringLiteral("2026-11-01 08:00:00"));
            for (QPushButton* b : dialog.findChildren<QPushButton*>())
                if (b->text() == qs(PreviousTestDialog::kClearButton))
                    b->click();
            dialog.accept();
        });
        QVERIFY(f.frame->databaseCommands().editPreviousTest(*w));
        QVERIFY(!hasPreviousTest(w->document().data.method.testRecord));
        QCOMPARE(w->document().data.method.testRecord, RateRecord{});
        QCOMPARE(f.prompts.messages.size(), 1);
    }
};

int runDatabaseTests(int argc, char** argv)
{
    DatabaseTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "DatabaseTest.moc"
