#pragma once

#include "CLogManage.h"
#include "DataRoot.h"
#include "RecentFiles.h"
#include "SettingsStore.h"
#include "SystemSettings.h"
#include "TestRecordDatabase.h"

#include "chromatogram/FileNameProposal.h"
#include "chromatogram/MethodLibrary.h"

#include <QDateTime>

#include <array>
#include <functional>
#include <string>

namespace dgaws {

class CChrEDoc;

// The application object without widgets: settings, event log, method library and the
// document slots, with the start-up and exit sequences that touch no window. The window
// and the command line each own one.
class WorkstationApp {
public:
    using Clock = std::function<QDateTime()>;
    using AskYesNo = std::function<bool(const std::string& question)>;

    static constexpr const char* kTitleCard0 =
        "VeltraGW-5800变压器油专用版V3.0 _ 采集卡型号:DX3300(DX3310)";
    static constexpr const char* kTitleCard1 =
        "VeltraGW-5800变压器油专用版V3.0 _ 采集卡型号:DX4410";
    static constexpr const char* kStartLog = "系统启动";
    static constexpr const char* kExitLog = "系统退出";
    static constexpr const char* kDamagedMethods = "以下方法文件无法载入，未列入方法树：";
    static constexpr const char* kChannelALog = "系统启动了A通道";
    static constexpr const char* kChannelBLog = "系统启动了B通道";
    static constexpr const char* kHeightQuestion =
        "输入的高度识别数据不在经验性的0.2mv和1mv的区间内，您确认要系统采用该参数吗,"
        "点取消将不予采用？";
    static constexpr const char* kWrongPassword = "原密码错误，不能修改密码";
    static constexpr const char* kPasswordMismatch = "密码不一致，不能设置新密码";
    static constexpr const char* kPasswordSet = "密码设置完成。";
    // A log with more entries than this is continued in a new file at the next start.
    static constexpr int kLogRotation = 500;
    static constexpr int kSlots = 3;  // channel A, channel B, the third document
    // The safety copies of runs in progress, under the data root.
    static constexpr const char* kAutosaveFolder = "自动保存";

    explicit WorkstationApp(DataRoot root, Clock clock = {});
    ~WorkstationApp();
    WorkstationApp(const WorkstationApp&) = delete;
    WorkstationApp& operator=(const WorkstationApp&) = delete;

    const DataRoot& root() const { return root_; }
    QDateTime now() const { return clock_(); }

    // The settings load of the start-up: every key over the defaults, the data and method
    // folders created level by level, the event log opened with "系统启动", the card type
    // made one of the known two, the method library read. The shipped default method and
    // demonstration data are copied from `shippedFolder` where they are missing.
    void startUp(const std::string& shippedFolder = {});
    // The method files of the folder that could not be read at start-up, each with why.
    // They are named in the event log; the window names them to the operator, since they
    // are missing from the method tree.
    const std::vector<LoadFailure>& methodLoadFailures() const { return methodLoadFailures_; }
    // The message naming them, one file a line; empty when there are none.
    static std::string damagedMethodsText(const std::vector<LoadFailure>& failures);
    // The test-record database named by the settings (SQLite in the data root unless a
    // server is configured). On failure the reason and "-数据库连接出现问题，无法正常连接
    // 数据库!" go to `show` (which also gets the database's later messages) and the program
    // goes on without it.
    Result<void> connectDatabase(const std::function<void(const std::string&)>& show);
    TestRecordDatabase& database() { return database_; }

    // The exit: "系统退出", the log completed, the settings saved, the database closed.
    void exit();
    // Writes every key; the log name moves on to a new file once the log holds more than
    // kLogRotation entries.
    bool saveSettings();

    SystemSettings& settings() { return settings_; }
    const SystemSettings& settings() const { return settings_; }
    const SettingsStore& store() const { return store_; }
    CLogManage& eventLog() { return log_; }
    MethodLibrary& library() { return library_; }
    const MethodLibrary& library() const { return library_; }
    MethodDefaults methodDefaults() const;
    RecentFiles& recentFiles() { return recent_; }

    // One operator action, with the current time.
    void log(const std::string& text);

    // The main frame's title, by card type.
    std::string mainFrameTitle() const;
    // The log file name of a moment: "QL%Y%m%d%H%M%S.DB", or "QLC5..." for a rotated log.
    static std::string logName(const QDateTime& time, bool rotated = false);
    std::string logPath() const;

    // The settings sheet's OK: a start rise outside 0.2..1.0 mV is kept only when the
    // operator says Yes, the levelling times take their stored form, then all is saved.
    bool acceptSettings(SystemSettings edited, const AskYesNo& ask);
    // "启动身份验证(&P)": the text to show; the password changes only with kPasswordSet.
    std::string changePassword(const std::string& oldPassword, const std::string& newPassword,
                               const std::string& confirmation);

    // The document slots: channel A, channel B, a third document.
    CChrEDoc* slot(int index) const;
    void setSlot(int index, CChrEDoc* doc);
    // A document goes away: whichever slot points at it is cleared.
    void documentDestroyed(const CChrEDoc* doc);

    // Steps 2 to 4 of opening a channel for a fresh document: its log line, its channel
    // and title, the remembered condition list, the default method and calibration.
    void prepareChannelDocument(CChrEDoc& doc, int channel);
    // A document the program made: log lines go to the event log, it identifies and
    // quantifies with the library's methods, new ones save into the data folder.
    void adoptDocument(CChrEDoc& doc);

    // The file-name proposal reading this application's clock and data folder.
    ProposalEnvironment proposalEnvironment(AskYesNo ask = {}) const;

private:
    void openLog();

    DataRoot root_;
    Clock clock_;
    SettingsStore store_;
    SystemSettings settings_;
    CLogManage log_;
    MethodLibrary library_;
    std::vector<LoadFailure> methodLoadFailures_;
    RecentFiles recent_;
    TestRecordDatabase database_;
    std::array<CChrEDoc*, kSlots> slots_{};
};

}  // namespace dgaws
