#include "CCollector.h"

#include "chromatogram/FileIO.h"

#include <cstring>

namespace dgaws {

void ConfirmEvent::set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    cv_.notify_all();
}

void ConfirmEvent::reset()
{
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool ConfirmEvent::isSet() const
{
    std::lock_guard lock(mutex_);
    return set_;
}

bool ConfirmEvent::waitFor(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return set_; });
}

CCollector::CCollector(const AcquisitionSettings& settings, CollectorHost* host)
    : settings_(settings), host_(host)
{}

void CCollector::receive(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        push(bytes[i]);
        parse();
    }
}

void CCollector::parse()
{
    uint8_t b;
    while (rxQueue_.pop(b)) {
        // The other card type's frames are not known; its bytes give nothing.
        if (settings_.liveCardType != 0)
            continue;
        parseByte(b);
    }
}

void CCollector::parseByte(uint8_t b)
{
    if (collector_byte::isIgnored(b))
        return;
    if (collector_byte::isReady(b)) {
        // A ready byte inside a frame leaves the frame alone.
        if (!confirmed_) {
            confirmed_ = 1;
            confirmEvent_.set();
            if (host_)
                host_->collectorConfirmed();
        }
        return;
    }
    if (collector_byte::isHeader(b)) {
        frame_[0] = b;
        frameIndex_ = 1;
        return;
    }
    if (frameIndex_ == 0)
        return;
    frame_[static_cast<size_t>(frameIndex_)] = b;
    if (++frameIndex_ == 4) {
        frameIndex_ = 0;
        processFrame();
    }
}

void CCollector::processFrame()
{
    const CollectorFrame f = decodeFrame(frame_);
    const int c = f.channel;
    const auto ci = static_cast<size_t>(c);

    // The trigger stays raised from the rising edge until a point carrying it is out.
    bool trigger = false;
    if (f.startSignal) {
        if (startLatch_[ci] == 0) {
            startLatch_[ci] = 1;
            startAcknowledged_[ci] = 0;
        }
        if (startAcknowledged_[ci] == 0)
            trigger = true;
        if (host_ && !attached_[ci]) {
            host_->openChannel(c);
            if (settings_.AllStart && !attached_[1 - ci])
                host_->openChannel(1 - c);
        }
    } else {
        if (startAcknowledged_[ci] == 1)
            startLatch_[ci] = 0;
        else
            trigger = true;
    }

    const int range = f.coarse ? 1 : 0;
    if (rangeState_[ci] != -1 && rangeState_[ci] != range)
        rangeRepairCounter_[ci] = 0;
    rangeState_[ci] = range;

    auto& h = history_[ci];
    for (size_t i = kHistory - 1; i > 0; --i)
        h[i] = h[i - 1];
    h[0] = f.microvolts;

    // The first points after a range switch are the card's settling; a straight line from
    // the last point of the old range replaces them.
    if (rangeRepairCounter_[ci] >= 0 && ++rangeRepairCounter_[ci] == 4) {
        rangeRepairCounter_[ci] = -1;
        const float d = (h[0] - h[4]) * 0.25f;
        h[1] = h[0] - d;
        h[2] = h[1] - d;
        h[3] = h[2] - d;
    }

    if (++decimationCounter_[ci] >= 7) {
        const int rate = settings_.pointsPerSecond;
        decimationCounter_[ci] -= (rate == 20 || rate == 50) ? 1 : 2;
        if (confirmed_) {
            const float value = (h[3] + h[4] + h[5]) * 0.33333334f;
            channelSample(c, value, trigger);
        }
        if (trigger)
            startAcknowledged_[ci] = 1;
    }
}

void CCollector::startChannel(int channel)
{
    const auto ci = static_cast<size_t>(channel);
    if (!attached_[ci])
        host_->openChannel(channel);
    if (!attached_[ci])
        return;
    if (host_->hasValidMethod(channel)) {
        if (!runs_[ci].acquiring)
            host_->runStart(channel);
    } else {
        host_->noMethodAtStart(channel);
    }
}

