#include "EngineTestSupport.h"

#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>

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
    const auto samples = peaks();
    for (size_t k = 0; k < damage.size(); ++k) {
        for (int rate : {20, 0, -20, 1, 50}) {
            ChromatogramData d = chromatogramOf(samples, plainParams(), rate);
            damage[k](d.method);
            PeakEngine e(d);
            e.RunDetection();  // with the deletion of excluded peaks
            SCOPED_TRACE(testing::Message() << "damage " << k << " rate " << rate);
            expectFinite(d.peaks);
            e.Evaluate(EvaluateStep::All);
            expectFinite(d.peaks);
        }
    }
}

TEST(Robustness, NonFiniteSamplesNeverReachARecord)
{
    auto samples = peaks();
    for (size_t i = 0; i < samples.size(); i += 97)
        samples[i] = (i % 2) ? std::numeric_limits<float>::quiet_NaN()
                             : std::numeric_limits<float>::infinity();
    samples[510] = -std::numeric_limits<float>::infinity();
    samples[1] = std::numeric_limits<float>::max();
    ChromatogramData d = chromatogramOf(samples, plainParams());
    const PeakTable t = detect(d, {1, 1});
    EXPECT_FALSE(t.empty());
    expectFinite(t);
    EXPECT_TRUE(std::isfinite(d.signalMax));
    EXPECT_TRUE(std::isfinite(d.signalMin));
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

TEST(Robustness, EmptySignalAndZeroRate)
{
    ChromatogramData empty;
    PeakEngine e(empty);
    e.RunDetection();
    EXPECT_TRUE(empty.peaks.empty());
    EXPECT_EQ(empty.evaluated, 1);

    ChromatogramData still = chromatogramOf(peaks(), plainParams(), 0);
    const PeakTable t = detect(still);
    ASSERT_FALSE(t.empty());
    for (const PeakRecord& p : t) {
        EXPECT_EQ(p.retentionTime, 0.0);
        EXPECT_EQ(p.halfWidth, 0.0);
        EXPECT_EQ(p.plates, 0.0);
    }
}
