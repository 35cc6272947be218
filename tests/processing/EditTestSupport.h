#pragma once

#include "EngineTestSupport.h"

#include "processing/PeakEditor.h"

#include <cmath>
#include <string>
#include <vector>

namespace dgaws::test {

// A chromatogram with a hand-made, evaluated table and the editor the graph would use.
struct EditBench {
    ChromatogramData data;
    PeakEngine engine{data};
    PeakEditor editor{engine};

    EditBench(const std::vector<float>& samples, const std::vector<PeakRecord>& rows)
    {
        data = tableOn(samples, rows);
        engine.setSettings({1, 0});
        engine.evaluate(EvaluateStep::All);
    }

    const PeakTable& peaks() const { return data.peaks; }
    const std::vector<ManualEvent>& events() const { return data.method.manualEvents; }
    std::string type(int row) const { return peakTypeName(peakTypeCode(peaks()[row].typeFlags)); }
    std::vector<int> kinds() const
    {
        std::vector<int> k;
        for (const ManualEvent& e : events())
            k.push_back(e.kind);
        return k;
    }
};

// Raised-cosine bumps (centre, height, half width) on a level of 100 uV: exactly the level
// outside each bump, so that every boundary placed there lies on the baseline.
struct Bump {
    double centre;
    double height;
    double halfWidth = 50.0;
};
inline std::vector<float> bumps(const std::vector<Bump>& peaks, int samples = 2000,
                                double driftPerSample = 0.0)
{
    std::vector<float> s(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        double v = 100.0 + driftPerSample * i;
        for (const Bump& b : peaks) {
            const double d = (i - b.centre) / b.halfWidth;
            if (std::fabs(d) < 1.0) {
                const double c = std::cos(d * 1.5707963267948966);
                v += b.height * c * c;
            }
        }
        s[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    return s;
}

// Four lone peaks at 300, 700, 1100 and 1500; each row reaches 100 samples either side.
inline std::vector<float> fourApart()
{
    return bumps({{300, 800}, {700, 600}, {1100, 400}, {1500, 300}});
}
inline std::vector<PeakRecord> fourApartRows(const std::vector<float>& s)
{
    return {rowOn(s, 200, 300, 400), rowOn(s, 600, 700, 800), rowOn(s, 1000, 1100, 1200),
            rowOn(s, 1400, 1500, 1600)};
}

// Three peaks run together at 300, 380 and 460 with valleys at 340 and 420, then a lone
// peak at 1100.
inline std::vector<float> groupOfThree()
{
    return bumps({{300, 800}, {380, 600}, {460, 500}, {1100, 400}});
}
inline std::vector<PeakRecord> groupOfThreeRows(const std::vector<float>& s)
{
    using namespace PeakFlag;
    return {rowOn(s, 240, 300, 340, EndsInValley),
            rowOn(s, 340, 380, 420, StartsInValley | EndsInValley),
            rowOn(s, 420, 460, 520, StartsInValley), rowOn(s, 1000, 1100, 1200)};
}

}  // namespace dgaws::test
