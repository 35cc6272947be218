#pragma once

#include "acquisition/CCollector.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace dgaws::test {

// One collector frame built from what it should say, bit by bit as the card sends it.
inline std::array<uint8_t, 4> frame(int channel, int32_t magnitude, bool coarse = false,
                                    bool negative = false, bool start = false)
{
    uint8_t h = 0x80;
    if (channel == 1)
        h |= 0x10;
    if (start)
        h |= 0x08;
    if (coarse)
        h |= 0x04;
    if (negative)
        h |= 0x01;
    return {h, static_cast<uint8_t>((magnitude >> 14) & 0x7F),
            static_cast<uint8_t>((magnitude >> 7) & 0x7F), static_cast<uint8_t>(magnitude & 0x7F)};
}

// What a frame is worth in microvolts, from the numbers it was built from.
inline float expectedMicrovolts(int32_t magnitude, bool coarse, bool negative)
{
    const double factor = coarse ? 1.192093463942 : 0.074505841496;
    const double v = static_cast<double>(magnitude) * factor;
    return static_cast<float>(negative ? -v : v);
}

// Points the card gives from a run of frame values of one range (20 points per second):
// the mean of the values three to five frames back, from the seventh frame on, up to `end`.
inline std::vector<float> cardPoints(const std::vector<float>& v, size_t end = SIZE_MAX)
{
    std::vector<float> out;
    for (size_t k = 6; k < std::min(end, v.size()); ++k)
        out.push_back((v[k - 3] + v[k - 4] + v[k - 5]) * 0.33333334f);
    return out;
}

inline void feed(CCollector& c, const std::array<uint8_t, 4>& f)
{
    c.receive(f.data(), f.size());
}

inline void feed(CCollector& c, const std::vector<uint8_t>& bytes)
{
    c.receive(bytes.data(), bytes.size());
}

// A stand-in for the document side: channels attached on request, runs that start at once,
// every delivered point recorded.
class RecordingHost : public RunHost {
public:
    struct Point {
        int channel;
        float value;
    };

    CCollector* current = nullptr;
    bool validMethod = true;
    std::vector<Point> points;
    std::vector<int> opened;
    std::vector<int> runStarts;
    std::vector<int> noMethod;
    int ignitionChanges = 0;
    int confirmations = 0;

    // Opens both channels and marks them running, as a run in progress.
    void runBoth()
    {
        for (int c = 0; c < 2; ++c) {
            openChannel(c);
            runStart(c);
        }
    }
    std::vector<float> values(int channel) const
    {
        std::vector<float> v;
        for (const auto& p : points)
            if (p.channel == channel)
                v.push_back(p.value);
        return v;
    }

    void setCollector(CCollector* c) override { current = c; }
    CCollector* collector() const override { return current; }
    void collectorConfirmed() override
    {
        ++confirmations;
        RunHost::collectorConfirmed();
    }
    void openChannel(int channel) override
    {
        opened.push_back(channel);
        if (!current->attached(channel))
            current->attach(channel);
    }
    bool hasValidMethod(int) const override { return validMethod; }
    void runStart(int channel) override
    {
        runStarts.push_back(channel);
        current->run(channel).acquiring = true;
        current->startRunning(channel);
    }
    void noMethodAtStart(int channel) override { noMethod.push_back(channel); }
    void ignitionChanged(int) override { ++ignitionChanges; }
    void append(int channel, float value) override { points.push_back({channel, value}); }
};

// A collector with its recording host, confirmed or not.
struct CollectorBench {
    AcquisitionSettings settings;
    RecordingHost host;
    std::unique_ptr<CCollector> collector;

    explicit CollectorBench(bool confirm = true)
    {
        collector = std::make_unique<CCollector>(settings, &host);
        host.setCollector(collector.get());
        if (confirm) {
            const uint8_t ready = 0xE0;
            collector->receive(&ready, 1);
        }
    }
};

// The settings and a recording host for a collector link.
struct LinkBench {
    AcquisitionSettings settings;
    RecordingHost host;
};

}  // namespace dgaws::test
