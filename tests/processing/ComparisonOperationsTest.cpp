#include "processing/ComparisonOperations.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include "chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace dgaws;
using namespace dgaws::comparison;

namespace {

using Samples = std::vector<float>;

ComparisonEntry entry(Samples samples, double timeShift = 0.0, int checked = 1, int rate = 10)
{
    ComparisonEntry e;
    e.data.signal.assign(std::move(samples));
    e.data.pointsPerSecond = rate;
    e.data.hasData = 1;
    e.data.scanExtrema(-2000000.0f, 2000000.0f);
    e.timeShift = timeShift;
    e.checked = checked;
    return e;
}

// One sample at 10 points per second is 1/600 minute.
constexpr double kSample = 1.0 / 600.0;

// Shifts a hair beyond whole samples, so truncation lands on the sample meant (the hair
// cancels in the difference of two such shifts, so the first entries keep a shift of 0).
double samples(int n)
{
    return (n + (n >= 0 ? 0.01 : -0.01)) * kSample;
}

}  // namespace

TEST(ShiftedCombination, FirstSampleStandsInForMissingPartners)
{
    EXPECT_EQ(shiftedDifference({1, 2, 3, 4}, {10, 20, 30}, 0), (Samples{-9, -18, -27}));
    EXPECT_TRUE(shiftedSum({}, {1, 2}, 0).empty());
    EXPECT_TRUE(shiftedSum({1, 2}, {}, 3).empty());
    const Samples a{1, 2, 3, 4, 5};
    const Samples b{10, 20, 30, 40, 50};
    // b moved right by 2: its first sample stands in before it begins.
    EXPECT_EQ(shiftedSum(a, b, 2), (Samples{11, 12, 13, 24, 35}));
    EXPECT_EQ(shiftedDifference(a, b, 2), (Samples{-9, -8, -7, -16, -25}));
    // b moved left by 2: a's first sample stands in for the samples before a begins.
    EXPECT_EQ(shiftedSum(a, b, -2), (Samples{11, 21, 31, 42, 53}));
    EXPECT_EQ(shiftedDifference(a, b, -2), (Samples{-9, -19, -29, -38, -47}));
    // Shifts beyond the length leave only stand-ins, whatever their size.
    EXPECT_EQ(shiftedSum(a, b, 9), (Samples{11, 12, 13, 14, 15}));
    EXPECT_EQ(shiftedSum(a, b, -9), (Samples{11, 21, 31, 41, 51}));
    EXPECT_EQ(shiftedSum(a, b, -2147483648LL), (Samples{11, 21, 31, 41, 51}));
    EXPECT_EQ(shiftedSum(a, b, 2147483647LL), (Samples{11, 12, 13, 14, 15}));
}

TEST(SumAndAverage, OnlyCheckedEntriesOverTheShortestAndTheAverageDividesTheExtremaToo)
{
    std::vector<ComparisonEntry> list{entry({3, 6, 9}), entry({0, 0, 3}),
                                      entry({6, 3, 3, 7}, 0.0, 1, 20)};
    const auto r = sumOfChecked(list, true);
    EXPECT_EQ(r.signal.values(), (Samples{3, 3, 5}));  // over the shorter length
    EXPECT_EQ(r.pointsPerSecond, 10);                  // the first source's
    EXPECT_EQ(r.signalMax, 5.0f);
    EXPECT_EQ(r.signalMin, 3.0f);

    list = {entry({100, 100}, 0.0, 0), entry({1, 2}), entry({100, 100}, 0.0, 0), entry({3, 4}),
            entry({5, 6})};
    EXPECT_EQ(sumOfChecked(list, false).signal.values(), (Samples{9, 12}));
    EXPECT_EQ(sumOfChecked(list, true).signal.values(), (Samples{3, 4}));
    list[3].checked = 0;
    list[4].checked = 0;
    EXPECT_THROW(sumOfChecked(list, false), ComparisonError);  // the command does nothing
    EXPECT_THROW(sumOfChecked({}, true), ComparisonError);
}

