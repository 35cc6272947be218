#include "ui/run/RunController.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/run/PortChoiceDialog.h"
#include "ui/run/StartWizardDialog.h"
#include "ui/run/WaitWindow.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CProgStatusBar.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"

#include "acquisition/PortDiscovery.h"
#include "app/CChrEDoc.h"
#include "app/WorkstationApp.h"

#include <QApplication>

namespace dgaws {

RunController::RunController(CMainFrame& frame, WorkstationApp& app, OperatorPrompts& prompts)
    : QObject(&frame), frame_(frame), app_(app), prompts_(prompts)
{
    runs_ = std::make_unique<ChannelRuns>(app_.settings(), &app_.library(), callbacks());
    runs_->setDetection(&detection_);
    runs_->setProposalEnvironment(app_.proposalEnvironment(
        [this](const std::string& q) { return prompts_.askYesNo(qs(q)); }));
    link_ = std::make_unique<CollectorLink>(app_.settings(), *runs_);
    link_->setFallbackDemoPath(app_.root().defaultSimDataPath());
    search_ = std::make_unique<PortSearch>(*link_);
    search_->setAsk([this](const std::string& q) { return prompts_.askYesNo(qs(q)); });
    search_->setLog([this](const std::string& line) { app_.log(line); });
    wait_ = std::make_unique<WaitWindow>(&frame_);

    connect(link_.get(), &CollectorLink::waitText, this, &RunController::showWait);
    connect(link_.get(), &CollectorLink::connectionWaitOver, this, &RunController::endWait);
    connect(link_.get(), &CollectorLink::message, this, [this](const QString& text) {
        if (unattended_)
            frame_.progressBar()->setPaneText(CProgStatusBar::Text, text);
        else
            prompts_.message(text, OperatorPrompts::Icon::Information);
    });
    connect(link_.get(), &CollectorLink::statusText, this, [this](const QString& text) {
        frame_.progressBar()->setPaneText(CProgStatusBar::Simulation, text);
    });
    connect(link_.get(), &CollectorLink::openSettingsRequested, &frame_,
            [this] { frame_.actions().systemOptions->trigger(); });
    // A failing port is told once in a box (the port reports each failure once) and stays
    // in the status bar; a device that comes back is taken again without a word but there.
    connect(link_.get(), &CollectorLink::portError, this, [this](const QString& text) {
        frame_.progressBar()->setPaneText(CProgStatusBar::Text, text.trimmed());
        app_.log(ss(text.trimmed()));
        if (!unattended_)
            prompts_.message(text, OperatorPrompts::Icon::Exclamation);
    });
    connect(link_.get(), &CollectorLink::portBack, this, [this](const QString& path) {
        frame_.progressBar()->setPaneText(CProgStatusBar::Text, path);
    });
    connect(search_.get(), &PortSearch::started, this, [this] {
        frame_.setEnabled(false);
        showWait(qs(PortSearch::kWaiting));
    });
    connect(search_.get(), &PortSearch::progress, this, &RunController::showWait);
    connect(search_.get(), &PortSearch::finished, this, [this] { endWait(); });
}

RunController::~RunController()
{
    search_.reset();
    link_.reset();
}

RunCallbacks RunController::callbacks()
{
    RunCallbacks cb;
    cb.openChannel = [this](int channel) -> CChrEDoc* {
        CChildFrame* f = frame_.openChannel(channel);
        return f ? &f->document() : nullptr;
    };
    cb.message = [this](const std::string& text) { prompts_.message(qs(text)); };
    cb.ask = [this](const std::string& text) {
        return prompts_.askYesNo(qs(text), OperatorPrompts::Icon::Warning);
    };
    cb.chooseSavePath = [this](const std::string& proposed) -> std::optional<std::string> {
        const auto chosen = prompts_.saveFile(
            qs(DocumentCommands::kSaveCaption), qs(proposed),
            nameFiltersFromStored(DocumentCommands::kChromatogramFilter), QStringLiteral("chg"));
        if (!chosen)
            return std::nullopt;
        return ss(*chosen);
    };
    cb.beep = [] { QApplication::beep(); };
    cb.pointAdded = [this](CChrEDoc& doc, float) {
        if (CChildFrame* f = frameOf(doc))
            f->pointsAdded();
    };
    cb.status = [this](CChrEDoc& doc, const std::string& time, const std::string& voltage) {
        // Only the window in front speaks in the status bar.
        if (CChildFrame* f = frameOf(doc); f == nullptr || f != frame_.activeFrame())
            return;
        frame_.progressBar()->setPaneText(CProgStatusBar::Time, qs(time));
        frame_.progressBar()->setPaneText(CProgStatusBar::Voltage, qs(voltage));
    };
    cb.changed = [this](CChrEDoc& doc) {
        if (CChildFrame* f = frameOf(doc)) {
            if (doc.acquiring() && doc.acquiredCount == 0) {
                f->refreshViews();  // a run begins: new signal, the method's range
            } else {
                f->pointsAdded();
                f->peaksChanged();
            }
            f->graph()->setIgnition(doc.ignited());
            f->updateTitle();
        }
        frame_.refreshTabs();
        emit stateChanged();
    };
    cb.runSaved = [this](CChrEDoc& doc, const std::string& path) {
        if (CChildFrame* f = frameOf(doc)) {
            f->refreshViews();
            f->updateTitle();
        }
        if (!path.empty())
            app_.recentFiles().add(path);
        frame_.fileTree()->refresh();
        emit stateChanged();
    };
    return cb;
}

CChildFrame* RunController::frameOf(const CChrEDoc& doc) const
{
    return frame_.frameOf(&doc);
}

void RunController::adopt(CChrEDoc& doc, int channel)
{
    runs_->adoptChannelDocument(doc, channel);
}

void RunController::release(CChrEDoc& doc)
{
    runs_->releaseChannelDocument(doc);
}

bool RunController::canRun(const CChrEDoc& doc) const
{
    return runs_->canRun(doc);
}

bool RunController::canStop(const CChrEDoc& doc) const
{
    return doc.acquiring() && !doc.watchingStart();
}

bool RunController::canWatchStart(const CChrEDoc& doc) const
{
    return runs_->canWatchStart(doc);
}

bool RunController::run(CChrEDoc& doc)
{
    const bool started = runs_->run(doc);
    emit stateChanged();
    return started;
}

void RunController::stop(CChrEDoc& doc)
{
    runs_->stop(doc);
    emit stateChanged();
}

bool RunController::cancel(CChrEDoc& doc)
{
    const bool cancelled = runs_->cancel(doc);
    if (CChildFrame* f = frameOf(doc))
        f->refreshViews();
    emit stateChanged();
    return cancelled;
}

bool RunController::watchStart(CChrEDoc& doc)
{
    const bool watching = runs_->watchStart(doc);
    emit stateChanged();
    return watching;
}

void RunController::zero(CChrEDoc& doc)
{
    doc.requestBaselineZero();
}

void RunController::stopAllUnattended()
{
    runs_->stopAllUnattended();
    emit stateChanged();
}

void RunController::connectCollector()
{
    // A new connection ends the one in use; a run on it is stopped (and saved) first, when
    // the operator agrees.
    std::vector<CChrEDoc*> recording;
    for (int c = 0; c < 2; ++c)
        if (CChrEDoc* doc = runs_->channelDocument(c); doc && doc->acquiring())
            recording.push_back(doc);
    if (!recording.empty()) {
        if (!prompts_.askYesNo(qs(kReconnectWhileSampling), OperatorPrompts::Icon::Warning))
            return;
        for (CChrEDoc* doc : recording)
            if (doc->acquiring())
                runs_->stop(*doc);
        emit stateChanged();
    }
    link_->closeConnection();
    link_->newCollector();
    StartWizardDialog wizard(&frame_);
    wizard.exec();
    switch (wizard.choice()) {
    case StartWizardDialog::Automatic: searchAutomatically(); break;
    case StartWizardDialog::Manual: connectManually(); break;
    case StartWizardDialog::Simulated:
        startSimulation(CollectorLink::SimulationEntry::Wizard);
        break;
    case StartWizardDialog::NoConnection: break;
    }
}

void RunController::searchAutomatically()
{
    search_->start();
}

void RunController::connectManually()
{
    link_->connectManually(
        [this](const std::string& q) { return prompts_.askYesNo(qs(q)); },
        [this](const std::vector<PortEntry>& ports) -> std::optional<CollectorLink::PortChoice> {
            QStringList names, paths;
            for (const PortEntry& p : ports) {
                names << qs(p.friendlyName);
                paths << qs(p.devicePath);
            }
            PortChoiceDialog dialog(names, paths, &frame_);
            if (dialog.exec() != QDialog::Accepted)
                return std::nullopt;
            return CollectorLink::PortChoice{ss(dialog.chosenPort()), dialog.remember()};
        });
}

bool RunController::startSimulation(CollectorLink::SimulationEntry entry)
{
    const bool ok = link_->startSimulation(entry);
    emit stateChanged();
    return ok;
}

void RunController::showWait(const QString& text)
{
    wait_->showText(text);
}

void RunController::endWait()
{
    wait_->hide();
    frame_.setEnabled(true);
}

void RunController::shutdown()
{
    link_->shutdown();
}

}  // namespace dgaws
