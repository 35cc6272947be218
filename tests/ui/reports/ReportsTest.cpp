#include "DialogShot.h"
#include "UiFixture.h"

#include "report/PdfText.h"

#include "quant/GasSet.h"
#include "ui/graph/CResultListView.h"
#include "ui/reports/DgaPrintSettingsDialog.h"
#include "ui/reports/ReportCommands.h"
#include "ui/shell/DocumentCommands.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include <cstdio>

using namespace dgaws;
using namespace dgaws::test;

namespace {

const ReportTable* firstTable(const Report& r)
{
    for (const ReportBlock& b : r.blocks)
        if (const auto* t = std::get_if<ReportTable>(&b))
            return t;
    return nullptr;
}

}  // namespace

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void thePdfShowsTheResultTableAsTheWindowDoes()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_report.chg"));
        const QString pdf = qs(f.root.root() + "/A_report.pdf");
        f.prompts.files = {pdf};
        QCOMPARE(f.frame->reportCommands().exportPdf(*w, ReportCommands::Kind::Analysis), pdf);
        QCOMPARE(f.prompts.messages,
                 QStringList{qs(ReportCommands::kPdfSaved).replace(QStringLiteral("%s"), pdf)});
        const std::string text = pdfText(ss(pdf));
        const CResultListView& list = *w->results();
        // Peak number, name, time, height, area, gas and oil contents: every shown cell.
        for (int r = 0; r < list.rowCount(); ++r)
            for (const int c : {1, 2, 3, 4, 5, 7, 8})
                if (list.item(r, c) && !list.item(r, c)->text().isEmpty())
                    QVERIFY2(text.find(ss(list.item(r, c)->text())) != std::string::npos,
                             qPrintable(list.item(r, c)->text()));

        // A folder that is not there: the failure is shown and nothing is left behind.
        const QString nowhere = qs(f.root.root() + "/missing/folder/x.pdf");
        f.prompts.files = {nowhere};
        QVERIFY(!f.frame->reportCommands().exportPdf(*w, ReportCommands::Kind::Analysis));
        QVERIFY(f.prompts.messages.last().contains(nowhere));
        QVERIFY(!QFileInfo::exists(nowhere + QStringLiteral(".part")));
    }

    // The print settings choose rows, columns and language; the printed limits are those the
    // diagnosis judges by, the device's own class.
    void thePrintSettingsChooseRowsColumnsAndLanguageAndTheLimitsAreTheDevices()
    {
        UiFixture f;
        TestRecordDatabase& db = f.database("东郊变电站", "1号主变");
        QVERIFY(
            db.setDeviceClass(db.deviceId("1号主变", db.companyId("东郊变电站").value()).value(),
                              {500, false, JudgingStandard::Dlt722}));
        ChromatogramData gases = sample::demoGasChromatogram();
        gases.method.sendingCompany = "东郊变电站";
        gases.method.deviceNo = "1号主变";
        CChildFrame* w = f.frame->openDocument(f.writeSample("B_report.chg", gases));
        w->document().detectPeaks();
        f.frame->documentCommands().applyMethodChoice(*w, {0, 1});
        bool okWithoutColumns = true;
        whenDialogShows([&](QDialog& d) {
            auto& dialog = dynamic_cast<DgaPrintSettingsDialog&>(d);
            QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            std::vector<bool> before;
            for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c) {
                before.push_back(dialog.column(DgaPrintSettings::Column(c))->isChecked());
                dialog.column(DgaPrintSettings::Column(c))->setChecked(false);
            }
            okWithoutColumns = ok->isEnabled();
            for (int c = 0; c < DgaPrintSettings::ColumnCount; ++c)
                dialog.column(DgaPrintSettings::Column(c))->setChecked(before[size_t(c)]);
            dialog.filters()->button(DgaPrintSettings::RatioComponents)->click();
            dialog.column(DgaPrintSettings::Rate)->setChecked(false);
            dialog.language()->setCurrentIndex(2);  // English
            saveDialogShot(dialog, "dga-print-settings");
            ok->click();
        });
        QVERIFY(f.frame->reportCommands().editDgaSettings());
        QVERIFY(!okWithoutColumns);

        const Report r = f.frame->reportCommands().reportOf(*w, ReportCommands::Kind::Dga);
        QCOMPARE(qs(r.title), QStringLiteral("Dissolved Gas Analysis Report"));
        const ReportTable* table = firstTable(r);
        QVERIFY(table);
        QVERIFY(std::find(table->headers.begin(), table->headers.end(), "Rate ") ==
                table->headers.end());
        QVERIFY(!table->rows.empty());
        for (const auto& row : table->rows) {
            const std::string name = ss(qs(row[1]).trimmed());
            QVERIFY2(name == GasSet::H2 || name == GasSet::CH4 || name == GasSet::C2H2 ||
                         name == GasSet::C2H4 || name == GasSet::C2H6,
                     name.c_str());
        }

        QString limits;
        for (const ReportBlock& b : r.blocks)
            if (const auto* h = std::get_if<ReportHeading>(&b); h && qs(h->text).contains("kV"))
                limits = qs(h->text);
        QVERIFY2(limits.contains(QStringLiteral("500 kV")), qPrintable(limits));
    }
};

int runReportTests(int argc, char** argv)
{
    ReportsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ReportsTest.moc"
