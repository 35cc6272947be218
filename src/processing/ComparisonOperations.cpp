#include "ComparisonOperations.h"

#include "SignalSmoothing.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/SampleIndex.h"

#include <algorithm>

namespace dgaws::comparison {
namespace {

// Sample shift of a time shift at the result's rate.
long long shiftIndex(int pointsPerSecond, double minutes)
{
    return sampleIndex(pointsPerSecond, minutes, SampleRounding::TowardZero);
}

// The result's samples from a rule for "a partner exists" and one for "stand-in".
template <class Combine>
std::vector<float> shifted(const std::vector<float>& a, const std::vector<float>& b, long long k,
                           Combine combine)
{
    const size_t n = std::min(a.size(), b.size());
    std::vector<float> r(n);
    if (n == 0)
        return r;
    if (k < 0) {
        const size_t lead = static_cast<size_t>(std::min<long long>(-k, static_cast<long long>(n)));
        for (size_t i = 0; i < lead; ++i)
            r[i] = combine(a[0], b[i]);
        for (size_t i = lead; i < n; ++i)
            r[i] = combine(a[static_cast<size_t>(static_cast<long long>(i) + k)], b[i]);
    } else {
        const size_t lead = static_cast<size_t>(std::min<long long>(k, static_cast<long long>(n)));
        for (size_t i = 0; i < lead; ++i)
            r[i] = combine(a[i], b[0]);
        for (size_t i = lead; i < n; ++i)
            r[i] = combine(a[i], b[i - static_cast<size_t>(k)]);
    }
    return r;
}

void setDisplayRange(ChromatogramData& d)
{
    d.method.timeStart = 0.0;
    d.method.timeEnd = d.signal.count() / 600.0;
    d.method.levelMin = d.signalMin * 0.001;
    d.method.levelMax = d.signalMax * 0.001;
}

bool validPeak(const ComparisonEntry& e)
{
    return e.selectedPeak >= 0 && e.selectedPeak < e.data.peaks.size();
}

}  // namespace

std::vector<float> shiftedSum(const std::vector<float>& a, const std::vector<float>& b, long long k)
{
    return shifted(a, b, k, [](float x, float y) { return x + y; });
}

std::vector<float> shiftedDifference(const std::vector<float>& a, const std::vector<float>& b,
                                     long long k)
{
    return shifted(a, b, k, [](float x, float y) { return x - y; });
}

ChromatogramData resultRecord(std::vector<float> samples, int pointsPerSecond)
{
    ChromatogramData d;
    d.signal.assign(std::move(samples));
    d.scanExtrema(-2000000.0f, 2000000.0f);
    d.pointsPerSecond = pointsPerSecond;
    d.evaluated = 0;
    d.hasData = true;
    setDisplayRange(d);
    return d;
}

std::vector<int> checkedEntries(const std::vector<ComparisonEntry>& entries)
{
    std::vector<int> out;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].checked)
            out.push_back(static_cast<int>(i));
    return out;
}

namespace {

std::vector<int> twoOrMoreChecked(const std::vector<ComparisonEntry>& entries)
{
    std::vector<int> idx = checkedEntries(entries);
    if (idx.size() < 2)
        throw ComparisonError("two checked chromatograms are needed, not " +
                              std::to_string(idx.size()));
    return idx;
}

}  // namespace

ChromatogramData sumOfChecked(const std::vector<ComparisonEntry>& entries, bool average)
{
    const std::vector<int> idx = twoOrMoreChecked(entries);
    const ComparisonEntry& first = entries[static_cast<size_t>(idx[0])];
    const int rate = first.data.pointsPerSecond;
    std::vector<float> r = first.data.signal.values();
    for (size_t i = 1; i < idx.size(); ++i) {
        const ComparisonEntry& e = entries[static_cast<size_t>(idx[i])];
        r = shiftedSum(r, e.data.signal.values(), shiftIndex(rate, e.timeShift - first.timeShift));
    }
    ChromatogramData d = resultRecord(std::move(r), rate);
    if (average) {
        const float n = static_cast<float>(idx.size());
        float* v = d.signal.data();
        for (int i = 0; i < d.signal.count(); ++i)
            v[i] /= n;
        d.signalMax /= n;
        d.signalMin /= n;
        setDisplayRange(d);
    }
    return d;
}

ChromatogramData differenceOfChecked(const std::vector<ComparisonEntry>& entries,
                                     const DifferenceOptions& options)
{
    const std::vector<int> idx = twoOrMoreChecked(entries);
    const ComparisonEntry& first = entries[static_cast<size_t>(idx[0])];
    const ComparisonEntry& second = entries[static_cast<size_t>(idx[1])];
    const int rate = first.data.pointsPerSecond;
    const std::vector<float>& a = first.data.signal.values();
    const std::vector<float>& b = second.data.signal.values();
    if (!options.partial) {
        return resultRecord(
            shiftedDifference(a, b, shiftIndex(rate, second.timeShift - first.timeShift)), rate);
    }
    const long long s = shiftIndex(rate, options.startTime);
    const long long e = shiftIndex(rate, options.endTime);
    const long long o = options.useOffset ? shiftIndex(rate, options.offsetTime) : s;
    if (e <= s)
        throw ComparisonError("the end of the subtraction range must lie after its start");
    const long long len = e - s;
    if (s < 0 || o < 0 || e > static_cast<long long>(a.size()) ||
        o + len > static_cast<long long>(b.size()))
        throw ComparisonError("the subtraction range reaches outside the chromatograms (" +
                              std::to_string(a.size()) + " and " + std::to_string(b.size()) +
                              " samples)");
    std::vector<float> r(static_cast<size_t>(len));
    for (size_t j = 0; j < r.size(); ++j)
        r[j] = a[static_cast<size_t>(s) + j] - b[static_cast<size_t>(o) + j];
    return resultRecord(std::move(r), rate);
}

