#include "DialogShot.h"
#include "UiFixture.h"

#include "app/MethodSelection.h"
#include "ui/calibration/CalibrationCommands.h"
#include "ui/calibration/CalibrationCurveDialog.h"
#include "ui/calibration/CalibrationTableDialog.h"
#include "ui/methods/MethodChoiceDialog.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"
#include "ui/shell/MethodTreeNode.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <cmath>

using namespace dgaws;
using namespace dgaws::test;

namespace {

constexpr const char* kH2 = "H2(氢气)";

// The demonstration's standard gas with every peak `scale` times as high.
ChromatogramData gasesTimes(double scale)
{
    ChromatogramData d = sample::demoGasChromatogram();
    std::vector<float> v(static_cast<size_t>(d.signal.count()));
    for (int i = 0; i < d.signal.count(); ++i)
        v[static_cast<size_t>(i)] = static_cast<float>(1000.0 + (d.signal.at(i) - 1000.0) * scale);
    d.signal.assign(v);
    d.scanExtrema(-2000000.0f, 2000000.0f);
    return d;
}

double h2Content(const CChrEDoc& doc)
{
    for (const PeakRecord& p : doc.data.peaks)
        if (p.componentName == kH2)
            return p.gasContent;
    return -1.0;
}

const ComponentEntry& h2Of(const CalibrationCurve& curve)
{
    for (const ComponentEntry& e : curve.components)
        if (e.name == kH2)
            return e;
    return curve.components.front();
}

const CalibrationCurve& shippedCurve(UiFixture& f)
{
    return f.app->library().at(0).curves.at(0);
}

// Opens a chromatogram of the standard gas and detects its peaks.
CChildFrame* openGases(UiFixture& f, const std::string& name, double scale)
{
    CChildFrame* w = f.frame->openDocument(f.writeSample(name, gasesTimes(scale)));
    if (w != nullptr)
        w->document().detectPeaks();
    return w;
}

// "添加标样谱图到校正表(&A)" on the active window: the shipped method and its channel A
// curve, at `level` (from 1).
void addAsStandard(UiFixture& f, int level)
{
    f.prompts.integers.push_back(level);
    whenDialogShows([](QDialog& d) {
        auto& chooser = dynamic_cast<MethodChoiceDialog&>(d);
        chooser.methodList()->setCurrentRow(0);
        chooser.curveList()->setCurrentRow(0);
        chooser.confirmButton()->click();
    });
    f.frame->actions().addStandard->trigger();
}

// Runs `onTable` on the next table dialog, then confirms it.
void withTable(std::function<void(CalibrationTableDialog&)> onTable)
{
    whenDialogShows([onTable](QDialog& d) {
        auto& table = dynamic_cast<CalibrationTableDialog&>(d);
        onTable(table);
        table.button("确认(&O)")->click();
    });
}

int rowOf(const QTableWidget* grid, int column, const QString& text)
{
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, column) && grid->item(r, column)->text() == text)
            return r;
    return -1;
}

}  // namespace

class CalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void standardsFromTheWindowRefitTheCurveAndQuantifyTheNextSample()
    {
        UiFixture f;
        // The shipped curve at two levels, twice the demonstration's concentrations, no runs.
        MethodLibraryEntry entry = f.app->library().at(0);
        CalibrationCurve& curve = entry.curves[0];
        for (ComponentEntry& e : curve.components)
            e.concentrations = {e.concentrations.at(0) * 2, e.concentrations.at(0) * 4};
        curve.levels.assign(2, StandardLevel{});
        QVERIFY(f.app->library().edit(0, entry).ok());

        QVERIFY(openGases(f, "std1.chg", 1.0));
        addAsStandard(f, 1);
        QVERIFY(openGases(f, "std2.chg", 2.0));
        addAsStandard(f, 2);
        QCOMPARE(f.prompts.messages.count(QString::fromUtf8(kStandardAdded)), 2);
        QCOMPARE(shippedCurve(f).levels.at(0).runs.size(), size_t(1));
        QCOMPARE(shippedCurve(f).levels.at(1).runs.size(), size_t(1));
        const double cleanFactor = h2Of(shippedCurve(f)).factor1;
        QVERIFY(cleanFactor != 0.0);

        // The next sample works with the new factors: 1.5 times the gas reads as 1500.
        CChildFrame* sampleWindow = openGases(f, "sample.chg", 1.5);
        QVERIFY(sampleWindow);
        QVERIFY(MethodSelection::use(sampleWindow->document(), {0, 0}));
        QVERIFY2(std::abs(h2Content(sampleWindow->document()) - 1500.0) < 45.0,
                 qPrintable(QString::number(h2Content(sampleWindow->document()))));

        // A bad injection at level 2 skews the factor; the table shows it in the warning
        // colour, and deleting it there refits the curve as it was.
        QVERIFY(openGases(f, "bad.chg", 2.6));
        addAsStandard(f, 2);
        QVERIFY(std::abs(h2Of(shippedCurve(f)).factor1 - cleanFactor) > 0.01 * cleanFactor);
        f.frame->fileTree()->setCurrentItem(f.frame->methodTree()->node()->child(0)->child(0));
        bool flagged = false;
        bool worst = false;
        f.prompts.yesNo.push_back(true);
        withTable([&](CalibrationTableDialog& table) {
            QTableWidget* grid = table.componentGrid();
            const int nameColumn = table.column(CalibrationTableDialog::Column::Name);
            for (int r = 0; r < grid->rowCount(); ++r)
                if (auto* box = qobject_cast<QComboBox*>(grid->cellWidget(r, nameColumn));
                    box && box->currentText() == QString::fromUtf8(kH2))
                    grid->setCurrentCell(r, nameColumn);
            QTableWidget* list = table.standardList();
            const int bad = rowOf(list, 2, QStringLiteral("bad.chg"));
            QVERIFY(bad >= 0);
            // It also pulls the line away from the others, but none lies as far off.
            flagged = list->item(bad, 7)->background().style() != Qt::NoBrush;
            worst = true;
            for (int r = 0; r < list->rowCount(); ++r)
                worst = worst &&
                    std::abs(list->item(r, 7)->text().toDouble()) <=
                        std::abs(list->item(bad, 7)->text().toDouble());
            saveDialogShot(table, "calibration-table");
            list->setCurrentCell(bad, 0);
            table.button("删除标样数据")->click();
        });
        f.frame->actions().editCurve->trigger();
        QVERIFY2(flagged, "the bad run shows in the warning colour");
        QVERIFY2(worst, "the bad run deviates most");
        QCOMPARE(shippedCurve(f).levels.at(1).runs.size(), size_t(1));
        QVERIFY(std::abs(h2Of(shippedCurve(f)).factor1 - cleanFactor) < 1e-9 * cleanFactor);
        // The method file holds what the window shows.
        const MethodLibraryEntry stored = loadMethodFile(f.app->library().at(0).path);
        QCOMPARE(stored.curves.at(0), shippedCurve(f));
    }

    void aNewCurveFromTheTableIsLinkedToTheActiveChromatogram()
    {
        UiFixture f;
        CChildFrame* standard = openGases(f, "std.chg", 1.0);
        QVERIFY(standard && f.frame->documentCommands().save(*standard));
        QVERIFY(f.app->library().at(0).curves.size() == 2);
        CChildFrame* w = openGases(f, "sample.chg", 1.0);
        QVERIFY(w);
        CChrEDoc& doc = w->document();
        QVERIFY(MethodSelection::use(doc, {0, 0}));

        f.frame->fileTree()->setCurrentItem(f.frame->methodTree()->node()->child(0));
        f.prompts.files << qs(standard->document().pathName);
        QString proposedName;
        bool refusedDuplicate = false;
        withTable([&](CalibrationTableDialog& table) {
            proposedName = table.curveName()->text();
            QTableWidget* grid = table.componentGrid();
            const int conc = table.column(CalibrationTableDialog::Column::Concentration);
            // Every gas at 4 times the standard it is: the sample reads 4 times as much.
            for (int r = 0; r < grid->rowCount(); ++r) {
                const double was = grid->item(r, conc)->text().toDouble();
                grid->item(r, conc)->setText(QString::number(was * 4));
                QCoreApplication::processEvents();
            }
            table.button("加入标样数据")->click();
            QCOMPARE(table.standardList()->rowCount(), 1);
            table.curveName()->setText(QStringLiteral("ADefaultCali"));
            table.button("确认(&O)")->click();
            refusedDuplicate = table.isVisible() &&
                f.prompts.messages.contains(
                    QString::fromUtf8(CalibrationTableEditor::kDuplicateCurveName));
            table.curveName()->setText(proposedName);
        });
        f.frame->activate(w);
        f.frame->actions().newCurve->trigger();
        QCOMPARE(proposedName, QString::fromUtf8("校正曲线3"));
        QVERIFY2(refusedDuplicate, "a new curve may not take a name the method has");
        QCOMPARE(f.app->library().at(0).curves.size(), size_t(3));
        QCOMPARE(doc.libraryCalibrationIndex, 2);
        QCOMPARE(doc.data.calibrationName, std::string("校正曲线3"));
        QVERIFY2(std::abs(h2Content(doc) - 2000.0) < 60.0,
                 qPrintable(QString::number(h2Content(doc))));
    }

    // Refused cell edits and fields change nothing; the curve view shows the fit, copies the
    // plot and exports every fitted component.
    void refusedEditsChangeNothingAndTheCurveViewExportsEveryComponent()
    {
        UiFixture f;
        f.frame->fileTree()->setCurrentItem(f.frame->methodTree()->node()->child(0)->child(0));
        const CalibrationCurve before = shippedCurve(f);
        const QString pdf = qs(f.dir.path("curves.pdf"));
        QStringList names;
        bool stayedOpen = false;
        bool focused = false;
        QString equation;
        int exported = -1;
        bool copied = false;
        whenDialogShows([&](QDialog& d) {
            auto& table = dynamic_cast<CalibrationTableDialog&>(d);
            QTableWidget* grid = table.componentGrid();
            const int nameColumn = table.column(CalibrationTableDialog::Column::Name);
            // H2 renamed to the O2 the table has already.
            auto* box = qobject_cast<QComboBox*>(grid->cellWidget(0, nameColumn));
            QVERIFY(box);
            emit box->activated(box->findText(QString::fromUtf8("O2(氧气)")));
            QCoreApplication::processEvents();
            // Times and windows of 0 or less are ignored; the grid shows the curve again.
            const int time = table.column(CalibrationTableDialog::Column::RetentionTime);
            grid->item(1, time)->setText(QStringLiteral("-1"));
            QCoreApplication::processEvents();
            for (int r = 0; r < grid->rowCount(); ++r)
                names << qobject_cast<QComboBox*>(grid->cellWidget(r, nameColumn))->currentText() +
                        QLatin1Char('@') + grid->item(r, time)->text();
            auto* impurity = table.findChild<QLineEdit*>(QStringLiteral("impurityFactor1"));
            impurity->setText(QStringLiteral("1,5x"));
            table.show();
            table.button("确认(&O)")->click();
            stayedOpen = table.isVisible();
            focused = QApplication::focusWidget() == impurity;

            table.showCurveView = [&](QDialog& view) {
                auto& curveView = dynamic_cast<CalibrationCurveDialog&>(view);
                equation = curveView.equation();
                saveDialogShot(curveView, "calibration-curve");
                curveView.logarithmic()->setChecked(true);
                curveView.copyButton()->click();
                copied = !QApplication::clipboard()->pixmap().isNull();
                exported = curveView.exportCurves(pdf);
            };
            grid->setCurrentCell(0, 1);
            table.button("查看校正曲线")->click();
            table.reject();
        });
        f.frame->actions().editCurve->trigger();
        QCOMPARE(
            names,
            (QStringList{QString::fromUtf8("H2(氢气)@0.550"), QString::fromUtf8("O2(氧气)@0.950"),
                         QString::fromUtf8("N2(氮气)@1.450")}));
        QVERIFY(f.prompts.messages.contains(
            QString::fromUtf8(CalibrationTableEditor::kDuplicateComponent)));
        QVERIFY(
            f.prompts.messages.contains(QString::fromUtf8(CalibrationTableDialog::kNotANumber)));
        QVERIFY2(stayedOpen, "a factor that is not a number keeps the dialog open");
        QVERIFY2(focused, "on the bad field");
        const CalibrationCurve& curve = shippedCurve(f);
        QCOMPARE(curve, before);

        QCOMPARE(equation, qs(curveEquationLabel(curve.components.front())));
        QVERIFY2(copied, "the plot is on the clipboard");
        QVERIFY(!f.prompts.messages.contains(
            QString::fromUtf8(CalibrationCurveDialog::kClipboardFailed)));
        // Every fitted component of the channel A curve: a picture each, a page each.
        int fitted = 0;
        for (const ComponentEntry& e : curve.components)
            fitted += e.factor1 != 0.0 ? 1 : 0;
        QVERIFY(fitted > 1);
        QCOMPARE(exported, fitted);
        QCOMPARE(static_cast<int>(
                     QDir(qs(f.dir.path(""))).entryList({QStringLiteral("curves-*.png")}).size()),
                 fitted);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(static_cast<int>(bytes.count("/Type /Page") - bytes.count("/Type /Pages")),
                 fitted);
    }
};

int runCalibrationTests(int argc, char** argv)
{
    CalibrationTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "CalibrationTest.moc"
