#include "EngineTestSupport.h"

#include "processing/CommonTangent.h"
#include "processing/TimeEventType.h"

#include <gtest/gtest.h>

using namespace dgaws;
using namespace dgaws::test;

namespace {

double tangentFromStart(const SignalBuffer& s, const PeakRecord& p, int i)
{
    return (static_cast<double>(p.baselineStartValue) - s.at(i)) / (i - p.startIndex);
}

}  // namespace

TEST(Tailing, SolventPeakCarriesItsRidersAndLosesTheirAreas)
{
    // A tail falling by several uV a sample as riders leave it, and one falling by less than 1.
    for (const double tau : {3000.0, 30000.0}) {
        SCOPED_TRACE(tau);
        const auto samples = SyntheticSignal(4000)
                                 .tailing(200, 20000, 10, tau)
                                 .gaussian(700, 150, 8)
                                 .gaussian(1100, 120, 8)
                                 .floats();
        auto d = chromatogramOf(samples, plainParams());
        const PeakTable t = detect(d);
        ASSERT_EQ(t.size(), 3);
        EXPECT_EQ(t[0].typeFlags, PeakFlag::TailingWithRidersBehind);
        EXPECT_NEAR(t[1].apexIndex, 700, 4);
        EXPECT_NEAR(t[2].apexIndex, 1100, 4);
        // The tail never comes back, so the tailing peak's baseline runs to the data's end,
        // under its riders, and their areas are taken out of its own.
        EXPECT_GE(t[0].baselineEndIndex, 3990);
        EXPECT_LT(t[0].endIndex, t[1].startIndex + 1);
        const std::vector<float>& v = d.signal.values();
        EXPECT_DOUBLE_EQ(t[0].area, rawArea(v, t[0]) - rawArea(v, t[2]) - rawArea(v, t[1]));
        // Each rider ends where the tangent from its start turns down.
        for (int r : {1, 2}) {
            const PeakRecord& p = t[r];
            const int e = p.endIndex;
            EXPECT_EQ(p.typeFlags, PeakFlag::RiderOnTail);
            EXPECT_GT(p.area, 0.0);
            EXPECT_EQ(p.baselineEndIndex, e);
            const double atEnd = tangentFromStart(d.signal, p, e);
            const double after = tangentFromStart(d.signal, p, e + 1);
            EXPECT_GT(after, 0.0);
            EXPECT_LT(after, atEnd) << "the tangent turned one sample after the end";
            EXPECT_LE(e, p.apexIndex + 4 * 8) << "before the rider is back on the tail";
        }
    }
}

TEST(Tailing, RecognitionCanBeSwitchedOffOrMissedByItsRatios)
{
    for (const PeakRecord& p :
         detect(withProgram(solventWithRiders(), {timeEvent(0.0, TimeEventType::AutoTailingOff)})))
        EXPECT_FALSE(p.typeFlags & (PeakFlag::TailingWithRidersBehind | PeakFlag::RiderOnTail));

    IntegrationParams high = plainParams();
    high.heightRatio = 1e6;
    const PeakTable t = detect(chromatogramOf(solventWithRiders(), high));
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
    EXPECT_EQ(t[2].typeFlags,
              PeakFlag::RiderOnTail | PeakFlag::EndsInValley | PeakFlag::StartsInValley);
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
