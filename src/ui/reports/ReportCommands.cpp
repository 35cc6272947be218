#include "ui/reports/ReportCommands.h"

#include "ui/common/ExportPath.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/reports/DgaPrintSettingsDialog.h"
#include "ui/reports/ReportOutput.h"
#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"
#include "app/DataRoot.h"
#include "app/DocumentDiagnosis.h"
#include "app/OutputFolders.h"
#include "app/WorkstationApp.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"
#include "report/AnalysisReport.h"
#include "report/DgaReport.h"
#include "report/PageSetup.h"
#include "report/ReportRenderer.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <filesystem>

namespace dgaws {

ReportCommands::ReportCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

std::string ReportCommands::settingsFile() const
{
    return app_.root().settingsFile();
}

void ReportCommands::addTo(QMenu* fileMenu, QAction* before,
                           std::function<CChildFrame*()> activeFrame)
{
    const auto add = [&](const char* text, std::function<void()> run, bool forDocument) {
        auto* action = new QAction(qs(text), fileMenu);
        fileMenu->insertAction(before, action);
        connect(action, &QAction::triggered, this, run);
        if (forDocument)
            documentActions_ << action;
        return action;
    };
    const auto onActive = [activeFrame](std::function<void(CChildFrame&)> run) {
        return [activeFrame, run] {
            if (CChildFrame* frame = activeFrame())
                run(*frame);
        };
    };
    add(kPrint, onActive([this](CChildFrame& f) { print(f, Kind::Analysis); }), true)
        ->setShortcut(QKeySequence::Print);
    add(kPreview, onActive([this](CChildFrame& f) { preview(f, Kind::Analysis); }), true);
    add(
        kPageSetup, [this] { pageSetup(); }, false);
    add(kExportPdf, onActive([this](CChildFrame& f) { exportPdf(f, Kind::Analysis); }), true);
    add(
        kDgaSettings, [this] { editDgaSettings(); }, false);
    fileMenu->insertSeparator(before);
}

void ReportCommands::update(const CChildFrame* active)
{
    for (QAction* action : documentActions_)
        action->setEnabled(active != nullptr);
}

Report ReportCommands::reportOf(CChildFrame& frame, Kind kind) const
{
    CChrEDoc& doc = frame.document();
    const DgaPrintSettings settings = loadDgaPrintSettings(settingsFile());
    const std::string fileName = ss(QFileInfo(qs(doc.pathName)).fileName());
    const std::string printedAt =
        ss(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // The limits printed are those of the device's own class, as its diagnosis judged it.
    return kind == Kind::Dga
        ? dgaReport(doc.data, doc.linkedData, fileName, settings, printedAt,
                    storedDeviceClass(doc, &app_.database()), doc.calibrationCurve())
        : analysisReport(doc.data, doc.linkedData, fileName, settings, printedAt,
                         doc.calibrationCurve());
}

bool ReportCommands::bothChannelsReadable(CChildFrame& frame)
{
    const Result<void> read = frame.document().readLinkedData();
    if (!read)
        prompts_.message(qs(read.error() + kHalfTestRefused));
    return read.has_value();
}

QPageLayout ReportCommands::pageLayout() const
{
    return loadPageLayout(settingsFile());
}

bool ReportCommands::print(CChildFrame& frame, Kind kind)
{
    if (!bothChannelsReadable(frame))
        return false;
    return printReport(reportOf(frame, kind), pageLayout(), dialogParent_);
}

void ReportCommands::preview(CChildFrame& frame, Kind kind)
{
    if (!bothChannelsReadable(frame))
        return;
    previewReport(reportOf(frame, kind), pageLayout(), dialogParent_);
}

bool ReportCommands::pageSetup()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    QPageSetupDialog dialog(&printer, dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    savePageLayout(settingsFile(), printer.pageLayout());
    return true;
}

std::optional<QString> ReportCommands::exportPdf(CChildFrame& frame, Kind kind)
{
    if (!bothChannelsReadable(frame))
        return std::nullopt;
    CChrEDoc& doc = frame.document();
    const QString proposal =
        exportProposal(doc, defaultExportFolder(app_.root()), QStringLiteral("pdf"));
    const std::optional<QString> path =
        prompts_.saveFile(QStringLiteral("导出PDF"), proposal, nameFiltersFromStored(kPdfFilter),
                          QStringLiteral("pdf"));
    if (!path)
        return std::nullopt;
    if (!writeReportPdf(reportOf(frame, kind), pageLayout(), *path)) {
        prompts_.message(qs(kPdfFailed).replace(QStringLiteral("%s"), *path));
        return std::nullopt;
    }
    // As the workbooks do: the operator learns where the file went.
    prompts_.message(qs(kPdfSaved).replace(QStringLiteral("%s"), *path),
                     OperatorPrompts::Icon::Information);
    return path;
}

bool ReportCommands::editDgaSettings()
{
    DgaPrintSettingsDialog dialog(loadDgaPrintSettings(settingsFile()), dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    saveDgaPrintSettings(settingsFile(), dialog.settings());
    return true;
}

}  // namespace dgaws
