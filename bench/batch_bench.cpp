// Re-processing an archive: N six-minute two-channel tests (2N chromatograms at 20 points per
// second, the nine gases split over channels A and B as the demonstration plays them), each
// linked to the shipped default method and its channel's curve, detected, identified and
// quantified on every core with one CSV summary. Prints the wall time and files per second.
//   batch_bench [TESTS] [JOBS]      (default 5000 tests = 10 000 files, one job per core)
#include "../tools/DemoGases.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/MethodFile.h"
#include "cli/BatchProcess.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace dgaws;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 20;
constexpr double kMinutes = 6.0;

ChromatogramData channel(char which, const MethodLibraryEntry& shipped, std::mt19937& random)
{
    ChromatogramData d;
    d.pointsPerSecond = kRate;
    d.method = shipped.method;
    d.methodName = shipped.method.name;
    d.calibrationName = which == 'A' ? "ADefaultCali" : "BDefaultCali";
    std::normal_distribution<double> noise(0.0, 2.0);
    std::uniform_real_distribution<double> amount(0.2, 3.0);
    const int count = static_cast<int>(kRate * kMinutes * 60.0);
    std::vector<double> v(size_t(count), 0.0);
    for (int i = 0; i < count; ++i)
        v[size_t(i)] = 50.0 + noise(random);
    for (const demo::DemoGas& g : demo::kGases) {
        if (g.channel != which)
            continue;
        const double scale = amount(random);
        for (int i = 0; i < count; ++i) {
            const double t = i / double(kRate) / 60.0 - g.retentionTime;
            const double sigma = t < 0 ? g.sigma : g.sigma * g.tailing;
            if (std::abs(t) < 8 * sigma)
                v[size_t(i)] += scale * g.height * std::exp(-0.5 * t * t / (sigma * sigma));
        }
    }
    d.signal.assign(std::vector<float>(v.begin(), v.end()));
    d.hasData = true;
    return d;
}

}  // namespace

int main(int argc, char** argv)
{
    const int tests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    const int jobs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 0;
    const fs::path shippedFolder = fs::path(DGAWS_SOURCE_DIR) / "data";
    const MethodLibraryEntry shipped = loadMethodFile((shippedFolder / "QLDefault.she").string());

    const fs::path root =
        fs::temp_directory_path() / ("dgaws-batch-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "in");
    std::mt19937 random(7);
    const ChromatogramData a = channel('A', shipped, random);
    const ChromatogramData b = channel('B', shipped, random);
    for (int t = 0; t < tests; ++t) {
        writeChromatogramFile((root / "in" / ("A_" + std::to_string(t) + ".chg")).string(), a);
        writeChromatogramFile((root / "in" / ("B_" + std::to_string(t) + ".chg")).string(), b);
    }

    cli::BatchOptions o;
    o.inputs = {(root / "in").string()};
    o.summary = (root / "summary.csv").string();
    o.jobs = jobs;
    o.process.methodFolder = shippedFolder.string();
    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    const int status = cli::runBatch(o, out, err);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto summaryBytes = fs::file_size(o.summary);
    std::error_code ec;
    fs::remove_all(root, ec);

    const int files = 2 * tests;
    std::printf(
        "batch of %d six-minute chromatograms (%d tests) on %d threads: %.2f s, %.0f files/s, "
        "summary %ju bytes, status %d\n",
        files, tests, jobs > 0 ? jobs : int(std::thread::hardware_concurrency()), seconds,
        files / seconds, static_cast<uintmax_t>(summaryBytes), status);
    if (status != 0)
        std::cerr << err.str();
    return status;
}