TEST(SumAndAverage, EntriesArePlacedRelativeToTheFirst)
{
    const Samples a{1, 2, 3, 4, 5, 6}, b{10, 20, 30, 40, 50, 60}, c{100, 200, 300, 400, 500, 600};
    // Second shifted one sample, third two samples, to the right of the first.
    std::vector<ComparisonEntry> list{entry(a), entry(b, samples(1)), entry(c, samples(2))};
    const auto r = sumOfChecked(list, false);
    EXPECT_EQ(r.signal.values(), (Samples{111, 112, 123, 234, 345, 456}));
    // Moving the whole overlay changes nothing.
    for (auto& e : list)
        e.timeShift += 0.5;
    EXPECT_EQ(sumOfChecked(list, false).signal.values(), r.signal.values());
    // A negative shift moves the entry left.
    std::vector<ComparisonEntry> left{entry(a), entry(b, samples(-1))};
    EXPECT_EQ(sumOfChecked(left, false).signal.values(), (Samples{11, 21, 32, 43, 54, 65}));
    EXPECT_EQ(differenceOfChecked(list, {}).signal.values(), (Samples{-9, -8, -17, -26, -35, -44}))
        << "the first two, the second one sample to the right";
    list[1].checked = list[2].checked = 0;
    EXPECT_THROW(differenceOfChecked(list, {}), ComparisonError) << "only one left";
}

TEST(Difference, PartialRangeWithAndWithoutTheRetentionOffset)
{
    Samples a(20), b(20);
    for (int i = 0; i < 20; ++i) {
        a[i] = 100.0f + i;
        b[i] = static_cast<float>(i * i);
    }
    std::vector<ComparisonEntry> list{entry(a), entry(b)};
    DifferenceOptions o;
    o.partial = true;
    o.startTime = samples(4);
    o.endTime = samples(7);
    auto r = differenceOfChecked(list, o);
    // Without the offset both ranges begin at the start time.
    EXPECT_EQ(r.signal.values(), (Samples{104 - 16, 105 - 25, 106 - 36}));
    o.useOffset = true;
    o.offsetTime = samples(10);
    r = differenceOfChecked(list, o);
    EXPECT_EQ(r.signal.values(), (Samples{104 - 100, 105 - 121, 106 - 144}));
    EXPECT_EQ(r.method.timeEnd, 3.0 / 600.0);
}

TEST(Difference, PartialRangesOutsideTheChromatogramsAreRefused)
{
    std::vector<ComparisonEntry> list{entry(Samples(20, 1.0f)), entry(Samples(10, 1.0f))};
    DifferenceOptions o;
    o.partial = true;
    auto refused = [&](double start, double end, std::optional<double> offset) {
        o.startTime = start;
        o.endTime = end;
        o.useOffset = offset.has_value();
        o.offsetTime = offset.value_or(0.0);
        EXPECT_THROW(differenceOfChecked(list, o), ComparisonError)
            << start << " " << end << " " << o.offsetTime;
    };
    refused(samples(5), samples(5), std::nullopt);   // empty
    refused(samples(6), samples(5), std::nullopt);   // backwards
    refused(samples(5), samples(21), std::nullopt);  // past the first
    refused(samples(5), samples(12), std::nullopt);  // past the second
    refused(samples(0), samples(5), samples(7));     // offset range past the second
    refused(-samples(2), samples(5), std::nullopt);  // before the start
    refused(samples(0), samples(5), -samples(1));
    o.startTime = samples(5);
    o.endTime = samples(10);
    o.useOffset = false;
    EXPECT_EQ(differenceOfChecked(list, o).signal.count(), 5);  // exactly to the end fits
}

