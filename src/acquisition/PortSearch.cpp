#include "PortSearch.h"

#include "CollectorLink.h"

#include <cmath>

namespace dgaws {

namespace {
constexpr const char* kUnknownReason = "?";
}  // namespace

PortSearch::PortSearch(CollectorLink& link, QObject* parent)
    : QObject(parent), link_(link), enumerate_(enumeratePorts)
{
    confirmTimer_.setSingleShot(true);
}

void PortSearch::after(int milliseconds, std::function<void()> step)
{
    const double scaled = milliseconds * link_.settings().searchWaitScale;
    QTimer::singleShot(static_cast<int>(std::lround(std::max(0.0, scaled))), this, std::move(step));
}

void PortSearch::say(const std::string& text)
{
    emit progress(QString::fromStdString(text));
}

void PortSearch::start()
{
    if (running_)
        return;
    running_ = true;
    // A port still open would feed the collector during the warm-up, and its ready bytes
    // would pass for the answer of the first port tried.
    link_.closeConnection();
    if (!link_.collector())
        link_.newCollector();
    emit started();
    say(kWaiting);
    say(kNotice);
    after(4000, [this] { warmUp(kWarmUpSeconds); });
}

void PortSearch::warmUp(int secondsLeft)
{
    if (secondsLeft == 0) {
        enumerate();
        return;
    }
    say(substituteText(kWarmUp, std::to_string(secondsLeft)));
    after(1000, [this, secondsLeft] { warmUp(secondsLeft - 1); });
}

void PortSearch::enumerate()
{
    try {
        ports_ = enumerate_ ? enumerate_() : std::vector<PortEntry>{};
    } catch (const std::exception&) {
        say(kDeviceError);
        after(1500, [this] { end(); });
        return;
    }
    tryPort(0);
}

void PortSearch::tryPort(size_t index)
{
    if (index >= ports_.size()) {
        end();
        return;
    }
    // Ports are named by their device, so the name stands where the number stood.
    const std::string name = ports_[index].portName;
    say(substituteText(kFound, name));
    after(800, [this, index, name] {
        say(substituteText(kOpening, name));
        after(500, [this, index, name] {
            // Only a ready byte read from this port, after it was opened, confirms it.
            if (CCollector* collector = link_.collector())
                collector->resetConfirmation();
            if (link_.openCollectorPort(ports_[index].devicePath)) {
                openFailure_.clear();
                // Nothing is sent: the collector announces itself with its ready byte.
                say(substituteText(kOpened, name));
                after(500, [this, index] { awaitConfirm(index); });
            } else {
                const std::string& why = link_.port().openFailure();
                openFailure_ = why.empty() ? std::string(kUnknownReason) : why;
                awaitConfirm(index);
            }
        });
    });
}

void PortSearch::awaitConfirm(size_t index)
{
    CCollector* collector = link_.collector();
    if (collector && collector->confirmEvent().isSet()) {
        succeed(index);
        return;
    }
    confirmConnection_ = connect(&link_, &CollectorLink::confirmed, this, [this, index] {
        confirmTimer_.stop();
        disconnect(confirmConnection_);
        succeed(index);
    });
    confirmTimer_.disconnect();
    connect(&confirmTimer_, &QTimer::timeout, this, [this, index] {
        disconnect(confirmConnection_);
        confirmTimedOut(index);
    });
    confirmTimer_.start(
        static_cast<int>(std::lround(std::max(0.0, 500 * link_.settings().searchWaitScale))));
}

void PortSearch::confirmTimedOut(size_t index)
{
    link_.clearConnectedPort();
    if (link_.portOpen())
        link_.closeCollectorPort();
    if (CCollector* collector = link_.collector())
        collector->confirmEvent().reset();
    const bool last = index + 1 == ports_.size();
    const std::string& name = ports_[index].portName;
    if (log_) {
        std::string line = substituteText(kSkippedSilent, name);
        if (!openFailure_.empty()) {
            line = substituteText(
                CCommPort::meansBusy(openFailure_) ? kSkippedBusy : kSkippedRefused, name);
            line.append("（").append(openFailure_).append("）");
        }
        log_(line);
    }
    say(substituteText(last ? kNotConfirmedLast : kNotConfirmedNext, name));
    after(800, [this, index] { tryPort(index + 1); });
}

void PortSearch::succeed(size_t index)
{
    link_.setSimulationMode(false);
    if (CCollector* collector = link_.collector())
        collector->confirmEvent().reset();
    say(substituteText(kConfirmed, ports_[index].portName));
    after(800, [this] {
        if (link_.portOpen()) {
            if (link_.settings().OpenChannelA)
                link_.requestOpenChannel(0);
            if (link_.settings().OpenChannelB)
                link_.requestOpenChannel(1);
        }
        end();
    });
}

void PortSearch::end()
{
    running_ = false;
    const bool found = link_.portOpen();
    emit finished(found);
    if (found)
        return;
    if (ask_ && ask_(kSimulationQuestion))
        link_.startSimulation();
    else
        link_.setSimulationMode(false);
}

}  // namespace dgaws
