// Throughput of the peak engine on a 60-minute chromatogram at 50 points per second with
// 40 peaks: a stored detection with its evaluation, and the live cost of one sample
// followed by the evaluation the acquisition runs after every sample.
#include "processing/PeakEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace dgaws;

namespace {

constexpr int kRate = 50;
constexpr int kMinutes = 60;
constexpr int kSamples = kRate * 60 * kMinutes;
constexpr int kPeaks = 40;
// The live benchmark starts once every peak has passed.
constexpr int kLastPeakMinute = 45;

// Peaks between minute 1 and minute 45, later ones wider and lower as on a packed column,
// on a slowly drifting baseline with detector noise.
const std::vector<float>& chromatogramSamples()
{
    static const std::vector<float> samples = [] {
        std::vector<double> v(kSamples);
        std::mt19937 gen(2024);
        std::normal_distribution<double> noise(0.0, 0.8);
        for (int i = 0; i < kSamples; ++i)
            v[static_cast<size_t>(i)] = 200.0 + 0.0004 * i + noise(gen);
        for (int k = 0; k < kPeaks; ++k) {
            const double centre = kRate * 60.0 * (1.0 + (kLastPeakMinute - 2.0) * k / (kPeaks - 1));
            const double sigma = kRate * (1.0 + 4.0 * k / (kPeaks - 1));
            const double height = 4000.0 / (1.0 + 0.2 * k) * (k % 3 == 0 ? 1.0 : 0.6);
            const int from = std::max(0, static_cast<int>(centre - 8 * sigma));
            const int to = std::min(kSamples, static_cast<int>(centre + 8 * sigma));
            for (int i = from; i < to; ++i) {
                const double x = (i - centre) / sigma;
                v[static_cast<size_t>(i)] += height * std::exp(-0.5 * x * x);
            }
        }
        return std::vector<float>(v.begin(), v.end());
    }();
    return samples;
}

AnalysisMethod benchMethod()
{
    AnalysisMethod m;
    m.integration.peakWidth = 10;
    m.integration.slope = 20.0;
    m.integration.smoothWidth = 5;
    m.integration.judgeWidth = 16;
    m.integration.timeDoubling = 0.0;
    m.integration.lockTime = 0.0;
    m.integration.minArea = 0.0;
    m.integration.minHeight = 0.0;
    return m;
}

ChromatogramData storedChromatogram()
{
    ChromatogramData d;
    d.hasData = 1;
    d.pointsPerSecond = kRate;
    d.method = benchMethod();
    d.signal.assign(chromatogramSamples());
    return d;
}

// (a) A stored detection and the full evaluation, in samples per second.
void BM_RunDetectionAndEvaluate(benchmark::State& state)
{
    ChromatogramData d = storedChromatogram();
    PeakEngine engine(d);
    for (auto _ : state) {
        engine.runDetection();
        engine.evaluate(EvaluateStep::All);
        benchmark::DoNotOptimize(d.peaks.size());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
    state.counters["peaks"] = d.peaks.size();
}
BENCHMARK(BM_RunDetectionAndEvaluate)->Unit(benchmark::kMillisecond);

// A live run fed up to `upTo` samples, evaluated after each one.
struct LiveRun {
    ChromatogramData data;
    PeakEngine engine{data};
    int position = 0;

    explicit LiveRun(int upTo)
    {
        data.method = benchMethod();
        data.resetForRun(kSamples, kRate);
        engine.resetPass();
        feedTo(upTo);
    }
    void feedTo(int upTo)
    {
        const std::vector<float>& s = chromatogramSamples();
        for (; position < upTo; ++position) {
            data.signal.set(position, s[static_cast<size_t>(position)]);
            engine.feedSample(s[static_cast<size_t>(position)]);
            engine.evaluate(EvaluateStep::All);
        }
    }
};

// (b) One live sample with its evaluation, all 40 peaks already in the table.
void BM_LiveSampleWith40Peaks(benchmark::State& state)
{
    const int start = kRate * 60 * kLastPeakMinute + kRate * 60;
    auto run = std::make_unique<LiveRun>(start);
    const std::vector<float>& s = chromatogramSamples();
    for (auto _ : state) {
        if (run->position == kSamples) {
            state.PauseTiming();
            run = std::make_unique<LiveRun>(start);
            state.ResumeTiming();
        }
        const int i = run->position++;
        run->data.signal.set(i, s[static_cast<size_t>(i)]);
        run->engine.feedSample(s[static_cast<size_t>(i)]);
        run->engine.evaluate(EvaluateStep::All);
    }
    state.counters["peaks"] = run->data.peaks.size();
}
BENCHMARK(BM_LiveSampleWith40Peaks)->Unit(benchmark::kNanosecond);

// A whole live run, sample by sample, in samples per second.
void BM_LiveRunWhole(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        LiveRun run(0);
        state.ResumeTiming();
        run.feedTo(kSamples);
        benchmark::DoNotOptimize(run.data.peaks.size());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_LiveRunWhole)->Unit(benchmark::kMillisecond)->Iterations(5);

// The live samples that change the table (a peak ends) evaluate it anew; here a row is
// added after the last peak and removed again, two such evaluations per iteration.
void BM_LiveTableChangeWith40Peaks(benchmark::State& state)
{
    const int start = kRate * 60 * kLastPeakMinute + kRate * 60;
    LiveRun run(start);
    const PeakTable& rows = run.data.peaks;
    PeakRecord extra = rows[rows.size() - 1];
    extra.startIndex = extra.baselineStartIndex = start - 400;
    extra.apexIndex = start - 300;
    extra.endIndex = extra.baselineEndIndex = start - 200;
    extra.typeFlags = 0;
    for (auto _ : state) {
        run.engine.insertPeak(extra);
        run.engine.deletePeak(run.engine.detectedRows().size() - 1);
    }
    state.counters["peaks"] = run.data.peaks.size();
}
BENCHMARK(BM_LiveTableChangeWith40Peaks)->Unit(benchmark::kMicrosecond);

// Re-evaluating the finished 40-peak table where it stands, as after every edit.
void BM_EvaluateFinishedTable(benchmark::State& state)
{
    ChromatogramData d = storedChromatogram();
    PeakEngine engine(d);
    engine.runDetection();
    for (auto _ : state) {
        engine.evaluate(EvaluateStep::All);
        benchmark::DoNotOptimize(d.peaks.size());
    }
    state.counters["peaks"] = d.peaks.size();
}
BENCHMARK(BM_EvaluateFinishedTable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