ChromatogramData firstDerivative(const ChromatogramData& source)
{
    const std::vector<float>& x = source.signal.values();
    const int rate = source.pointsPerSecond;
    std::vector<float> r(x.size());
    for (size_t i = 0; i + 1 < x.size(); ++i)
        r[i] = static_cast<float>((static_cast<double>(x[i + 1]) - x[i]) * rate);
    if (r.size() >= 2)
        r.back() = r[r.size() - 2];
    return resultRecord(std::move(r), rate);
}

ChromatogramData inverted(const ChromatogramData& source)
{
    std::vector<float> r = source.signal.values();
    for (float& v : r)
        v = -v;
    return resultRecord(std::move(r), source.pointsPerSecond);
}

std::vector<float> movingAverage(const std::vector<float>& x, int width)
{
    std::vector<float> y = x;
    SignalSmoothing::smooth(y, width);
    return y;
}

std::optional<ChromatogramData> smoothed(const ChromatogramData& source, int width)
{
    if (width <= 1 || source.signal.count() == 0)
        return std::nullopt;
    return resultRecord(movingAverage(source.signal.values(), width), source.pointsPerSecond);
}

double baseLevel(const ChromatogramData& data)
{
    if (data.evaluated && !data.peaks.empty()) {
        double sum = 0.0;
        int ends = 0;
        for (const PeakRecord& p : data.peaks) {
            if (!(p.typeFlags & PeakFlag::StartsInValley)) {
                sum += p.startValue;
                ++ends;
            }
            if (!(p.typeFlags & PeakFlag::EndsInValley)) {
                sum += p.endValue;
                ++ends;
            }
        }
        if (ends > 0)
            return sum / ends * 0.001;
    }
    return data.signalMin * 0.001;
}

void alignBaselines(ComparisonSet& set)
{
    if (set.reference < 0 || set.reference >= static_cast<int>(set.entries.size()))
        return;
    const double target = set.entries[static_cast<size_t>(set.reference)].baseLevel;
    for (ComparisonEntry& e : set.entries)
        if (e.checked)
            e.levelShift = target - e.baseLevel;
}

void alignPeaks(ComparisonSet& set)
{
    if (set.current < 0 || set.current >= static_cast<int>(set.entries.size()))
        return;
    const ComparisonEntry& cur = set.entries[static_cast<size_t>(set.current)];
    if (!validPeak(cur))
        return;
    const double target = cur.data.peaks[cur.selectedPeak].retentionTime;
    for (ComparisonEntry& e : set.entries)
        if (e.checked && validPeak(e))
            e.timeShift = target - e.data.peaks[e.selectedPeak].retentionTime;
}

void matchWindowTo(ComparisonSet& set, int index)
{
    if (index < 0 || index >= static_cast<int>(set.entries.size()))
        return;
    set.reference = index;
    set.entries[static_cast<size_t>(index)].matched = 1;
}

void toggleShown(ComparisonSet& set)
{
    if (set.current < 0 || set.current >= static_cast<int>(set.entries.size()))
        return;
    int& shown = set.entries[static_cast<size_t>(set.current)].shown;
    shown = shown ? 0 : 1;
}

void setPeakLabels(ComparisonSet& set, int value)
{
    for (ComparisonEntry& e : set.entries)
        e.data.setPeakLabels(value);
}

ComparisonEntry loadEntry(const std::string& path)
{
    ComparisonEntry e;
    e.path = path;
    e.data = readChromatogramFile(path);
    e.baseLevel = baseLevel(e.data);
    return e;
}

std::vector<std::string> addFiles(ComparisonSet& set, const std::vector<std::string>& paths)
{
    std::vector<std::string> failed;
    for (const std::string& p : paths) {
        try {
            set.entries.push_back(loadEntry(p));
        } catch (const std::exception&) {
            failed.push_back(p);
        }
    }
    return failed;
}

int appendResult(ComparisonSet& set, const std::string& path, ChromatogramData result)
{
    writeChromatogramFile(path, result);
    ComparisonEntry e;
    e.path = path;
    e.baseLevel = baseLevel(result);
    e.data = std::move(result);
    set.entries.push_back(std::move(e));
    return static_cast<int>(set.entries.size()) - 1;
}

void removeEntry(ComparisonSet& set, int index)
{
    if (index < 0 || index >= static_cast<int>(set.entries.size()))
        return;
    set.entries.erase(set.entries.begin() + index);
    auto follow = [index](int& i) {
        if (i == index)
            i = -1;
        else if (i > index)
            --i;
    };
    follow(set.current);
    follow(set.reference);
    if (set.entries.empty())
        set.current = set.reference = -1;
}

std::string proposedResultPath(const std::string& sourcePath, const char* suffix)
{
    const auto slash = sourcePath.find_last_of('/');
    const auto dot = sourcePath.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? sourcePath.substr(0, dot) : sourcePath) + suffix;
}

}  // namespace dgaws::comparison
