#include "EditTestSupport.h"
#include "EngineTestSupport.h"

#include "processing/ManualEventReplay.h"
#include "processing/SignalCorrection.h"
#include "processing/SignalSmoothing.h"
#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
#include <random>

using namespace dgaws;
using namespace dgaws::test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<float> peaks()
{
    return SyntheticSignal(3000, 50.0f)
        .gaussian(500, 800, 15)
        .gaussian(570, 400, 15)
        .tailing(1200, 9000, 10, 2000)
        .gaussian(1700, 120, 8)
        .gaussian(2600, 300, 20)
        .noise(1.0)
        .floats();
}

}  // namespace

TEST(Robustness, DamagedMethodsGiveSoundTables)
{
    const std::vector<std::function<void(AnalysisMethod&)>> damage = {
        [](AnalysisMethod&) {},
        [](AnalysisMethod& m) { m.integration.smoothWidth = 0; },
        [](AnalysisMethod& m) { m.integration.smoothWidth = -7; },
        [](AnalysisMethod& m) { m.integration.smoothWidth = INT_MAX; },
        [](AnalysisMethod& m) { m.integration.judgeWidth = -1; },
        [](AnalysisMethod& m) { m.integration.judgeWidth = INT_MAX; },
        [](AnalysisMethod& m) { m.integration.peakWidth = 0; },
        [](AnalysisMethod& m) { m.integration.peakWidth = INT_MIN; },
        [](AnalysisMethod& m) { m.integration.peakWidth = INT_MAX; },
        [](AnalysisMethod& m) { m.integration.slope = -10.0; },
        [](AnalysisMethod& m) { m.integration.slope = kNaN; },
        [](AnalysisMethod& m) { m.integration.slope = kInf; },
        [](AnalysisMethod& m) { m.integration.timeDoubling = 1e-4; },  // a period of one sample
        [](AnalysisMethod& m) { m.integration.timeDoubling = kNaN; },
        [](AnalysisMethod& m) { m.integration.timeDoubling = -kInf; },
        [](AnalysisMethod& m) { m.integration.lockTime = kInf; },
        [](AnalysisMethod& m) { m.integration.lockTime = kNaN; },
        [](AnalysisMethod& m) { m.integration.minArea = kNaN; },
        [](AnalysisMethod& m) { m.integration.minHeight = kInf; },
        [](AnalysisMethod& m) {
            m.integration.heightRatio = 0.0;
            m.integration.riderRatio = kInf;
        },
        [](AnalysisMethod& m) {
            m.timeProgramEnabled = 1;
            m.timeProgram = {timeEvent(kNaN, TimeEventType::ManualEnd, INT_MAX, kInf),
                             timeEvent(-5.0, -3, -1, -1.0),
                             timeEvent(0.1, 99, 0, 0.0),
                             timeEvent(0.5, TimeEventType::ManualEnd),
                             timeEvent(0.75, TimeEventType::BaselineNow, 1, kNaN),
                             timeEvent(1e300, TimeEventType::ManualStart)};
        },
    };
    // The same peaks with samples that are not numbers, infinite or the largest float.
    auto damagedSamples = peaks();
    for (size_t i = 0; i < damagedSamples.size(); i += 97)
        damagedSamples[i] = (i % 2) ? std::numeric_limits<float>::quiet_NaN()
                                    : std::numeric_limits<float>::infinity();
    damagedSamples[510] = -std::numeric_limits<float>::infinity();
    damagedSamples[1] = std::numeric_limits<float>::max();
    for (const auto& samples : {peaks(), damagedSamples}) {
        for (size_t k = 0; k < damage.size(); ++k) {
            for (int rate : {20, 0, -20, 1, 50}) {
                ChromatogramData d = chromatogramOf(samples, plainParams(), rate);
                damage[k](d.method);
                PeakEngine e(d);
                e.runDetection();  // with the deletion of excluded peaks
                SCOPED_TRACE(testing::Message() << "damage " << k << " rate " << rate);
                EXPECT_TRUE(k > 0 || !d.peaks.empty());
                expectFinite(d.peaks);
                e.evaluate(EvaluateStep::All);
                expectFinite(d.peaks);
                EXPECT_TRUE(std::isfinite(d.signalMax) && std::isfinite(d.signalMin));
            }
        }
    }
}

