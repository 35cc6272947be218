#pragma once

#include "AcquisitionSettings.h"
#include "CCollector.h"
#include "CCommPort.h"
#include "PortDiscovery.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dgaws {

// The connection to the collector as the main window holds it: the one serial port, the
// current CCollector, the connected port, the simulated connection's tick and the wait after
// the first ready byte. Texts for the operator leave as signals; questions go through
// callbacks. Lives on the user-interface thread.
class CollectorLink : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDefaultPortQuestion = "软件配置了默认连接[通讯口%d],是否要采用";
    static constexpr const char* kPortOpened = "已经打开[串口%d],正在等待校验数据...";
    static constexpr const char* kPortOpenFailed =
        "[串口%d]打开失败,请重新选择端口或检查当前端口是否被占用";
    static constexpr const char* kNoAnswer =
        "[串口%d]没有收到校验数据,请检查采集器是否连接并已打开电源";
    // How long a manually opened port may stay silent before the wait is given up.
    static constexpr int kAnswerWaitMilliseconds = 10000;
    // How often a port whose device went away is tried again.
    static constexpr int kRetryMilliseconds = 1000;
    static constexpr const char* kNoDemoData =
        "没有找到模拟连接数据文件QLCHGDATA.DMD,请到系统选项里重新确认路径";
    static constexpr const char* kNoDemoFile =
        "没有找到演示文件QLCHGDATA.DMD，请到系统选项里重新确认路径";
    static constexpr const char* kSimulationStarted =
        "模拟连接已经建立，您可以采样体验了(如果通道已打开，需要关闭后重新打开才能采样)!";
    static constexpr const char* kSimulationStartedShort = "模拟连接已经建立，您可以采样体验了！";
    static constexpr const char* kSimulationSending = "模拟数据发送已开始";
    static constexpr int kTickMilliseconds = 50;

    // Where the request for a simulated connection came from; the texts differ.
    enum class SimulationEntry { Menu, Wizard, DialogButton };

    // The operator's pick in the port list: a device path and "do not ask again".
    struct PortChoice {
        std::string devicePath;
        bool remember = false;
    };
    using AskYesNo = std::function<bool(const std::string&)>;
    using ChoosePort = std::function<std::optional<PortChoice>(const std::vector<PortEntry>&)>;

    CollectorLink(AcquisitionSettings& settings, RunHost& host, QObject* parent = nullptr);
    ~CollectorLink() override;

    AcquisitionSettings& settings() { return settings_; }
    CCollector* collector() const { return collector_.get(); }
    // A new collector (the connect command): the open channels move over to it. A running
    // simulation ends first: the new collector has no demonstration values to play.
    CCollector& newCollector();

    // The port, opened at the collector's line settings. Bytes from it go to the collector.
    bool openCollectorPort(const std::string& devicePath);
    void closeCollectorPort();
    // The connection as it stands ends: the simulation stops, the port closes, and the
    // collector waits for a ready byte again.
    void closeConnection();
    bool portOpen() const { return portOpen_; }
    const std::string& connectedPort() const { return connectedPort_; }
    void clearConnectedPort() { connectedPort_.clear(); }
    CCommPort& port() { return port_; }

    // The manual connection: the default port after one question, or the operator's pick.
    // The outcome text goes out through waitText().
    bool connectManually(const AskYesNo& ask, const ChoosePort& choose);

    // The simulated connection; false (with its text and openSettingsRequested) when the
    // demonstration file cannot be read.
    bool startSimulation(SimulationEntry entry = SimulationEntry::Menu);
    void stopSimulation();
    bool simulationMode() const { return simulationMode_; }
    void setSimulationMode(bool on) { simulationMode_ = on; }
    // Plays faster than real time: `speed` demonstration values per 50 ms (at least 1).
    void setSimulationSpeed(double speed);
    // The demonstration file used when the setting is empty.
    void setFallbackDemoPath(std::string path) { fallbackDemoPath_ = std::move(path); }
    std::string demoDataPath() const;

    // The channel window of an automatic search's success.
    void requestOpenChannel(int channel) { host_.openChannel(channel); }
    // Exit: in simulation mode the collector is reset and the tick stops.
    void shutdown();

signals:
    // The current collector's first ready byte.
    void confirmed();
    // The connection attempt has its outcome (one second after its first ready byte, at once
    // when the port failed to open or the choice was cancelled, or after a silence): the
    // wait window closes.
    void connectionWaitOver();
    // Text for the floating wait window.
    void waitText(const QString& text);
    // Text for a message box.
    void message(const QString& text);
    // Text for the third pane of the status bar.
    void statusText(const QString& text);
    // The demonstration path must be corrected in the settings.
    void openSettingsRequested();
    // A port failure report ("WARNING:  ..."), once per failure of an open port.
    void portError(const QString& text);
    // A port that went away is open again.
    void portBack(const QString& devicePath);

private:
    void onByte(uint8_t byte);
    void onConfirmed();
    // The port's device went away: it is closed and opened again as soon as it is back.
    void onPortLost();
    void retryLostPort();
    void onTick();
    bool openPortWithText(const std::string& devicePath);
    // The attempt is over, whatever its outcome.
    void endConnectionWait();

    AcquisitionSettings& settings_;
    RunHost& host_;
    std::unique_ptr<CCollector> collector_;
    CCommPort port_;
    bool portOpen_ = false;
    std::string connectedPort_;
    bool simulationMode_ = false;
    // A manual connection waits for its first ready byte.
    bool answerPending_ = false;
    QTimer answerTimer_;
    // The device of a port that went away, tried again until it is back.
    std::string lostPort_;
    QTimer retryTimer_;
    QTimer tick_;
    int tickInterval_ = kTickMilliseconds;
    int ticksPerTimeout_ = 1;
    std::string fallbackDemoPath_;
};

// printf-style substitution of the first "%d" or "%s" of an operator text.
std::string substituteText(const char* pattern, const std::string& value);

}  // namespace dgaws
