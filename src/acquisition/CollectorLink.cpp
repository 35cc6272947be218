#include "CollectorLink.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dgaws {

std::string substituteText(const char* pattern, const std::string& value)
{
    std::string out = pattern;
    auto at = out.find("%d");
    if (at == std::string::npos)
        at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

CollectorLink::CollectorLink(AcquisitionSettings& settings, RunHost& host, QObject* parent)
    : QObject(parent), settings_(settings), host_(host)
{
    host_.onConfirmed = [this] { onConfirmed(); };
    port_.setErrorSink(
        [this](const std::string& text) { emit portError(QString::fromStdString(text)); });
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &CollectorLink::onTick);
    port_.setLostSink([this] { onPortLost(); });
    connect(&retryTimer_, &QTimer::timeout, this, &CollectorLink::retryLostPort);
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        answerPending_ = false;
        emit connectionWaitOver();
        emit message(QString::fromStdString(substituteText(kNoAnswer, connectedPort_)));
    });
}

CollectorLink::~CollectorLink()
{
    tick_.stop();
    if (portOpen_)
        port_.close();
    host_.onConfirmed = nullptr;
    if (collector_ && host_.collector() == collector_.get())
        host_.setCollector(nullptr);
}

CCollector& CollectorLink::newCollector()
{
    stopSimulation();
    auto fresh = std::make_unique<CCollector>(settings_, &host_);
    // The host moves the channels over while the old collector, which holds their runs,
    // still exists.
    host_.setCollector(fresh.get());
    collector_ = std::move(fresh);
    return *collector_;
}

bool CollectorLink::openCollectorPort(const std::string& devicePath)
{
    retryTimer_.stop();
    lostPort_.clear();
    if (!collector_)
        newCollector();
    const bool ok = port_.open([this](uint8_t b) { onByte(b); }, devicePath, 9600, 'N', 8, 1);
    portOpen_ = ok;
    if (ok) {
        connectedPort_ = devicePath;
        // A real collector from now on: demonstration values must not mix into its points.
        stopSimulation();
    }
    return ok;
}

void CollectorLink::closeCollectorPort()
{
    retryTimer_.stop();
    lostPort_.clear();
    port_.close();
    portOpen_ = false;
}

void CollectorLink::onPortLost()
{
    if (!portOpen_ || port_.devicePath() != connectedPort_)
        return;
    // The collector and its runs stay as they are; points resume once the device is back.
    lostPort_ = connectedPort_;
    port_.close();
    portOpen_ = false;
    retryTimer_.start(
        std::max(1, static_cast<int>(std::lround(kRetryMilliseconds * settings_.searchWaitScale))));
}

void CollectorLink::retryLostPort()
{
    if (lostPort_.empty()) {
        retryTimer_.stop();
        return;
    }
    if (!port_.open([this](uint8_t b) { onByte(b); }, lostPort_, 9600, 'N', 8, 1))
        return;
    retryTimer_.stop();
    portOpen_ = true;
    const std::string back = std::exchange(lostPort_, {});
    emit portBack(QString::fromStdString(back));
}

void CollectorLink::endConnectionWait()
{
    answerTimer_.stop();
    answerPending_ = false;
    emit connectionWaitOver();
}

void CollectorLink::closeConnection()
{
    if (answerPending_)
        endConnectionWait();
    stopSimulation();
    closeCollectorPort();
    connectedPort_.clear();
    if (collector_)
        collector_->resetConfirmation();
}

void CollectorLink::onByte(uint8_t byte)
{
    // Only the connected port feeds the collector.
    if (!collector_ || connectedPort_.empty() || port_.devicePath() != connectedPort_)
        return;
    collector_->push(byte);
    collector_->parse();
}

void CollectorLink::onConfirmed()
{
    emit confirmed();
    // Every manual connection's wait ends with its own first ready byte, not only the
    // first of the program run.
    if (!answerPending_)
        return;
    answerTimer_.stop();
    answerPending_ = false;
    const int ms = std::max(0, static_cast<int>(std::lround(1000 * settings_.searchWaitScale)));
    QTimer::singleShot(ms, this, [this] { emit connectionWaitOver(); });
}

bool CollectorLink::openPortWithText(const std::string& devicePath)
{
    const bool ok = openCollectorPort(devicePath);
    if (!ok) {
        // Nothing will answer: the text goes into a box the operator closes, not into a
        // wait window that nothing would close.
        simulationMode_ = true;
        endConnectionWait();
        emit message(QString::fromStdString(substituteText(kPortOpenFailed, devicePath)));
        return false;
    }
    emit waitText(QString::fromStdString(substituteText(kPortOpened, devicePath)));
    answerPending_ = true;
    answerTimer_.start(std::max(
        0, static_cast<int>(std::lround(kAnswerWaitMilliseconds * settings_.searchWaitScale))));
    return true;
}

bool CollectorLink::connectManually(const AskYesNo& ask, const ChoosePort& choose)
{
    newCollector();
    if (settings_.UseDefaultCom && !settings_.ComPort.empty() && ask &&
        ask(substituteText(kDefaultPortQuestion, settings_.ComPort)))
        return openPortWithText(settings_.ComPort);
    std::optional<PortChoice> choice;
    if (choose)
        choice = choose(enumeratePorts());
    if (!choice) {
        simulationMode_ = true;
        endConnectionWait();
        return false;
    }
    settings_.ComPort = choice->devicePath;
    settings_.UseDefaultCom = choice->remember ? 1 : 0;
    if (choice->devicePath.empty()) {
        simulationMode_ = true;
        endConnectionWait();
        emit message(QString::fromStdString(substituteText(kPortOpenFailed, "")));
        return false;
    }
    return openPortWithText(choice->devicePath);
}

std::string CollectorLink::demoDataPath() const
{
    return settings_.SimDataPath.empty() ? fallbackDemoPath_ : settings_.SimDataPath;
}

bool CollectorLink::startSimulation(SimulationEntry entry)
{
    if (!collector_)
        newCollector();
    if (!collector_->loadDemoData(demoDataPath())) {
        emit message(
            QString::fromUtf8(entry == SimulationEntry::DialogButton ? kNoDemoFile : kNoDemoData));
        emit openSettingsRequested();
        return false;
    }
    simulationMode_ = true;
    tick_.start(settings_.pointsPerSecond == 0 ? 2 * tickInterval_ : tickInterval_);
    if (entry == SimulationEntry::DialogButton) {
        emit message(QString::fromUtf8(kSimulationStartedShort));
        emit statusText(QString::fromUtf8(kSimulationSending));
    } else {
        emit message(QString::fromUtf8(kSimulationStarted));
    }
    return true;
}

void CollectorLink::setSimulationSpeed(double speed)
{
    // Up to 50 times real time by a shorter period, beyond that by several values per tick.
    const double s = std::max(1.0, speed);
    const int interval = std::max(1, static_cast<int>(std::lround(kTickMilliseconds / s)));
    ticksPerTimeout_ = std::max(1, static_cast<int>(std::lround(s * interval / kTickMilliseconds)));
    tickInterval_ = interval;
    if (tick_.isActive())
        tick_.setInterval(interval);
}

void CollectorLink::stopSimulation()
{
    tick_.stop();
    simulationMode_ = false;
}

void CollectorLink::onTick()
{
    for (int i = 0; i < ticksPerTimeout_ && simulationMode_ && collector_; ++i)
        collector_->simulationTick();
}

void CollectorLink::shutdown()
{
    if (simulationMode_ && collector_)
        collector_->reset();
    stopSimulation();
    closeCollectorPort();
}

}  // namespace dgaws
