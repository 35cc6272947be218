// The redraw cost of the chromatogram graph while a run appends points: a 60-minute run at
// 50 points per second (180000 points), with the whole run in view (the worst case, every
// point on screen) and a frame every 100 ms, i.e. 5 new points per frame. A frame costs an
// append of those points and one full replot; the window keeps up while a frame stays well
// under the frame interval.
//
// And a stored 24-hour chromatogram at 50 points per second (4.32 million points): opening
// it, a full redraw with all of it in view, and scrolling a zoomed view across it; a redraw
// should stay within one 60 Hz frame (16 ms).
#include "app/CChrEDoc.h"
#include "ui/graph/CChrEGraphView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

using namespace dgaws;

namespace {

constexpr int kRate = 50;
constexpr double kMinutes = 60.0;
constexpr int kSamples = static_cast<int>(kRate * kMinutes * 60);
constexpr int kPointsPerFrame = kRate * CChrEGraphView::kFrameIntervalMs / 1000;

float sampleAt(int i)
{
    const double t = i / double(kRate) / 60.0;
    double v = 3000.0 + 500.0 * std::sin(i * 0.37);
    for (int p = 0; p < 40; ++p) {
        const double dt = (t - (0.7 + p * 1.45)) * 60.0 / 4.0;
        v += 200000.0 * std::exp(-0.5 * dt * dt);
    }
    return static_cast<float>(v);
}

// Peaks every 1.45 minutes from minute 0.7 on, each labelled with its component's name.
void addLabelledPeaks(ChromatogramData& data, int count)
{
    const std::string name = "CH4(甲烷)";
    for (int p = 0; p < count; ++p) {
        PeakRecord r;
        r.number = p + 1;
        r.apexIndex = data.timeToIndex(0.7 + p * 1.45);
        r.startIndex = r.baselineStartIndex = r.apexIndex - 10 * kRate;
        r.endIndex = r.baselineEndIndex = r.apexIndex + 10 * kRate;
        r.apexValue = data.signal.at(r.apexIndex);
        r.retentionTime = data.indexToTime(r.apexIndex);
        r.componentName = name;
        r.displayFlags = PeakLabel::ComponentName;
        data.peaks.append(r);
    }
}

// A channel document in the middle of a long run, and its graph at a usual window size.
struct LiveRun {
    ChannelRun run;
    CChrEDoc doc;
    std::unique_ptr<CChrEGraphView> view;

    explicit LiveRun(int acquired, int peaks)
    {
        doc.state = CChrEDoc::ChannelA;
        doc.data.pointsPerSecond = kRate;
        doc.data.method.timeEnd = kMinutes;
        doc.data.method.levelMax = 300.0;
        doc.data.resetForRun(kSamples, kRate);
        for (int i = 0; i < kSamples; ++i)
            doc.data.signal.set(i, sampleAt(i));
        addLabelledPeaks(doc.data, peaks);
        run.acquiring = true;
        doc.attachRun(&run);
        doc.acquiredCount = acquired;
        view = std::make_unique<CChrEGraphView>();
        view->resize(1280, 600);
        view->setDocument(&doc);
    }
};

void BM_FrameDuringRun(benchmark::State& state)
{
    const int start = static_cast<int>(kSamples * state.range(0) / 100) - 50 * kPointsPerFrame;
    LiveRun run(start, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        if (run.doc.acquiredCount + kPointsPerFrame > kSamples) {
            state.PauseTiming();
            run.doc.acquiredCount = start;
            run.view->rebuild();
            state.ResumeTiming();
        }
        run.doc.acquiredCount += kPointsPerFrame;
        run.view->appendAcquired();
        run.view->drawFrame();
    }
    state.counters["points"] = run.view->traceSamples();
    state.SetLabel("ms per frame, 100 ms frame interval");
}
// Run filled to 10 %, 50 % and 100 % of its 60 minutes; without and with 40 labelled peaks.
BENCHMARK(BM_FrameDuringRun)
    ->Args({10, 0})
    ->Args({50, 0})
    ->Args({100, 0})
    ->Args({100, 40})
    ->Unit(benchmark::kMillisecond);

// What acquisition itself pays per point: the append, without drawing.
void BM_AppendPoint(benchmark::State& state)
{
    LiveRun run(0, 0);
    for (auto _ : state) {
        if (run.doc.acquiredCount >= kSamples) {
            state.PauseTiming();
            run.doc.acquiredCount = 0;
            run.view->rebuild();
            state.ResumeTiming();
        }
        ++run.doc.acquiredCount;
        run.view->appendAcquired();
    }
}
BENCHMARK(BM_AppendPoint)->Unit(benchmark::kMicrosecond);

// A whole redraw after a change of the peak table, at the end of the run.
void BM_PeakRefresh(benchmark::State& state)
{
    LiveRun run(kSamples, 40);
    for (auto _ : state) {
        run.view->refreshPeaks();
        run.view->drawFrame();
    }
}
BENCHMARK(BM_PeakRefresh)->Unit(benchmark::kMillisecond);

// A stored day-long chromatogram with 40 labelled peaks in a window of the usual size.
struct DayLong {
    static constexpr int kDaySamples = kRate * 60 * 60 * 24;
    CChrEDoc doc;
    std::unique_ptr<CChrEGraphView> view;

    DayLong()
    {
        doc.state = CChrEDoc::ChannelA;
        doc.data.pointsPerSecond = kRate;
        doc.data.method.timeEnd = 24 * 60.0;
        doc.data.method.levelMax = 300.0;
        std::vector<float> samples(kDaySamples);
        for (int i = 0; i < kDaySamples; ++i)
            samples[size_t(i)] = sampleAt(i % kSamples) + 0.01f * float(i % 997);
        doc.data.signal.assign(std::move(samples));
        doc.data.hasData = true;
        addLabelledPeaks(doc.data, 40);
        view = std::make_unique<CChrEGraphView>();
        view->resize(1280, 600);
    }
};

DayLong& dayLong()
{
    static DayLong day;
    return day;
}

// Opening: the graph takes the document and draws it once.
void BM_Open24Hours(benchmark::State& state)
{
    DayLong& day = dayLong();
    for (auto _ : state) {
        day.view->setDocument(nullptr);
        day.view->setDocument(&day.doc);
    }
    state.counters["points"] = day.doc.data.signal.count();
}
BENCHMARK(BM_Open24Hours)->Unit(benchmark::kMillisecond);

// A full redraw with the whole day in view; the range moves by a minute each time, so every
// redraw thins the day anew.
void BM_Redraw24Hours(benchmark::State& state)
{
    DayLong& day = dayLong();
    day.view->setDocument(&day.doc);
    bool shifted = false;
    for (auto _ : state) {
        shifted = !shifted;
        day.view->xAxis->setRange(shifted ? 1.0 : 0.0, 24 * 60.0 + (shifted ? 1.0 : 0.0));
        day.view->replot();
    }
    state.SetLabel("ms per redraw, whole day in view");
}
BENCHMARK(BM_Redraw24Hours)->Unit(benchmark::kMillisecond);

// Scrolling: a two-hour view moved by 1 % of its width per redraw, as a drag moves it.
void BM_Scroll24Hours(benchmark::State& state)
{
    DayLong& day = dayLong();
    day.view->setDocument(&day.doc);
    double from = 0.0;
    for (auto _ : state) {
        from = from + 1.2 > 22 * 60.0 ? 0.0 : from + 1.2;
        day.view->xAxis->setRange(from, from + 120.0);
        day.view->replot();
    }
    state.SetLabel("ms per redraw, two hours in view");
}
BENCHMARK(BM_Scroll24Hours)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