// Each result carries its source's rate and extremes of its own; applied twice, inversion
// gives back the samples.
TEST(SingleChromatogram, DerivativeInversionAndSmoothing)
{
    const auto derivative = [](const ChromatogramData& d) { return firstDerivative(d); };
    const auto inversion = [](const ChromatogramData& d) { return inverted(inverted(d)); };
    const auto byThree = [](const ChromatogramData& d) { return *smoothed(d, 3); };
    const struct {
        std::function<ChromatogramData(const ChromatogramData&)> operation;
        Samples in, out;
        int rate;
        float max, min;
    } cases[] = {
        {derivative, {4, 4, 4, 4}, {0, 0, 0, 0}, 10, 0, 0},
        {derivative, {0, 1, 3, 6}, {20, 40, 60, 60}, 20, 60, 20},  // the last repeats
        {derivative, {7}, {0}, 10, 0, 0},
        {inverted, {1.5f, -2.0f, 0.0f, 1e6f}, {-1.5f, 2.0f, -0.0f, -1e6f}, 10, 2.0f, -1e6f},
        {inversion, {1.5f, -2.0f, 0.0f, 1e6f}, {1.5f, -2.0f, 0.0f, 1e6f}, 20, 1e6f, -2.0f},
        {byThree, {3, 6, 9, 12, 15}, {3, 6, 6, 9, 12}, 50, 12, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.size() << " samples at " << c.rate);
        const ChromatogramData r = c.operation(entry(c.in, 0.0, 1, c.rate).data);
        EXPECT_EQ(r.signal.values(), c.out);
        EXPECT_EQ(r.pointsPerSecond, c.rate);
        EXPECT_EQ(r.signalMax, c.max);
        EXPECT_EQ(r.signalMin, c.min);
    }
    EXPECT_EQ(firstDerivative(entry({}).data).signal.count(), 0);
    EXPECT_FALSE(smoothed(entry({3, 6, 9}).data, 1)) << "a width that does nothing gives none";
    EXPECT_FALSE(smoothed(entry({}).data, 4));
}

TEST(BaseLevel, MinimumOrTheBaselineEndsOfTheEvaluatedPeaks)
{
    ChromatogramData d = entry({-500, 100, 2000}).data;
    EXPECT_DOUBLE_EQ(baseLevel(d), -0.5);
    PeakRecord p;
    p.startValue = 100.0f;
    p.endValue = 300.0f;
    p.typeFlags = PeakFlag::EndsInValley;  // its end is in a valley: only the start counts
    d.peaks.append(p);
    p.startValue = 900.0f;  // begins in the valley: only its end counts
    p.endValue = 500.0f;
    p.typeFlags = PeakFlag::StartsInValley;
    d.peaks.append(p);
    EXPECT_DOUBLE_EQ(baseLevel(d), -0.5);  // not evaluated yet
    d.evaluated = 1;
    EXPECT_DOUBLE_EQ(baseLevel(d), 0.3);  // (100 + 500) / 2 in mV
    for (auto& q : d.peaks)
        q.typeFlags = PeakFlag::StartsInValley | PeakFlag::EndsInValley;
    EXPECT_DOUBLE_EQ(baseLevel(d), -0.5);  // no end on the baseline
}

TEST(Alignment, BaselinesFollowTheReference)
{
    ComparisonSet set;
    set.entries = {entry({1}), entry({1}), entry({1}, 0.0, 0)};
    set.entries[0].baseLevel = 2.0;
    set.entries[1].baseLevel = -1.5;
    set.entries[2].baseLevel = 7.0;
    set.entries[2].levelShift = 9.0;
    alignBaselines(set);  // no reference chosen: no effect
    EXPECT_EQ(set.entries[0].levelShift, 0.0);
    EXPECT_EQ(set.entries[1].levelShift, 0.0);

    matchWindowTo(set, 1);
    EXPECT_EQ(set.reference, 1);
    EXPECT_EQ(set.entries[1].matched, 1);
    alignBaselines(set);
    EXPECT_DOUBLE_EQ(set.entries[0].levelShift, -3.5);
    EXPECT_DOUBLE_EQ(set.entries[1].levelShift, 0.0);
    EXPECT_DOUBLE_EQ(set.entries[2].levelShift, 9.0);  // not checked
    matchWindowTo(set, 7);
    EXPECT_EQ(set.reference, 1);
}

