#pragma once

#include "acquisition/CollectorLink.h"
#include "acquisition/PortSearch.h"
#include "app/ChannelRuns.h"
#include "app/EngineDetection.h"

#include <QObject>

#include <memory>

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class CMainFrame;
class WaitWindow;
class OperatorPrompts;
class WorkstationApp;

// The main frame's side of acquisition: the collector link with its port and simulated
// connection, the run operations of the two channel documents, the connection wizard and
// the wait window. Everything acquisition tells the operator or asks arrives here and goes
// to the window's views, status bar and prompts.
class RunController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kReconnectWhileSampling =
        "正在采样，重新连接采集器将停止采样并保存谱图，是否继续？";

    RunController(CMainFrame& frame, WorkstationApp& app, OperatorPrompts& prompts);
    ~RunController() override;

    ChannelRuns& runs() { return *runs_; }
    CollectorLink& link() { return *link_; }

    // A channel window's document takes its channel slot (and its collector channel when
    // a collector exists); a closing one leaves them.
    void adopt(CChrEDoc& doc, int channel);
    void release(CChrEDoc& doc);

    // The document commands of a run.
    bool canRun(const CChrEDoc& doc) const;
    bool canStop(const CChrEDoc& doc) const;
    bool canWatchStart(const CChrEDoc& doc) const;
    bool run(CChrEDoc& doc);
    void stop(CChrEDoc& doc);
    bool cancel(CChrEDoc& doc);
    bool watchStart(CChrEDoc& doc);
    // "基线调零": the next point of the run becomes its zero.
    void zero(CChrEDoc& doc);
    // The program is going away: every run ends and is saved without the dialog.
    void stopAllUnattended();

    // "连接采集器(&M)" and the start-up connection: a new collector, then the wizard.
    void connectCollector();
    // The wizard's choices.
    void searchAutomatically();
    void connectManually();
    bool
    startSimulation(CollectorLink::SimulationEntry entry = CollectorLink::SimulationEntry::Menu);
    // Demonstration values per tick of the simulated connection (1 is real time).
    void setSimulationSpeed(double speed) { link_->setSimulationSpeed(speed); }
    // An unattended demonstration: the connection's notices go to the status bar instead of
    // a box that nobody would close.
    void setUnattended(bool on) { unattended_ = on; }

    // The exit: the simulated connection ends and the collector is reset.
    void shutdown();

signals:
    // A run started or ended, or a document's state changed: command states follow.
    void stateChanged();

private:
    RunCallbacks callbacks();
    CChildFrame* frameOf(const CChrEDoc& doc) const;
    void showWait(const QString& text);
    void endWait();

    CMainFrame& frame_;
    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    EngineDetection detection_;
    std::unique_ptr<ChannelRuns> runs_;
    std::unique_ptr<CollectorLink> link_;
    std::unique_ptr<PortSearch> search_;
    std::unique_ptr<WaitWindow> wait_;
    bool unattended_ = false;
};

}  // namespace dgaws