void CCollector::channelSample(int channel, float value, bool trigger)
{
    if (channel < 0 || channel >= kChannels)
        return;
    const auto ci = static_cast<size_t>(channel);
    float v = value;
    if ((channel == 0 ? settings_.ConvertA : settings_.ConvertB) != 0)
        v = v * -1.0f;

    ChannelRun& run = runs_[ci];
    if (v > kIgnitionThreshold) {
        ++ignitionCounter_[ci];
        if (ignitionCounter_[ci] >= kIgnitionSamples && attached_[ci] && !run.ignited) {
            run.ignited = true;
            if (host_)
                host_->ignitionChanged(channel);
        }
    } else {
        ignitionCounter_[ci] = 0;
        if (attached_[ci] && run.ignited) {
            run.ignited = false;
            if (host_)
                host_->ignitionChanged(channel);
        }
    }

    if (trigger && attached_[ci]) {
        running_[ci] = 1;
        if (host_) {
            const int other = 1 - channel;
            startChannel(channel);
            if (settings_.AllStart)
                startChannel(other);
        }
    }

    if (!running_[ci]) {
        runPointCount_[ci] = 0;
        return;
    }
    // The host may have attached the channel while starting it.
    const bool attached = attached_[ci];
    if (settings_.AutoBase && runPointCount_[ci] == 0) {
        zeroOffset_[ci] = v;
        zeroActive_[ci] = 1;
    }
    if (attached && run.zeroRequest) {
        zeroOffset_[ci] = v;
        zeroActive_[ci] = 1;
        run.zeroRequest = false;
    }
    ++runPointCount_[ci];
    if (zeroActive_[ci])
        v = v - zeroOffset_[ci];
    if (attached && host_)
        host_->append(channel, v);
}

bool CCollector::attach(int channel)
{
    if (channel < 0 || channel >= kChannels || attached_[static_cast<size_t>(channel)])
        return false;
    attached_[static_cast<size_t>(channel)] = true;
    runs_[static_cast<size_t>(channel)] = {};
    return true;
}

void CCollector::detach(int channel)
{
    if (channel >= 0 && channel < kChannels)
        attached_[static_cast<size_t>(channel)] = false;
}

bool CCollector::loadDemoData(const std::string& path)
{
    std::string bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const FileError&) {
        return false;
    }
    std::vector<float> values(bytes.size() / sizeof(float));
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
    setDemoValues(std::move(values));
    return true;
}

void CCollector::setDemoValues(std::vector<float> values)
{
    demoValues_ = std::move(values);
    demoIndex_ = {};
}

void CCollector::rewindDemo(int channel)
{
    if (channel >= 0 && channel < kChannels)
        demoIndex_[static_cast<size_t>(channel)] = 0;
}

void CCollector::simulationTick()
{
    // An empty file plays the value of an empty array, as it always did.
    const auto next = [this](int channel) {
        if (demoValues_.empty())
            return -1.0f;
        int& i = demoIndex_[static_cast<size_t>(channel)];
        const float v = demoValues_[static_cast<size_t>(i)];
        if (++i >= static_cast<int>(demoValues_.size()))
            i = 0;
        return v;
    };
    channelSample(0, next(0), false);
    if (settings_.channelCount > 1)
        channelSample(1, next(1), false);
    parse();
}

void CCollector::resetConfirmation()
{
    confirmed_ = 0;
    confirmEvent_.reset();
    frameIndex_ = 0;
}

void CCollector::reset()
{
    rxQueue_.clear();
    frameIndex_ = 0;
    demoValues_.clear();
    demoIndex_ = {};
    runPointCount_ = {};
    zeroOffset_ = {};
    startLatch_ = {};
    startAcknowledged_ = {1, 1};
    running_ = {};
    history_ = {};
    decimationCounter_ = {};
    rangeState_ = {-1, -1};
    ignitionCounter_ = {};
    rangeRepairCounter_ = {-1, -1};
    zeroActive_ = {};
}

}  // namespace dgaws