TEST(Robustness, WidthsBelowTheirMinimumsActAsTheMinimums)
{
    const auto samples = peaks();
    const auto tableWith = [&](int smoothWidth, int judgeWidth) {
        IntegrationParams p = plainParams(4, 10.0, smoothWidth);
        p.judgeWidth = judgeWidth;
        ChromatogramData d = chromatogramOf(samples, p);
        return detect(d);
    };
    const PeakTable smoothOne = tableWith(1, 16);
    ASSERT_FALSE(smoothOne.empty());
    EXPECT_EQ(tableWith(0, 16), smoothOne);
    EXPECT_EQ(tableWith(-4, 16), smoothOne);

    const PeakTable judgeFive = tableWith(2, 5);
    ASSERT_FALSE(judgeFive.empty());
    for (int j : {4, 1, 0, -9})
        EXPECT_EQ(tableWith(2, j), judgeFive) << j;
}

namespace {

// The measures a damaged row may hold anything in before, but never after, an evaluation.
void expectFiniteMeasures(const PeakTable& t)
{
    for (const PeakRecord& p : t)
        for (double v : {p.area, p.height, p.areaPercent, p.halfWidth, p.tailingFactor, p.plates,
                         p.resolution})
            EXPECT_TRUE(std::isfinite(v));
}

}  // namespace

// Stored tables can hold anything; no evaluation, edit, undo, replay or signal operation
// may crash on them or put a non-finite measure into a record.
TEST(EditRobustness, RandomEditsOnDamagedTables)
{
    std::mt19937 gen(23);
    std::uniform_int_distribution<int> index(-500, 2500);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> pick(0, 17);
    std::uniform_real_distribution<float> value(-1e5f, 1e5f);
    auto samples = groupOfThree();
    samples[777] = std::numeric_limits<float>::quiet_NaN();
    for (int round = 0; round < 40; ++round) {
        std::vector<PeakRecord> rows;
        for (int r = 0; r < 8; ++r) {
            PeakRecord p;
            p.startIndex = index(gen);
            p.apexIndex = round % 4 == 0 ? any(gen) : index(gen);
            p.endIndex = index(gen);
            p.baselineStartIndex = round % 5 == 0 ? any(gen) : index(gen);
            p.baselineEndIndex = index(gen);
            p.startValue = value(gen);
            p.apexValue = value(gen);
            p.endValue = value(gen);
            p.baselineStartValue = r % 4 ? value(gen) : std::numeric_limits<float>::quiet_NaN();
            p.baselineEndValue = value(gen);
            p.detectTag = any(gen);
            p.typeFlags = any(gen) & 0x1FF;
            p.retentionTime = r % 3 ? 1.0 : std::numeric_limits<double>::infinity();
            rows.push_back(p);
        }
        EditBench b(samples, rows);
        expectFiniteMeasures(b.peaks());
        EXPECT_FALSE(b.engine.deletePeak(b.peaks().size()));
        EXPECT_FALSE(b.engine.deletePeak(-1));
        SignalCorrection correction;
        for (int step = 0; step < 60; ++step) {
            const int size = b.peaks().size();
            std::uniform_int_distribution<int> row(-1, size);
            const int r = row(gen);
            const int x = index(gen);
            PeakEditor& e = b.editor;
            switch (pick(gen)) {
            case 0: e.deletePeak(r); break;
            case 1: e.moveStart(r, x); break;
            case 2: e.moveApex(r, x); break;
            case 3: e.moveEnd(r, x); break;
            case 4: e.verticalCut(r, x); break;
            case 5: e.slantCut(r, x); break;
            case 6: e.horizontalBaseline(r, x); break;
            case 7: e.tailingBehind(r, x); break;
            case 8: e.tailingBefore(r, x); break;
            case 9: e.toggleNegative(r); break;
            case 10: e.undo(); break;
            case 11: e.redo(); break;
            case 12: e.separateAllPeaks(); break;
            case 13: replayManualEvents(b.engine); break;
            case 14: correction.subtractOwnDrift(b.data); break;
            case 15: correction.restore(b.data); break;
            case 16: SignalSmoothing::smooth(b.data, x % 9); break;
            default: {
                AddPeakClicks clicks;
                for (int k = 0; k < 3; ++k)
                    clicks.click(b.peaks(), b.data.signal.count(), x + k * 40);
                e.addPeak(clicks);
            }
            }
            EXPECT_LE(b.editor.undoStack().position(), b.editor.undoStack().size());
        }
        SCOPED_TRACE(testing::Message() << "round " << round);
        b.engine.evaluate(EvaluateStep::All);
        expectFiniteMeasures(b.peaks());
    }
}
