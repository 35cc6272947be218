#include "ChromatogramData.h"

#include "SampleIndex.h"

#include <cmath>

namespace dgaws {

void ChromatogramData::resetResults()
{
    totalHydrocarbons = 0.0;
    gasInOil.fill(0.0);
    working = WorkingResults{};
    ratioCode1 = ratioCode2 = ratioCode3 = -1;
    diagnosisCode = diagnosisCode2 = -1;
    conclusion.clear();
    advice.clear();
    for (auto& t : extraTexts)
        t.clear();
}

void ChromatogramData::resetForRun(int samples, int rate)
{
    signal.resize(samples);
    hasData = 0;
    pointsPerSecond = rate;
    signalMax = -2500000.0f;
    signalMin = 2500000.0f;
}

int ChromatogramData::timeToIndex(double minutes) const
{
    return sampleIndex(pointsPerSecond, minutes, SampleRounding::TowardZero);
}

double ChromatogramData::indexToTime(int index) const
{
    if (pointsPerSecond == 0)
        return 0.0;
    return static_cast<double>(index) / pointsPerSecond * (1.0 / 60.0);
}

double ChromatogramData::meanAbsoluteSignal() const
{
    const int n = signal.count();
    if (n == 0)
        return 0.0;
    double sum = 0.0;
    for (float v : signal.values()) {
        // Truncated to an integer as the display's level figure always was.
        const double t = std::trunc(static_cast<double>(v));
        sum += std::fabs(t);
    }
    return sum / n;
}

double ChromatogramData::rmsSignal() const
{
    const int n = signal.count();
    if (n == 0)
        return 0.0;
    double sum = 0.0;
    for (float v : signal.values())
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / n);
}

int ChromatogramData::findPeakAt(double minutes) const
{
    const int index = timeToIndex(minutes);
    for (int i = 0; i < peaks.size(); ++i)
        if (peaks[i].startIndex < index && index < peaks[i].endIndex)
            return i;
    return -1;
}

void ChromatogramData::setPeakLabels(int value)
{
    for (auto& p : peaks) {
        if (value == PeakLabel::HideMarks)
            p.displayFlags ^= PeakLabel::HideMarks;
        else
            p.displayFlags = value;
    }
}

void ChromatogramData::scanExtrema(float startMax, float startMin)
{
    signalMax = startMax;
    signalMin = startMin;
    for (float v : signal.values()) {
        if (v > signalMax)
            signalMax = v;
        if (v < signalMin)
            signalMin = v;
    }
}

}  // namespace dgaws
