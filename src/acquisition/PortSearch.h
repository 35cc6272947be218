#pragma once

#include "PortDiscovery.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace dgaws {

class CollectorLink;

// The automatic search for the port the collector is on: a notice, the warm-up, then each
// port opened in turn until one sends its ready byte. It runs on the user-interface thread
// as a sequence of timed steps, so the parser keeps running between them and no lock is
// needed; its waits are scaled by the settings' searchWaitScale.
class PortSearch : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kWaiting = "正在等待连接信息...";
    static constexpr const char* kNotice =
        "请确保采集器已经连接至电脑，电源指示灯（红灯）已经点亮!";
    static constexpr const char* kWarmUp = "采集器预热中，需要时间%d秒...";
    static constexpr const char* kFound = "搜索到端口号%s";
    static constexpr const char* kOpening = "正在打开端口号%d，用于确认是否连接色谱仪";
    static constexpr const char* kOpened = "已经打开端口号%d，发送色谱仪确认命令...";
    static constexpr const char* kNotConfirmedLast =
        "无法确认端口号%d连接了色谱仪，色谱端口搜索失败。";
    static constexpr const char* kNotConfirmedNext =
        "无法确认端口号%d连接了色谱仪，开始搜索下一端口。";
    static constexpr const char* kConfirmed = "确认端口号%d连接了色谱仪!";
    static constexpr const char* kSimulationQuestion = "由于自动搜索失败，系统进入模拟连接模式？";
    static constexpr const char* kDeviceError = "停止可能占用端口的设备时，出现未知错误，请重试!";
    static constexpr int kWarmUpSeconds = 30;
    // Event log lines for each port the search passes over, and why.
    static constexpr const char* kSkippedBusy = "自动搜索跳过了端口%s：端口被其他程序占用";
    static constexpr const char* kSkippedRefused = "自动搜索跳过了端口%s：端口无法打开";
    static constexpr const char* kSkippedSilent = "自动搜索跳过了端口%s：没有收到色谱仪的应答";

    explicit PortSearch(CollectorLink& link, QObject* parent = nullptr);

    // Where the ports come from (the system's list unless replaced); may throw.
    void setEnumerator(std::function<std::vector<PortEntry>()> enumerate)
    {
        enumerate_ = std::move(enumerate);
    }
    void setAsk(std::function<bool(const std::string&)> ask) { ask_ = std::move(ask); }
    // The event log.
    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

    void start();
    bool isRunning() const { return running_; }

signals:
    // The main window is disabled and the wait window shown.
    void started();
    // The wait window's text.
    void progress(const QString& text);
    // The wait window ends and the main window is enabled again; the simulation question,
    // when the collector was not found, comes right after.
    void finished(bool found);

private:
    void after(int milliseconds, std::function<void()> step);
    void say(const std::string& text);
    void warmUp(int secondsLeft);
    void enumerate();
    void tryPort(size_t index);
    void awaitConfirm(size_t index);
    void confirmTimedOut(size_t index);
    void succeed(size_t index);
    void end();

    CollectorLink& link_;
    std::function<std::vector<PortEntry>()> enumerate_;
    std::function<bool(const std::string&)> ask_;
    std::function<void(const std::string&)> log_;
    std::vector<PortEntry> ports_;
    // Why the port being tried could not be opened (system words); empty when it opened.
    std::string openFailure_;
    bool running_ = false;
    QTimer confirmTimer_;
    QMetaObject::Connection confirmConnection_;
};

}  // namespace dgaws
