#include "EngineTestSupport.h"

#include "processing/CommonTangent.h"
#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

// A solvent peak with a tail that is still falling when the data end, two small peaks
// riding on it.
std::vector<float> solventWithRiders()
{
    return SyntheticSignal(4000)
        .tailing(200, 20000, 10, 3000)
        .gaussian(700, 150, 8)
        .gaussian(1100, 120, 8)
        .floats();
}

// The stored area rule, written out independently: the first sample after the baseline
// start counts twice.
double rawArea(const SignalBuffer& s, const PeakRecord& p, int divisor)
{
    const int b0 = p.baselineStartIndex, b1 = p.baselineEndIndex;
    double sum = s.at(b0 + 1);
    for (int j = b0 + 1; j < b1 && j < s.count(); ++j)
        sum += s.at(j);
    return (sum - (b1 - b0) * (static_cast<double>(p.baselineEndValue) + p.baselineStartValue) * 0.5) /
           divisor;
}

double tangentFromStart(const SignalBuffer& s, const PeakRecord& p, int i)
{
    return (static_cast<double>(p.baselineStartValue) - s.at(i)) / (i - p.startIndex);
}

}  // namespace

TEST(Tailing, SolventPeakCarriesItsRidersAndLosesTheirAreas)
{
    auto d = chromatogramOf(solventWithRiders(), plainParams());
    const PeakTable t = detect(d);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].typeFlags, PeakFlag::TailingWithRidersBehind);
    EXPECT_EQ(t[1].typeFlags, PeakFlag::RiderOnTail);
    EXPECT_EQ(t[2].typeFlags, PeakFlag::RiderOnTail);
    EXPECT_NEAR(t[1].apexIndex, 700, 4);
    EXPECT_NEAR(t[2].apexIndex, 1100, 4);

    // The tail never comes back, so the tailing peak's baseline runs to the data's end,
    // under its riders, and their areas are taken out of its own.
    EXPECT_GE(t[0].baselineEndIndex, 3990);
    EXPECT_LT(t[0].endIndex, t[1].startIndex + 1);
    const double expected =
        rawArea(d.signal, t[0], 20) - rawArea(d.signal, t[2], 20) - rawArea(d.signal, t[1], 20);
    EXPECT_DOUBLE_EQ(t[0].area, expected);
    EXPECT_GT(t[2].area, 0.0);
}

TEST(Tailing, RiderEndsWhereTheTangentFromItsStartTurnsDown)
{
    auto d = chromatogramOf(solventWithRiders(), plainParams());
    const PeakTable t = detect(d);
    ASSERT_EQ(t.size(), 3);
    for (int r : {1, 2}) {
        const PeakRecord& p = t[r];
        const int e = p.endIndex;
        EXPECT_EQ(p.baselineEndIndex, e);
        EXPECT_FALSE(p.typeFlags & PeakFlag::EndsInValley);
        const double atEnd = tangentFromStart(d.signal, p, e);
        const double after = tangentFromStart(d.signal, p, e + 1);
        EXPECT_GT(after, 0.0);
        EXPECT_LT(after, atEnd) << "the tangent turned one sample after the end";
        EXPECT_LT(e, p.apexIndex + 4 * 8) << "well before the rider is back on the tail";
    }
}

TEST(Tailing, RecognitionCanBeSwitchedOffOrMissedByItsRatios)
{
    auto off = chromatogramOf(solventWithRiders(), plainParams());
    off.method.timeProgramEnabled = 1;
    off.method.timeProgram = {timeEvent(0.0, TimeEventType::AutoTailingOff)};
    for (const PeakRecord& p : detect(off))
        EXPECT_FALSE(p.typeFlags & (PeakFlag::TailingWithRidersBehind | PeakFlag::RiderOnTail));

    IntegrationParams high = plainParams();
    high.heightRatio = 1e6;
    auto notTallEnough = chromatogramOf(solventWithRiders(), high);
    const PeakTable t = detect(notTallEnough);
    ASSERT_GE(t.size(), 2);
    EXPECT_EQ(t[0].typeFlags, PeakFlag::EndsInValley);
    EXPECT_EQ(t[1].typeFlags & PeakFlag::StartsInValley, PeakFlag::StartsInValley);
}

TEST(Tailing, CommonTangentJoinsRidersUnderTheLowestChord)
{
    const auto row = [](int b0, float v0, int b1, float v1) {
        PeakRecord p;
        p.baselineStartIndex = p.startIndex = b0;
        p.baselineEndIndex = p.endIndex = b1;
        p.baselineStartValue = p.startValue = v0;
        p.baselineEndValue = p.endValue = v1;
        p.typeFlags = PeakFlag::RiderOnTail;
        return p;
    };
    PeakTable t;
    PeakRecord tailing = row(0, 0.0f, 1000, 0.0f);
    tailing.typeFlags = PeakFlag::TailingWithRidersBehind;
    t.append(tailing);
    t.append(row(100, 500.0f, 150, 480.0f));  // own slope -0.4
    t.append(row(150, 480.0f, 200, 470.0f));
    t.append(row(200, 470.0f, 250, 400.0f));  // chord from 100: -100/150, the lowest
    t.append(row(300, 390.0f, 350, 385.0f));  // chord from 100: -115/250 = -0.46
    EXPECT_TRUE(joinRidersByCommonTangent(t, 0));
    EXPECT_EQ(t[1].typeFlags, PeakFlag::RiderOnTail | PeakFlag::EndsInValley);
    EXPECT_EQ(t[2].typeFlags, PeakFlag::RiderOnTail | PeakFlag::EndsInValley | PeakFlag::StartsInValley);
    EXPECT_EQ(t[3].typeFlags, PeakFlag::RiderOnTail | PeakFlag::StartsInValley);
    EXPECT_EQ(t[4].typeFlags, PeakFlag::RiderOnTail) << "the last rider has no later one";
    EXPECT_EQ(t[0].typeFlags, PeakFlag::TailingWithRidersBehind);

    // Equal slopes: the first row wins, so nothing joins a rider to a later equal chord.
    PeakTable straight;
    straight.append(tailing);
    straight.append(row(100, 500.0f, 150, 450.0f));
    straight.append(row(150, 450.0f, 200, 400.0f));
    EXPECT_FALSE(joinRidersByCommonTangent(straight, 0));
}
