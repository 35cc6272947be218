// Writes the demonstration data QLCHGDATA.DMD that ships in data/: seven minutes of a
// two-channel DGA run at 20 points per second, as the simulated connection plays it into
// both channels. The nine gases of the default method elute at its retention times on a
// flame-lit detector baseline with drift, a slow wander, white noise and the dip of the
// valve switch. Every value comes from a fixed seed, so the file is the same on every build.
#include "DemoGases.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using dgaws::demo::DemoGas;
using dgaws::demo::kGases;

static_assert(std::endian::native == std::endian::little,
              "the file holds little-endian floats and is written as memory holds them");

constexpr int kRate = 20;
constexpr double kMinutes = 7.0;
constexpr double kPi = 3.14159265358979323846;

double peakAt(const DemoGas& p, double t)
{
    const double w = t < p.retentionTime ? p.sigma : p.sigma * p.tailing;
    const double z = (t - p.retentionTime) / w;
    return p.height * std::exp(-0.5 * z * z);
}

// Normal deviates from the raw 32-bit draws of mt19937, whose sequence the standard fixes
// (the library's own distributions may differ between implementations).
class Noise {
public:
    explicit Noise(uint32_t seed) : engine_(seed) {}
    double next()
    {
        if (spare_) {
            spare_ = false;
            return saved_;
        }
        const double u1 = (static_cast<double>(engine_()) + 1.0) / 4294967297.0;
        const double u2 = static_cast<double>(engine_()) / 4294967296.0;
        const double r = std::sqrt(-2.0 * std::log(u1));
        saved_ = r * std::sin(2.0 * kPi * u2);
        spare_ = true;
        return r * std::cos(2.0 * kPi * u2);
    }

private:
    std::mt19937 engine_;
    bool spare_ = false;
    double saved_ = 0.0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.DMD\n", argv[0]);
        return 2;
    }
    const int count = static_cast<int>(kRate * kMinutes * 60.0);
    Noise noise(20130623u);
    std::vector<float> values(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i / static_cast<double>(kRate) / 60.0;
        double v = 2400.0 + 60.0 * t + 15.0 * std::sin(2.0 * kPi * t / 3.1);
        const double dip = (t - 1.80) / 0.02;
        v -= 800.0 * std::exp(-0.5 * dip * dip);
        for (const DemoGas& p : kGases)
            v += peakAt(p, t);
        v += 4.0 * noise.next();
        values[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const size_t written = std::fwrite(values.data(), sizeof(float), values.size(), f);
    if (std::fclose(f) != 0 || written != values.size()) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
