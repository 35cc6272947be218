#include "ui/reports/ReportCommands.h"

#include "ui/common/ExportPath.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/reports/DgaPrintSettingsDialog.h"
#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"
#include "app/DataRoot.h"
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
    return kind == Kind::Dga
        ? dgaReport(doc.data, doc.linkedData, fileName, settings, printedAt)
        : analysisReport(doc.data, doc.linkedData, fileName, settings, printedAt);
}

namespace {

// Half a test is not printed: a linked chromatogram that is named but cannot be read is
// said, with its reason, and the report refused.
bool bothChannelsReadable(CChrEDoc& doc, OperatorPrompts& prompts)
{
    if (doc.data.linkedFile.empty())
        return true;
    const std::string path = linkedChromatogramPath(doc.data.linkedFile, doc.pathName, {});
    try {
        readChromatogramFile(path);
    } catch (const std::exception& e) {
        prompts.message(qs("无法读取关联文件 " + path + "：" + e.what() + "；报告未生成。"));
        return false;
    }
    doc.readLinkedData();
    return true;
}

}  // namespace

QPageLayout ReportCommands::pageLayout() const
{
    return loadPageLayout(settingsFile());
}

bool ReportCommands::print(CChildFrame& frame, Kind kind)
{
    if (!bothChannelsReadable(frame.document(), prompts_))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    QPrintDialog dialog(&printer, dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const Report report = reportOf(frame, kind);
    ReportRenderer(report).print(printer);
    return true;
}

void ReportCommands::preview(CChildFrame& frame, Kind kind)
{
    if (!bothChannelsReadable(frame.document(), prompts_))
        return;
    const Report report = reportOf(frame, kind);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    QPrintPreviewDialog dialog(&printer, dialogParent_);
    dialog.resize(900, 1000);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&report](QPrinter* target) { ReportRenderer(report).print(*target); });
    dialog.exec();
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
    if (!bothChannelsReadable(frame.document(), prompts_))
        return std::nullopt;
    CChrEDoc& doc = frame.document();
    const QString proposal =
        exportProposal(doc, defaultExportFolder(app_.root()), QStringLiteral("pdf"));
    const std::optional<QString> path =
        prompts_.saveFile(QStringLiteral("导出PDF"), proposal, nameFiltersFromStored(kPdfFilter),
                          QStringLiteral("pdf"));
    if (!path)
        return std::nullopt;
    const Report report = reportOf(frame, kind);
    // Written beside its place and renamed, so a failure leaves no partial file and the
    // previous one whole.
    const QString temporary = *path + QStringLiteral(".part");
    bool ok = false;
    {
        QPdfWriter writer(temporary);
        writer.setPageLayout(pageLayout());
        writer.setCreator(QStringLiteral("dgaws"));
        writer.setTitle(qs(report.title));
        ReportRenderer(report).print(writer);
    }
    ok = QFileInfo(temporary).size() > 0;
    std::error_code ec;
    if (ok)
        std::filesystem::rename(ss(temporary), ss(*path), ec);
    ok = ok && !ec;
    if (!ok) {
        QFile::remove(temporary);
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