TEST(Alignment, PeaksMoveOntoTheCurrentEntrysSelectedPeak)
{
    auto withPeak = [](double rt, int selected, int checked) {
        ComparisonEntry e = entry({1, 2, 3}, 0.5, checked);
        PeakRecord p;
        p.retentionTime = rt;
        e.data.peaks.append(p);
        e.selectedPeak = selected;
        return e;
    };
    ComparisonSet set;
    set.entries = {withPeak(2.0, 0, 1), withPeak(2.3, 0, 1), withPeak(1.0, -1, 1),
                   withPeak(1.0, 5, 1), withPeak(4.0, 0, 0)};
    set.current = 2;  // no selected peak: nothing moves
    alignPeaks(set);
    for (const auto& e : set.entries)
        EXPECT_EQ(e.timeShift, 0.5);
    set.current = 0;
    alignPeaks(set);
    EXPECT_DOUBLE_EQ(set.entries[0].timeShift, 0.0);
    EXPECT_DOUBLE_EQ(set.entries[1].timeShift, -0.3);
    EXPECT_EQ(set.entries[2].timeShift, 0.5);  // no selected peak
    EXPECT_EQ(set.entries[3].timeShift, 0.5);  // selection outside its table
    EXPECT_EQ(set.entries[4].timeShift, 0.5);  // not checked
}

TEST(ComparisonList, ResultsAreStoredAsNewChromatogramsAndAppended)
{
    test::TempDir dir;
    ComparisonEntry source = entry({2, 4, 8, 16});
    writeChromatogramFile(dir.path("run.chg"), source.data);

    ComparisonSet set;
    const auto failed = addFiles(set, {dir.path("run.chg"), dir.path("missing.chg")});
    EXPECT_EQ(failed, std::vector<std::string>{dir.path("missing.chg")});
    ASSERT_EQ(set.entries.size(), 1u);
    EXPECT_EQ(set.entries[0].path, dir.path("run.chg"));
    EXPECT_EQ(set.entries[0].shown, 1);
    EXPECT_EQ(set.entries[0].checked, 0);
    EXPECT_DOUBLE_EQ(set.entries[0].baseLevel, 0.002);

    const std::string out = proposedResultPath(set.entries[0].path, kDerivativeSuffix);
    EXPECT_EQ(out, dir.path("run(导数).chg"));
    const int at = appendResult(set, out, firstDerivative(set.entries[0].data));
    EXPECT_EQ(at, 1);
    const ChromatogramData stored = readChromatogramFile(out);
    EXPECT_EQ(stored.signal.values(), (Samples{20, 40, 80, 80}));
    EXPECT_EQ(stored.hasData, 1);
    EXPECT_EQ(stored.evaluated, 0);
    EXPECT_DOUBLE_EQ(set.entries[1].baseLevel, 0.02);
    EXPECT_EQ(set.entries[1].data.signal, stored.signal);
    // The source file is untouched.
    EXPECT_EQ(readChromatogramFile(dir.path("run.chg")).signal.values(), (Samples{2, 4, 8, 16}));

    // A result that cannot be stored is not appended.
    EXPECT_THROW(appendResult(set, dir.path("none/x.chg"), inverted(stored)), FileError);
    EXPECT_EQ(set.entries.size(), 2u);
}

TEST(ComparisonList, ProposedNamesAndRemoval)
{
    EXPECT_EQ(proposedResultPath("/d/a.b/run.chg", kInversionSuffix), "/d/a.b/run(翻转).chg");
    EXPECT_EQ(proposedResultPath("/d/a.b/run", kInversionSuffix), "/d/a.b/run(翻转).chg");
    EXPECT_EQ(proposedResultPath("run.x.chg", kDerivativeSuffix), "run.x(导数).chg");

    ComparisonSet set;
    set.entries = {entry({1}), entry({2}), entry({3}), entry({4})};
    set.current = 3;
    set.reference = 1;
    removeEntry(set, 2);
    EXPECT_EQ(set.current, 2);  // follows its entry
    EXPECT_EQ(set.reference, 1);
    removeEntry(set, 1);
    EXPECT_EQ(set.reference, -1);  // its entry went
    EXPECT_EQ(set.current, 1);
    removeEntry(set, 9);
    EXPECT_EQ(set.entries.size(), 2u);
    removeEntry(set, 0);
    removeEntry(set, 0);
    EXPECT_TRUE(set.entries.empty());
    EXPECT_EQ(set.current, -1);
    EXPECT_EQ(set.reference, -1);
}
