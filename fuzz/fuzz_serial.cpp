// The collector's parser over any byte stream, fed three ways: byte by byte as the port
// hands bytes over, in chunks of seven, and whole. Points must never depend on how the
// stream was cut, and every point must be a value the card can send.
#include "acquisition/CCollector.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace dgaws;

struct Point {
    int channel;
    float value;
};

class Host : public CollectorHost {
public:
    CCollector* collector = nullptr;
    std::vector<Point> points;

    void openChannel(int) override {}
    bool hasValidMethod(int) const override { return true; }
    void runStart(int channel) override
    {
        collector->run(channel).acquiring = true;
        collector->startRunning(channel);
    }
    void noMethodAtStart(int) override {}
    void ignitionChanged(int) override {}
    void append(int channel, float v) override { points.push_back({channel, v}); }
};

std::vector<Point> parse(const AcquisitionSettings& settings, const uint8_t* data, size_t size,
                         size_t chunk)
{
    Host host;
    CCollector c(settings, &host);
    host.collector = &c;
    for (int ch = 0; ch < 2; ++ch) {
        c.attach(ch);
        host.runStart(ch);
    }
    for (size_t at = 0; at < size; at += chunk) {
        const size_t n = chunk < size - at ? chunk : size - at;
        for (size_t i = 0; i < n; ++i)
            c.push(data[at + i]);
        c.parse();
    }
    return std::move(host.points);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the settings; the rest is the line.
    AcquisitionSettings s;
    const uint8_t pick = data[0];
    s.pointsPerSecond = (pick & 3) == 0 ? 10 : (pick & 3) == 1 ? 20 : 50;
    s.AutoBase = (pick >> 2) & 1;
    s.ConvertA = (pick >> 3) & 1;
    s.AllStart = (pick >> 4) & 1;
    ++data;
    --size;

    const std::vector<Point> one = parse(s, data, size, 1);
    // A chunk below the ring's size never overflows it, so the points must be the same.
    for (size_t chunk : {size_t(7), dgaws::ByteRing::kSize - 1}) {
        const std::vector<Point> other = parse(s, data, size, chunk);
        if (other.size() != one.size())
            std::abort();
        for (size_t i = 0; i < one.size(); ++i)
            if (other[i].channel != one[i].channel ||
                std::memcmp(&other[i].value, &one[i].value, sizeof(float)) != 0)
                std::abort();
    }
    // 21 bits on the coarse range, and at most twice that once zeroed.
    const float limit = s.AutoBase ? 5.0e6f : 2.5e6f;
    for (const Point& p : one)
        if (!std::isfinite(p.value) || std::fabs(p.value) > limit || p.channel < 0 || p.channel > 1)
            std::abort();
    return 0;
}
