#include "ui/reports/WorkbookCommands.h"

#include "ui/common/ExportPath.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/reports/WorkbookColumnDialog.h"
#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"
#include "app/OutputFolders.h"
#include "app/WorkstationApp.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

#include <filesystem>

namespace dgaws {

WorkbookCommands::WorkbookCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                   QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

bool WorkbookCommands::canWrite(const CChrEDoc& doc)
{
    return !doc.acquiring();
}

void WorkbookCommands::addTo(QMenu* menu, std::function<CChildFrame*()> activeFrame)
{
    // (&E) is the method command's in the same menu.
    QMenu* sub = menu->addMenu(QStringLiteral("Excel记录(&X)"));
    const auto add = [&](const char* text, std::function<void(CChildFrame&)> run) {
        QAction* action = sub->addAction(qs(text));
        connect(action, &QAction::triggered, this, [activeFrame, run] {
            if (CChildFrame* frame = activeFrame())
                run(*frame);
        });
        actions_ << action;
    };
    const auto writing = [this](WorkbookKind kind) {
        return [this, kind](CChildFrame& frame) { write(frame, kind); };
    };
    add(kNewCard, writing(WorkbookKind::RecordCard));
    add(kAppendCard, [this](CChildFrame& frame) { appendToCard(frame); });
    add(kOtherRecord, writing(WorkbookKind::OtherSituation));
    add(kSampleLabel, writing(WorkbookKind::SampleLabel));
    sub->addSeparator();
    add(kCustomReport, writing(WorkbookKind::CustomReport));
}

void WorkbookCommands::update(const CChildFrame* active)
{
    for (QAction* action : actions_)
        action->setEnabled(active && canWrite(active->document()));
}

std::optional<int> WorkbookCommands::chooseColumn()
{
    WorkbookColumnDialog dialog(dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.column();
}

std::optional<QString> WorkbookCommands::write(CChildFrame& frame, WorkbookKind kind)
{
    const CChrEDoc& doc = frame.document();
    if (!canWrite(doc)) {
        prompts_.message(qs(kNotWhileSampling), OperatorPrompts::Icon::Exclamation);
        return std::nullopt;
    }
    int column = 0;
    if (kind == WorkbookKind::RecordCard) {
        const std::optional<int> chosen = chooseColumn();
        if (!chosen)
            return std::nullopt;
        column = *chosen;
    }
    try {
        const std::string schemePath = app_.settings().SchemePath;
        ensureTemplate(kind, schemePath);
        const std::string folder =
            workbookFolder(doc.data.method, defaultWorkbookFolder(app_.root()));
        const std::string title = ss(documentBaseName(doc));
        // Half a test is refused before the operator is asked anything.
        const ChromatogramData shown = workbookData(doc.data, doc.pathName, doc.dataFolder);
        ExistingCard existing = ExistingCard::Keep;
        const QString target = qs(templateWorkbookPath(kind, title, folder));
        if (kind == WorkbookKind::RecordCard && QFileInfo::exists(target)) {
            if (!prompts_.askYesNo(qs(kReplaceCardQuestion).replace(QStringLiteral("%s"), target)))
                return std::nullopt;
            existing = ExistingCard::Replace;
        }
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const QString path =
            qs(writeTemplateWorkbook(kind, shown, title, schemePath, folder, column, existing));
        announce(kind, path);
        return path;
    } catch (const WorkbookError& e) {
        prompts_.message(qs(e.what()));
        return std::nullopt;
    }
}

std::optional<QString> WorkbookCommands::appendToCard(CChildFrame& frame)
{
    const CChrEDoc& doc = frame.document();
    if (!canWrite(doc)) {
        prompts_.message(qs(kNotWhileSampling), OperatorPrompts::Icon::Exclamation);
        return std::nullopt;
    }
    const std::string folder = workbookFolder(doc.data.method, defaultWorkbookFolder(app_.root()));
    const std::optional<QString> card =
        prompts_.openFile(QString(), qs(folder), nameFiltersFromStored(kRecordCardFilter));
    if (!card)
        return std::nullopt;
    const std::optional<int> column = chooseColumn();
    if (!column)
        return std::nullopt;
    try {
        appendToRecordCard(ss(*card), workbookData(doc.data, doc.pathName, doc.dataFolder),
                           *column);
    } catch (const WorkbookError& e) {
        prompts_.message(qs(e.what()));
        return std::nullopt;
    }
    announce(WorkbookKind::RecordCard, *card);
    return card;
}

void WorkbookCommands::announce(WorkbookKind kind, const QString& path)
{
    // The desktop starts its program and returns; the window goes on.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    prompts_.message(qs(workbookTemplate(kind).savedMessage).replace(QStringLiteral("%s"), path),
                     OperatorPrompts::Icon::Information);
}

}  // namespace dgaws
