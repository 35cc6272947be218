#include "ui/records/DatabaseCommands.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/records/DatabaseViewDialog.h"
#include "ui/records/DeviceLibraryDialog.h"
#include "ui/records/PreviousTestDialog.h"
#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"
#include "app/OutputFolders.h"
#include "app/WorkstationApp.h"
#include "chromatogram/ChromatogramFile.h"
#include "dga/DiagnoseCommand.h"
#include "report/TemplateWorkbooks.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QMenu>
#include <QRegularExpression>
#include <QUrl>

namespace dgaws {

namespace {

// Reading every chromatogram of a large archive would keep the window waiting; the search
// looks at this many files at most.
constexpr int kSearchLimit = 5000;

}  // namespace

DatabaseCommands::DatabaseCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                   QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

void DatabaseCommands::addTo(QMenu* systemMenu, QMenu* processMenu,
                             std::function<CChildFrame*()> activeFrame,
                             std::function<void(const QString&)> openChromatogram)
{
    open_ = std::move(openChromatogram);
    systemMenu->addSeparator();
    connect(systemMenu->addAction(qs(kDeviceLibrary)), &QAction::triggered, this,
            [this] { showDeviceLibrary(); });
    // The view opens on the active chromatogram's company and device when it names them.
    connect(systemMenu->addAction(qs(kViewDatabase)), &QAction::triggered, this,
            [this, activeFrame] {
                const CChildFrame* frame = activeFrame ? activeFrame() : nullptr;
                if (frame == nullptr) {
                    showDatabase();
                    return;
                }
                const AnalysisMethod& m = frame->document().data.method;
                showDatabase(qs(m.sendingCompany), qs(m.deviceNo));
            });
    const auto onActive = [this, activeFrame](const char* text, auto run) {
        QAction* action = new QAction(qs(text), this);
        connect(action, &QAction::triggered, this, [activeFrame, run] {
            if (CChildFrame* frame = activeFrame())
                run(*frame);
        });
        documentActions_ << action;
        return action;
    };
    processMenu->addSeparator();
    processMenu->addAction(onActive(kInsert, [this](CChildFrame& f) { insertTest(f); }));
    processMenu->addAction(
        onActive(kPreviousTest, [this](CChildFrame& f) { editPreviousTest(f); }));
}

void DatabaseCommands::update(const CChildFrame* active)
{
    for (QAction* action : documentActions_)
        action->setEnabled(active && !active->document().acquiring());
}

bool DatabaseCommands::registerUnknown(TestRecordDatabase& db, OperatorPrompts& prompts,
                                       const std::string& company, const std::string& device)
{
    if (!db.isOpen() || company.empty() || device.empty())
        return false;
    auto companyId = db.companyId(company);
    if (!companyId)
        return false;
    if (*companyId < 0) {
        if (!prompts.askYesNo(qs(kAddCompanyQuestion).arg(qs(company))) || !db.addCompany(company))
            return false;
        companyId = db.companyId(company);
        if (!companyId || *companyId < 0)
            return false;
    }
    const auto deviceId = db.deviceId(device, *companyId);
    if (!deviceId)
        return false;
    if (*deviceId >= 0)
        return true;
    return prompts.askYesNo(qs(kAddDeviceQuestion).arg(qs(device), qs(company))) &&
        db.addDevice(device, *companyId);
}

void DatabaseCommands::showDeviceLibrary()
{
    DeviceLibraryDialog dialog(app_.database(), prompts_, dialogParent_);
    dialog.exec();
}

void DatabaseCommands::showDatabase(const QString& company, const QString& device)
{
    DatabaseViewDialog::Actions actions;
    actions.printReport = [this](const TestRecord& test, const QString& companyName,
                                 const QString& deviceName) {
        try {
            const std::string schemePath = app_.settings().SchemePath;
            ensureTemplate(WorkbookKind::CustomReport, schemePath);
            QString title = deviceName + QLatin1Char('_') + qs(test.injectTime);
            title.replace(QRegularExpression(QStringLiteral("[/: ]")), QStringLiteral(""));
            const QString path =
                qs(writeCustomReport(placeholderValues(test, ss(companyName), ss(deviceName)),
                                     ss(title), schemePath, app_.settings().ProjectPath));
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            prompts_.message(qs(workbookTemplate(WorkbookKind::CustomReport).savedMessage)
                                 .replace(QStringLiteral("%s"), path),
                             OperatorPrompts::Icon::Information);
        } catch (const WorkbookError& e) {
            prompts_.message(qs(e.what()));
        }
    };
    actions.openChromatogram = [this](const TestRecord& test) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QString found;
        int looked = 0;
        QDirIterator files(qs(app_.settings().ProjectPath), {QStringLiteral("*.chg")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (found.isEmpty() && files.hasNext() && looked++ < kSearchLimit) {
            const QString path = files.next();
            try {
                const ChromatogramData d = readChromatogramFile(ss(path));
                if (d.injectionTime.format(kInjectTimeFormat) == test.injectTime)
                    found = path;
            } catch (const std::exception&) {
                // A damaged file is not the one looked for.
            }
        }
        QApplication::restoreOverrideCursor();
        if (found.isEmpty())
            prompts_.message(qs(kNoChromatogram));
        else if (open_)
            open_(found);
    };
    DatabaseViewDialog dialog(app_.database(), prompts_, std::move(actions), dialogParent_);
    dialog.setExportFolder(qs(defaultExportFolder(app_.root())));
    if (!company.isEmpty())
        dialog.select(company, device);
    dialog.exec();
}

bool DatabaseCommands::insertTest(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    TestRecordDatabase& db = app_.database();
    // The contents in oil of both channels, as the diagnosis gathers them; with one channel
    // missing the row would read its gases as 0.
    const DgaCollection collected = doc.collectDgaValues();
    if (collected.incomplete()) {
        prompts_.message(qs(linkedUnreadableText(collected.linkedPath, collected.linkedError) +
                            kHalfTestRefused));
        return false;
    }
    registerUnknown(db, prompts_, doc.data.method.sendingCompany, doc.data.method.deviceNo);
    const TestSaveResult saved = db.saveTest(doc.data.method.sendingCompany,
                                             doc.data.method.deviceNo, makeTestRecord(doc.data));
    // A replacement has said so itself.
    if (saved == TestSaveResult::Inserted)
        prompts_.message(qs(kTestInserted), OperatorPrompts::Icon::Information);
    return saved == TestSaveResult::Inserted || saved == TestSaveResult::Replaced;
}

bool DatabaseCommands::editPreviousTest(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    PreviousTestDialog dialog(doc.data.method.testRecord, prompts_, dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (dialog.accepted() == doc.data.method.testRecord)
        return false;
    doc.data.method.testRecord = dialog.accepted();
    doc.setModifiedFlag(true);
    frame.updateTitle();
    return true;
}

}  // namespace dgaws
