#pragma once

#include "AcquisitionSettings.h"
#include "ChannelRun.h"
#include "CollectorFrame.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace dgaws {

class CCollector;

// A manual-reset event: the port search waits on it while the parser sets it.
class ConfirmEvent {
public:
    void set();
    void reset();
    bool isSet() const;
    // True when the event is (or becomes) set within the timeout.
    bool waitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool set_ = false;
};

// What the collector asks of the side that keeps the channels' documents: the channel
// windows, the run start, the operator's texts, the points. It speaks of channel numbers
// only; the run operations implement it, tests record it.
class CollectorHost {
public:
    virtual ~CollectorHost() = default;
    // The first ready byte of this collector has arrived.
    virtual void collectorConfirmed() {}
    // "打开通道A" / "打开通道B": create the channel's document and attach it to the channel,
    // or activate it.
    virtual void openChannel(int channel) = 0;
    // The channel's document has one of the library's methods.
    virtual bool hasValidMethod(int channel) const = 0;
    virtual void runStart(int channel) = 0;
    // A start signal met a channel without method; the host shows it once per program run.
    virtual void noMethodAtStart(int channel) = 0;
    // The channel's ignition indicator changed; views redraw.
    virtual void ignitionChanged(int channel) = 0;
    // One point for a running channel.
    virtual void append(int channel, float value) = 0;
};

// The collector's host as the collector link drives it: each new collector is handed to
// it, and the collector's first ready byte reaches the link through it.
class RunHost : public CollectorHost {
public:
    // The collector that points come from now on (nullptr: it is going away). The channels
    // open on the one before move over to it, a run in progress with them.
    virtual void setCollector(CCollector* collector) = 0;
    virtual CCollector* collector() const = 0;

    void collectorConfirmed() override
    {
        if (onConfirmed)
            onConfirmed();
    }
    // Called with the collector's first ready byte.
    std::function<void()> onConfirmed;
};

// The link to the collector card: bytes in, microvolt points out. Parsing has no I/O of
// its own: the port (or a test, or a fuzzer) pushes bytes and calls parse(); the points go
// to the host by channel number, the way a driver hands packets to its session. Everything
// runs on one thread, except the confirm event, which other threads may wait on.
class CCollector {
public:
    static constexpr int kChannels = 2;
    static constexpr int kHistory = 7;
    static constexpr float kIgnitionThreshold = 2000.0f;  // microvolts
    static constexpr int kIgnitionSamples = 20;

    CCollector(const AcquisitionSettings& settings, CollectorHost* host);

    // Port side.
    void push(uint8_t byte) { rxQueue_.push(byte); }
    // Parses every queued byte, in order.
    void parse();
    // push() and parse() for each byte, as the port hands them over.
    void receive(const uint8_t* bytes, size_t count);

    // Simulated connection: the values of the demonstration file, played one per tick.
    bool loadDemoData(const std::string& path);
    void setDemoValues(std::vector<float> values);
    const std::vector<float>& demoValues() const { return demoValues_; }
    // The next value a channel plays. Each channel keeps its own place, so that a run
    // started on one channel does not move the other's.
    int demoIndex(int channel = 0) const { return demoIndex_.at(static_cast<size_t>(channel)); }
    // The demonstration's first value is its injection: a run started on the simulated
    // connection plays from there, whenever it is started.
    void rewindDemo(int channel);
    // One demonstration value into channel A and (with two channels) B, then any queued
    // bytes. The frame decoding, decimation and confirmation are bypassed.
    void simulationTick();

    // The channel sample operation: polarity, ignition, start trigger, zeroing, append.
    void channelSample(int channel, float value, bool trigger);

    // A channel is attached while a document takes its points. Attaching starts the
    // channel's run state afresh; false when the channel is taken or out of range.
    bool attach(int channel);
    void detach(int channel);
    bool attached(int channel) const { return attached_.at(static_cast<size_t>(channel)); }
    ChannelRun& run(int channel) { return runs_.at(static_cast<size_t>(channel)); }
    const ChannelRun& run(int channel) const { return runs_.at(static_cast<size_t>(channel)); }

    bool running(int channel) const { return running_.at(channel) != 0; }
    // A run begins: points flow to the host, and counting (which zeroing at run start
    // looks at) begins anew.
    void startRunning(int channel)
    {
        running_.at(channel) = 1;
        runPointCount_.at(channel) = 0;
    }
    // A run that was going on with another collector goes on here.
    void resumeRunning(int channel, int points)
    {
        running_.at(channel) = 1;
        runPointCount_.at(channel) = points;
    }
    // The run ends or is cancelled: no more points, and no zero offset carried over.
    void stopRunning(int channel)
    {
        running_.at(channel) = 0;
        zeroActive_.at(channel) = 0;
    }
    bool zeroActive(int channel) const { return zeroActive_.at(channel) != 0; }
    int runPointCount(int channel) const { return runPointCount_.at(channel); }

    bool confirmed() const { return confirmed_ != 0; }
    // Not confirmed again until the next ready byte: a port just opened must answer for
    // itself, whatever the port before it said.
    void resetConfirmation();
    ConfirmEvent& confirmEvent() { return confirmEvent_; }
    size_t queued() const { return rxQueue_.size(); }

    // Back to the state after construction: queue emptied, channels as new, demonstration
    // data released. Attached channels stay attached, with their runs.
    void reset();

private:
    void parseByte(uint8_t b);
    void processFrame();
    void startChannel(int channel);

    const AcquisitionSettings& settings_;
    CollectorHost* host_;

    std::array<int, kChannels> demoIndex_{};
    std::vector<float> demoValues_;
    std::array<int, kChannels> runPointCount_{};
    std::array<float, kChannels> zeroOffset_{};
    std::array<int, kChannels> startLatch_{};
    std::array<int, kChannels> startAcknowledged_{1, 1};
    std::array<bool, kChannels> attached_{};
    std::array<ChannelRun, kChannels> runs_{};
    std::array<int, kChannels> running_{};
    int confirmed_ = 0;
    ByteRing rxQueue_;
    ConfirmEvent confirmEvent_;
    std::array<uint8_t, 4> frame_{};
    int frameIndex_ = 0;
    std::array<std::array<float, kHistory>, kChannels> history_{};
    std::array<int, kChannels> decimationCounter_{};
    std::array<int, kChannels> rangeState_{-1, -1};
    std::array<int, kChannels> ignitionCounter_{};
    std::array<int, kChannels> rangeRepairCounter_{-1, -1};
    std::array<int, kChannels> zeroActive_{};
};

}  // namespace dgaws
