#include "DialogShot.h"
#include "OpenedFiles.h"
#include "UiFixture.h"

#include "report/XlsxReader.h"

#include "chromatogram/FileIO.h"
#include "report/TemplateWorkbooks.h"
#include "ui/reports/WorkbookColumnDialog.h"
#include "ui/reports/WorkbookCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// Chooses a column in "写入EXCEL" and confirms, or cancels with none.
void chooseColumn(std::optional<int> column)
{
    whenDialogShows([column](QDialog& d) {
        auto& dialog = dynamic_cast<WorkbookColumnDialog&>(d);
        if (!column) {
            dialog.reject();
            return;
        }
        dialog.setColumn(*column);
        saveDialogShot(dialog, "workbook-column");
        dialog.accept();
    });
}

double number(const std::map<std::string, ReadCell>& cells, const std::string& ref)
{
    const auto it = cells.find(ref);
    return it == cells.end() || !it->second.type.empty() ? -1.0 : std::stod(it->second.value);
}

}  // namespace

class WorkbooksTest : public QObject {
    Q_OBJECT
private slots:
    // A new card takes the chosen column and opens; appended to, it keeps the first test; a
    // new card of its name is asked about; a file that is no card is left alone.
    void aNewCardTakesTheChosenColumnAndOpens()
    {
        UiFixture f;
        OpenedFiles opened;
        CChildFrame* w = f.frame->openDocument(f.writeSample("B_card.chg"));
        const std::string folder = f.root.root() + "/cards";
        w->document().data.method.text4 = folder;

        chooseColumn(std::nullopt);
        QVERIFY(!f.frame->workbookCommands().write(*w, WorkbookKind::RecordCard));
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(opened.paths.isEmpty());

        chooseColumn(3);
        const auto path = f.frame->workbookCommands().write(*w, WorkbookKind::RecordCard);
        QVERIFY(path);
        QCOMPARE(*path, qs(folder + "/B_card_设备档案卡片.xlsx"));
        QCOMPARE(opened.paths, QStringList{*path});
        QCOMPARE(f.prompts.messages,
                 QStringList{QString::fromUtf8("设备档案卡片的Excel文件已经保存到") + *path});
        const auto cells = XlsxReader(ss(*path)).sheet("设备档案卡片");
        // "第四列" is column I; its total is the four hydrocarbons above it.
        const double hydrocarbons = number(cells, "I18") + number(cells, "I19") +
            number(cells, "I20") + number(cells, "I21");
        QVERIFY(hydrocarbons > 0.0);
        QVERIFY(std::abs(number(cells, "I22") - hydrocarbons) < 1e-9 * hydrocarbons);
        QCOMPARE(cells.count("J13"), size_t{0});

        // Appended to: the second test in "第二列", the first kept.
        f.prompts.files = {*path};
        chooseColumn(1);
        QCOMPARE(f.frame->workbookCommands().appendToCard(*w), path);
        const auto appended = XlsxReader(ss(*path)).sheet("设备档案卡片");
        QCOMPARE(number(appended, "F22"), number(cells, "I22"));
        QCOMPARE(number(appended, "I22"), number(cells, "I22"));

        // A new card of the same name would lose the appended test: asked first, kept on no.
        f.prompts.questions.clear();
        f.prompts.yesNo = {false};
        chooseColumn(3);
        QVERIFY(!f.frame->workbookCommands().write(*w, WorkbookKind::RecordCard));
        QCOMPARE(f.prompts.questions,
                 QStringList{qs(kReplaceCardQuestion).replace(QStringLiteral("%s"), *path)});
        QCOMPARE(number(XlsxReader(ss(*path)).sheet("设备档案卡片"), "F22"), number(cells, "I22"));
        f.prompts.yesNo = {true};
        chooseColumn(3);
        QCOMPARE(f.frame->workbookCommands().write(*w, WorkbookKind::RecordCard), path);
        const auto fresh = XlsxReader(ss(*path)).sheet("设备档案卡片");
        QVERIFY(fresh.count("F22") == 0 || fresh.at("F22").value.empty());

        // A file that is no card is left alone, and nothing is opened.
        const std::string notes = f.root.root() + "/notes.xlsx";
        writeFileAtomically(notes, "not a workbook");
        f.prompts.files = {qs(notes)};
        f.prompts.messages.clear();
        opened.paths.clear();
        chooseColumn(0);
        QVERIFY(!f.frame->workbookCommands().appendToCard(*w));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].contains(QString::fromUtf8("不是Excel工作簿")));
        QCOMPARE(readWholeFile(notes), std::string("not a workbook"));
        QVERIFY(opened.paths.isEmpty());
    }

    void theMenuWritesTheLabelFromTheShippedTemplate()
    {
        UiFixture f;
        OpenedFiles opened;
        CChildFrame* w = f.frame->openDocument(f.writeSample("B_label.chg"));
        w->document().data.method.sendingCompany = "东郊变电站";
        w->document().data.method.text4 = f.root.root() + "/labels";
        QAction* label = f.command(qs(WorkbookCommands::kSampleLabel));
        QVERIFY(label && label->isEnabled());
        label->trigger();
        QCOMPARE(opened.paths.size(), 1);
        const auto cells = XlsxReader(ss(opened.paths[0])).sheet("样品标签");
        bool company = false;
        for (const auto& [ref, cell] : cells)
            company = company || cell.value == "东郊变电站";
        QVERIFY(company);
    }
};

int runWorkbookTests(int argc, char** argv)
{
    WorkbooksTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "WorkbooksTest.moc"
