#pragma once

#include "ui/graph/PeakEditActions.h"
#include "ui/shell/FrameActions.h"

#include <QMainWindow>

#include <memory>

class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QTabBar;

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class CalibrationCommands;
class FileTreeView;
class CProgStatusBar;
class CResultListView;
class CMultiDatChildFrame;
class DataServiceCommands;
class DocumentCommands;
class DatabaseCommands;
class ReportCommands;
class SignalCommands;
class WorkbookCommands;
class MethodLibraryCommands;
class MethodTreeNode;
class OperatorPrompts;
class RunController;
class WorkstationApp;

// The main window: the multiple-document area with the tab bar of open windows, the menus
// and both toolbars, the status bar, the method and file tree and the result list; the application
// commands, and the close rules of the whole program.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kOpenOnlyChg =
        "打开功能只支持CHG格式谱图文件，其他格式请到数据服务中心打开";
    // A binary chromatogram keeps no rate; asked before it is loaded.
    static constexpr const char* kAskBinaryRate =
        "二进制谱图文件不保存采样频率，请输入采样时每秒的点数：";

    // `prompts` answers the modal questions; the frame's own message boxes when null.
    explicit CMainFrame(WorkstationApp& app, OperatorPrompts* prompts = nullptr,
                        QWidget* parent = nullptr);
    ~CMainFrame() override;

    WorkstationApp& app() { return app_; }
    OperatorPrompts& prompts() { return *prompts_; }
    const FrameActions& actions() const { return actions_; }
    const PeakEditActions& peakEditActions() const { return peakEdit_; }
    CProgStatusBar* progressBar() const { return status_; }
    FileTreeView* fileTree() const { return tree_; }
    MethodTreeNode* methodTree() const { return methods_; }
    MethodLibraryCommands& methodCommands() { return *methodCommands_; }
    QTabBar* channelTabs() const { return tabs_; }
    QMdiArea* mdiArea() const { return mdi_; }
    DocumentCommands& documentCommands() { return *commands_; }
    WorkbookCommands& workbookCommands() { return *workbooks_; }
    ReportCommands& reportCommands() { return *reports_; }
    DatabaseCommands& databaseCommands() { return *database_; }
    CalibrationCommands& calibrationCommands() { return *calibration_; }
    DataServiceCommands& dataService() { return *dataService_; }
    SignalCommands& signalCommands() { return *signals_; }
    RunController& runController() { return *runs_; }

    // The start-up's last steps once the window shows: unfinished runs offered back, then
    // the connection (the wizard, or the simulated connection when asked for).
    void startUpConnection(bool simulate);

    // "打开通道A" / "打开通道B": the channel's window, created with its default method and
    // calibration when it does not exist yet.
    CChildFrame* openChannel(int channel);
    // A chromatogram file in a window of its own (or the window that has it already).
    CChildFrame* openDocument(const QString& path);
    // A file from the desktop (dropped, or given on the command line): a chromatogram file
    // opens as with "打开(&O)...", an AIA or text chromatogram as its import does, and a
    // method file joins the method library.
    CChildFrame* openAnyFile(const QString& path);
    // "多谱图处理(&U)": the note, the log line and a new multi-chromatogram window.
    CMultiDatChildFrame* openComparisonWindow();
    // "批处理谱图(&B)...": chromatograms and folders processed again into an output folder
    // and a summary, off the GUI thread.
    void openBatchDialog();
    // The "打开(&O)..." command with a chosen path: only .chg files open.
    CChildFrame* openChosen(const QString& path);

    QList<CChildFrame*> frames() const;
    CChildFrame* activeFrame() const;
    CChildFrame* frameOf(const CChrEDoc* doc) const;
    void activate(CChildFrame* frame);
    // A second start asked this window to come forward.
    void bringToFront();

    // Command states follow the active window.
    void updateCommandStates();
    // The tabs of the open windows, in the order they were opened.
    void refreshTabs();

    // An end asked for from outside the window (a signal): the runs going on end and are
    // saved without a dialog, the exit sequence runs, and the program leaves its event loop
    // with `exitStatus`; nothing is asked.
    void endFromOutside(int exitStatus);
    // The desktop session is ending: the runs going on end and are saved without a dialog,
    // so that neither a refusal to close nor a dialog holds the session up, and the settings
    // are saved. The exit sequence follows when the application quits.
    void commitSession();
    // The exit sequence, once: the collector shut down, "系统退出" logged, the log and the
    // settings saved, the database closed. Windows that close after it ask nothing.
    void finishExit();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CChildFrame* addFrame(std::unique_ptr<CChrEDoc> doc);
    void connectCommands();
    void createDocks();
    void onOpen();
    void onLoadBinary();
    void onSaveBinary();
    void onSystemOptions();
    void recoverUnfinishedRuns();
    // The active window's document, when it is a live channel's.
    CChrEDoc* activeChannelDocument() const;
    void onPassword();
    void onViewLog();
    void setLabels(int value);
    void rebuildRecentFiles();
    void remember(const std::string& path);
    std::unique_ptr<CChrEDoc> newDocument();
    // The settings that change what a document's engine produces.
    void applyEngineSettings(CChrEDoc& doc) const;
    // After entries of the library moved, each open document finds its method again.
    void relinkDocuments();
    // The status bar's sample kind and analysis settings of the active window.
    void showDocumentStatus(const CChrEDoc* doc);

    WorkstationApp& app_;
    std::unique_ptr<OperatorPrompts> ownPrompts_;
    OperatorPrompts* prompts_;
    FrameActions actions_;
    PeakEditActions peakEdit_;
    QMdiArea* mdi_;
    QTabBar* tabs_;
    CProgStatusBar* status_;
    FileTreeView* tree_ = nullptr;
    MethodTreeNode* methods_ = nullptr;
    MethodLibraryCommands* methodCommands_ = nullptr;
    QDockWidget* treeDock_ = nullptr;
    QDockWidget* resultDock_ = nullptr;
    CResultListView* resultList_ = nullptr;
    DocumentCommands* commands_;
    WorkbookCommands* workbooks_;
    ReportCommands* reports_;
    DatabaseCommands* database_;
    CalibrationCommands* calibration_;
    DataServiceCommands* dataService_ = nullptr;
    SignalCommands* signals_ = nullptr;
    RunController* runs_;
    QList<QMdiSubWindow*> order_;
    QList<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;
    bool exiting_ = false;
};

}  // namespace dgaws
