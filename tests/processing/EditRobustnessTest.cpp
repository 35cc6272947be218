#include "EditTestSupport.h"

#include "processing/ManualEventReplay.h"
#include "processing/SignalCorrection.h"
#include "processing/SignalSmoothing.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <random>

using namespace dgaws;
using namespace dgaws::test;

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
        EXPECT_FALSE(b.engine.DeletePeak(b.peaks().size()));
        EXPECT_FALSE(b.engine.DeletePeak(-1));
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
            case 10: e.Undo(); break;
            case 11: e.Redo(); break;
            case 12: e.separateAllPeaks(); break;
            case 13: ReplayManualEvents(b.engine); break;
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
        b.engine.Evaluate(EvaluateStep::All);
        expectFiniteMeasures(b.peaks());
    }
}
