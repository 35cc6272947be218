// Run, stop, cancel and start-signal detection of the channel documents, the document
// append with its baseline-levelling windows, merging and saving.
#include "RunsTestSupport.h"

#include "app/DocumentInterchange.h"
#include "chromatogram/ChromatogramFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <tuple>

using namespace dgaws;
using namespace dgaws::test;

namespace {

std::vector<float> savedSamples(const std::string& path)
{
    return readChromatogramFile(path).signal.values();
}

TEST(ChannelRuns, ARunEndsAtItsStopTimeIsSavedUnderItsProposedNameAndGrowsWithItsPoints)
{
    RunsBench b(0.5);  // 600 points at 20 per second
    b.openBoth();
    b.settings.AllStart = 0;
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    EXPECT_FALSE(b.doc(1).acquiring());
    ASSERT_EQ(b.autosaves().size(), 1u);

    std::vector<float> fed;
    for (int i = 0; i < 650; ++i) {
        fed.push_back(static_cast<float>(i) * 1.5f - 30.0f);
        b.point(0, fed.back());
    }
    fed.resize(600);
    EXPECT_FALSE(b.collector->running(0));
    const std::string expected = b.dir.path("data") + "/A_20240517093015.chg";
    ASSERT_EQ(b.saved, (std::vector<std::pair<int, std::string>>{{0, expected}}));
    EXPECT_EQ(b.doc(0).pathName, expected);
    const ChromatogramData d = readChromatogramFile(expected);
    EXPECT_EQ(d.signal.values(), fed);
    EXPECT_EQ(d.hasData, 1);
    EXPECT_EQ(d.methodName, "QL");
    EXPECT_FLOAT_EQ(d.signalMin, -30.0f);
    EXPECT_FLOAT_EQ(d.signalMax, 599 * 1.5f - 30.0f);
    // A finished and saved run leaves no safety copy behind.
    EXPECT_TRUE(b.autosaves().empty());
    EXPECT_TRUE(b.messages.empty());
    EXPECT_EQ(ChannelRuns::timeText(1.5), "采集时间：1.500分");
    EXPECT_EQ(ChannelRuns::voltageText(-2500.0f), "当前电压：-2.500mV");

    // A day's run at 20 points per second is 1.7 million points; the buffer holds what came.
    b.doc(0).data.method.integration.stopTime = 1440.0;
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    EXPECT_LE(b.doc(0).data.signal.count(), SignalBuffer::kGrowStep);
    const int n = SignalBuffer::kGrowStep + 10;
    for (int i = 0; i < n; ++i)
        b.point(0, static_cast<float>(i % 1000));
    EXPECT_EQ(b.doc(0).acquiredCount, n);
    EXPECT_LE(b.doc(0).data.signal.count(), 2 * SignalBuffer::kGrowStep);
    EXPECT_EQ(b.doc(0).data.signal.at(n - 1), static_cast<float>((n - 1) % 1000));
    b.runs->stop(b.doc(0));
    ASSERT_EQ(b.saved.size(), 2u);
    EXPECT_EQ(savedSamples(b.saved[1].second).size(), static_cast<size_t>(n));
}

TEST(ChannelRuns, RunNeedsAMethodInEveryChannelItStartsAndAllStartOpensTheOther)
{
    RunsBench b;
    b.runs->adoptChannelDocument(*b.openDoc(0), 0);
    b.doc(0).libraryMethodIndex = -1;
    EXPECT_FALSE(b.runs->run(b.doc(0)));
    EXPECT_EQ(b.messages.back(), ChannelRuns::kNoMethod);
    EXPECT_EQ(b.docs[1], nullptr);

    b.doc(0).libraryMethodIndex = 0;
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    ASSERT_NE(b.docs[1], nullptr);
    EXPECT_EQ(b.runs->channelDocument(1), b.docs[1].get());
    EXPECT_EQ(b.doc(1).channelRun(), &b.collector->run(1));
    for (int c : {0, 1}) {
        EXPECT_TRUE(b.doc(c).acquiring());
        EXPECT_TRUE(b.collector->running(c));
        EXPECT_FALSE(b.runs->canRun(b.doc(c)));
        ASSERT_TRUE(b.runs->cancel(b.doc(c)));
    }

    b.doc(1).libraryMethodIndex = 5;  // beyond the library
    EXPECT_FALSE(b.runs->run(b.doc(0)));
    EXPECT_EQ(b.messages.back(), ChannelRuns::kNoMethodB);
    EXPECT_FALSE(b.runs->run(b.doc(1)));
    EXPECT_EQ(b.messages.back(), ChannelRuns::kNoMethod);
    EXPECT_FALSE(b.doc(0).acquiring());

    // A start signal without a method is reported once per channel.
    b.messages.clear();
    b.doc(0).libraryMethodIndex = -1;
    b.doc(1).libraryMethodIndex = -1;
    for (int c : {0, 0, 1})
        b.collector->channelSample(c, 1.0f, true);
    EXPECT_EQ(
        b.messages,
        (std::vector<std::string>{ChannelRuns::kNoMethodAtStartA, ChannelRuns::kNoMethodAtStartB}));
    EXPECT_FALSE(b.doc(0).acquiring());
}

TEST(ChannelRuns, ABaselineLevellingWindowHoldsThenTakesOffTheStep)
{
    RunsBench b(0.25);
    b.settings.AllStart = 0;
    b.settings.StartA1 = "0.0625";  // points 75..225
    b.settings.StopA1 = "0.1875";
    b.settings.StartB1 = "0.05";  // another channel's window does not act on A
    b.settings.StopB1 = "0.2";
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    auto raw = [](int p) {  // 1-based position; a valve step of 500 inside the window
        return static_cast<float>(p) * 0.5f + (p >= 150 ? 500.0f : 0.0f);
    };
    for (int p = 1; p <= 300; ++p)
        b.point(0, raw(p));
    ASSERT_EQ(b.saved.size(), 1u);
    const std::vector<float> s = savedSamples(b.saved[0].second);
    ASSERT_EQ(s.size(), 300u);
    const float held = raw(75);
    const float step = raw(225) - held;
    for (int p = 1; p <= 300; ++p)
        ASSERT_EQ(s[static_cast<size_t>(p - 1)],
                  p < 75        ? raw(p)
                      : p < 225 ? held
                                : raw(p) - step)
            << "point " << p;
}

TEST(ChannelRuns, AllStopEndsAndSavesBothChannels)
{
    RunsBench b(1.0);
    b.settings.AllStop = 1;
    b.settings.StopWarning = 0;
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    for (int i = 0; i < 100; ++i) {
        b.point(0, 1.0f);
        b.point(1, 2.0f);
    }
    b.runs->stop(b.doc(1));
    EXPECT_FALSE(b.doc(0).acquiring());
    EXPECT_EQ(b.beeps, 1);
    ASSERT_EQ(b.saved.size(), 2u);
    EXPECT_EQ(savedSamples(b.saved[0].second), std::vector<float>(100, 2.0f));
    EXPECT_EQ(savedSamples(b.saved[1].second), std::vector<float>(100, 1.0f));
    EXPECT_TRUE(b.autosaves().empty());
}

class Merging : public ::testing::TestWithParam<int> {};

TEST_P(Merging, TheTwoChannelsJoinWithoutAStep)
{
    RunsBench b(1.0);
    b.settings.Merge = 1;
    b.settings.MergeAB = GetParam();
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    std::vector<float> a, bb;
    for (int i = 0; i < 80; ++i) {
        if (i < 50) {
            a.push_back(100.0f + i);
            b.point(0, a.back());
        }
        bb.push_back(-20.0f + 2.0f * i);
        b.point(1, bb.back());
    }
    b.runs->stop(b.doc(0));  // B still running: no merge yet
    EXPECT_EQ(b.doc(0).data.signal.count(), 50);
    b.runs->stop(b.doc(1));
    // One save per run and channel, in the order the runs ended.
    ASSERT_EQ(b.saved.size(), 2u);
    EXPECT_EQ(b.saved[0].first, 0);
    EXPECT_EQ(b.saved[1].first, 1);

    const std::vector<float>& first = GetParam() == 0 ? a : bb;
    const std::vector<float>& added = GetParam() == 0 ? bb : a;
    std::vector<float> joined = first;
    for (size_t i = 1; i < added.size(); ++i)
        joined.push_back(added[i] + (first.back() - added.front()));
    CChrEDoc& keep = b.doc(GetParam());
    EXPECT_FLOAT_EQ(keep.data.method.timeEnd, keep.data.duration());
    // The joined chromatogram is what that channel's file holds now; the other is its own.
    EXPECT_EQ(savedSamples(keep.pathName), joined);
    EXPECT_EQ(savedSamples(b.doc(1 - GetParam()).pathName), added);
}

INSTANTIATE_TEST_SUITE_P(BIntoAAndAIntoB, Merging, ::testing::Values(0, 1));

// Feeds channel `c` until its 60-point run ends, recording the samples.
void runToItsEnd(RunsBench& b, int c, float base, std::vector<float>& fed)
{
    for (int i = 0; b.doc(c).acquiring() && !b.doc(c).watchingStart(); ++i) {
        fed.push_back(base + static_cast<float>(i));
        b.point(c, fed.back());
    }
}

// Runs that were not one injection are never joined: whatever the other channel's document
// still holds (a cancelled run, an earlier run, a cancelled watch), each file is exactly the
// samples of its own run. A merge once joined a cancelled B run into A's.
TEST(ChannelRuns, LoneRunsAreSavedAloneWithExactlyTheirOwnSamples)
{
    using Fed = std::array<std::vector<float>, 2>;
    const std::vector<std::tuple<const char*, int, std::function<void(RunsBench&, Fed&)>>> plays = {
        {"B cancelled, A finishes", 1,
         [](RunsBench& b, Fed& fed) {
             ASSERT_TRUE(b.runs->run(b.doc(0)));
             for (int i = 0; i < 30; ++i) {
                 fed[0].push_back(10.0f + i);
                 b.point(0, fed[0].back());
                 b.point(1, -500.0f);
             }
             ASSERT_TRUE(b.runs->cancel(b.doc(1)));
             runToItsEnd(b, 0, 40.0f, fed[0]);
             ASSERT_EQ(b.saved.size(), 1u);
         }},
        {"A alone, then B alone twice", 0,
         [](RunsBench& b, Fed& fed) {
             ASSERT_TRUE(b.runs->run(b.doc(0)));
             runToItsEnd(b, 0, 100.0f, fed[0]);
             ASSERT_TRUE(b.runs->run(b.doc(1)));
             runToItsEnd(b, 1, -300.0f, fed[1]);
             ASSERT_EQ(b.saved.size(), 2u);
             EXPECT_EQ(savedSamples(b.saved[1].second), fed[1]);
             fed[1].clear();
             ASSERT_TRUE(b.runs->run(b.doc(1)));
             runToItsEnd(b, 1, 700.0f, fed[1]);
             ASSERT_EQ(b.saved.size(), 3u);
         }},
        {"a cancelled watch of A, then B alone", 0,
         [](RunsBench& b, Fed& fed) {
             ASSERT_TRUE(b.runs->watchStart(b.doc(0)));
             for (int i = 0; i < 25; ++i)
                 b.point(0, 1000.0f);
             ASSERT_TRUE(b.runs->cancel(b.doc(0)));
             ASSERT_TRUE(b.runs->run(b.doc(1)));
             runToItsEnd(b, 1, 5.0f, fed[1]);
             ASSERT_EQ(b.saved.size(), 1u);
         }},
        {"A ends, B records nothing", 1,
         [](RunsBench& b, Fed& fed) {
             ASSERT_TRUE(b.runs->run(b.doc(0)));
             runToItsEnd(b, 0, 50.0f, fed[0]);
             b.runs->stop(b.doc(1));
         }},
    };
    for (const auto& [name, allStart, play] : plays)
        for (int mergeAB : {0, 1}) {
            SCOPED_TRACE(std::string(name) + (mergeAB ? ", A into B" : ", B into A"));
            RunsBench b(0.05);  // 60 points
            b.settings.Merge = 1;
            b.settings.MergeAB = mergeAB;
            b.settings.AllStart = allStart;
            b.openBoth();
            Fed fed;
            play(b, fed);
            ASSERT_FALSE(b.saved.empty());
            // Each channel's last file holds its last run, and its document nothing else.
            std::map<int, std::string> last;
            for (const auto& [channel, path] : b.saved)
                last[channel] = path;
            for (const auto& [channel, path] : last)
                EXPECT_TRUE(fed.at(static_cast<size_t>(channel)).empty() ||
                            savedSamples(path) == fed.at(static_cast<size_t>(channel)))
                    << channel;
            for (size_t c = 0; c < 2; ++c)
                EXPECT_TRUE(fed[c].empty() ||
                            b.doc(static_cast<int>(c)).data.signal.values() == fed[c])
                    << c;
        }
}

// Nothing writes or replaces a chromatogram that is still being recorded: the run's file
// would hold half a run, and a merge would join into a signal that is still growing.
TEST(ChannelRuns, SavingAndMergingARunInProgressAreRefusedAndTheRunGoesOn)
{
    RunsBench b(0.05);  // 60 points
    b.settings.AllStart = 0;
    b.openBoth();
    std::vector<std::string> shown;
    b.doc(0).setMessageSink([&](const std::string& m) { shown.push_back(m); });
    writeChromatogramFile(b.dir.path("other.chg"), [] {
        ChromatogramData d;
        d.pointsPerSecond = 20;
        d.signal.assign(std::vector<float>(40, 9.0f));
        d.hasData = 1;
        return d;
    }());
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    std::vector<float> fed;
    for (int i = 0; i < 30; ++i) {
        fed.push_back(static_cast<float>(i));
        b.point(0, fed.back());
    }
    const std::string early = b.dir.path("early.chg");
    ProposalEnvironment env;
    env.now = [] { return test::civilTime(2024, 5, 17, 9, 30, 15); };
    env.workDirectory = [&] { return b.dir.path("data"); };
    const std::vector<Result<void>> refused = {
        b.doc(0).saveToFile(early),
        b.doc(0).save(env),
        document_interchange::mergeWith(b.doc(0), b.dir.path("other.chg"), true),
    };
    for (const auto& r : refused)
        EXPECT_EQ(r.error(), CChrEDoc::kBinaryAcquiring);
    EXPECT_EQ(shown, std::vector<std::string>(refused.size(), CChrEDoc::kBinaryAcquiring));
    EXPECT_FALSE(std::filesystem::exists(early));
    EXPECT_EQ(b.doc(0).acquiredCount, 30);
    EXPECT_EQ(b.doc(0).pathName, "");

    for (int i = 30; b.doc(0).acquiring(); ++i) {
        fed.push_back(static_cast<float>(i));
        b.point(0, fed.back());
    }
    ASSERT_EQ(b.saved.size(), 1u);
    EXPECT_EQ(savedSamples(b.saved[0].second), fed);
}

// A cancel asks and then keeps nothing; a run whose save dialog is cancelled keeps its
// safety copy, and one saved where the dialog says loses it.
TEST(ChannelRuns, CancelKeepsNothingAndACancelledSaveDialogKeepsTheSafetyCopy)
{
    RunsBench b(0.05);  // 60 points
    b.settings.AllStart = 0;
    b.openBoth();
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    for (int i = 0; i < 30; ++i)
        b.point(0, 3.0f);
    b.answer = false;
    EXPECT_FALSE(b.runs->cancel(b.doc(0)));
    EXPECT_EQ(b.questions, (std::vector<std::string>{ChannelRuns::kCancelQuestion}));
    EXPECT_TRUE(b.doc(0).acquiring());
    b.answer = true;
    EXPECT_TRUE(b.runs->cancel(b.doc(0)));
    EXPECT_FALSE(b.collector->running(0));
    b.point(0, 3.0f);
    EXPECT_EQ(b.doc(0).acquiredCount, 30);
    EXPECT_TRUE(b.saved.empty());
    EXPECT_TRUE(b.autosaves().empty());

    b.settings.DirectSave = 0;
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    for (int i = 0; i < 60; ++i)
        b.point(0, static_cast<float>(i));
    EXPECT_EQ(b.proposedPaths,
              std::vector<std::string>{b.dir.path("data") + "/A_20240517093015.chg"});
    EXPECT_EQ(b.doc(0).pathName, "");
    const auto copies = b.autosaves();
    ASSERT_EQ(copies.size(), 1u);
    const ChromatogramData recovered = recoverAutosave(copies[0]);
    EXPECT_EQ(recovered.signal.count(), 60);
    EXPECT_EQ(recovered.signal.at(59), 59.0f);

    b.dialogChoice = b.dir.path("elsewhere/mine.chg");
    ASSERT_TRUE(b.runs->run(b.doc(0)));
    for (int i = 0; i < 60; ++i)
        b.point(0, 1.0f);
    EXPECT_EQ(savedSamples(*b.dialogChoice), std::vector<float>(60, 1.0f));
    EXPECT_EQ(b.autosaves(), copies) << "only the unsaved run's copy remains";
}

// A standard's run enters its curve once it is saved; a run saved over the file of an
// earlier one takes that one's place.
TEST(ChannelRuns, EachStandardRunEntersItsCurveOnce)
{
    RunsBench b(0.5);  // 600 points
    b.settings.AllStart = 0;
    b.settings.DirectSave = 0;
    b.openBoth();
    ComponentEntry gas;
    gas.name = "H2";
    gas.retentionTime = 0.25;
    gas.timeWindow = 0.1;
    gas.concentrations = {100.0};
    b.library.entryAt(0)->curves[0].components = {gas};
    CChrEDoc& a = b.doc(0);
    a.libraryCalibrationIndex = 0;
    a.data.sampleType = 1;
    a.data.standardLevel = 0;
    b.dialogChoice = b.dir.path("s1.chg");
    std::vector<double> areas;
    for (double height : {1000.0, 2000.0}) {  // one Gaussian peak at 0.25 minutes
        ASSERT_TRUE(b.runs->run(a));
        for (int i = 0; i < 600; ++i) {
            const double x = (i - 300) / 20.0;
            b.point(0, static_cast<float>(40.0 + height * std::exp(-0.5 * x * x)));
        }
        const auto& runs = b.library.at(0).curves[0].levels.at(0).runs;
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].path, *b.dialogChoice);
        areas.push_back(runs[0].responses.at(0).area);
    }
    EXPECT_GT(areas[0], 0.0);
    EXPECT_NEAR(areas[1], 2.0 * areas[0], 0.05 * areas[0]);
    // What the curve holds is in the method file too.
    MethodLibrary reread;
    reread.loadLibrary(b.dir.path("methods"));
    EXPECT_EQ(reread.at(0).curves[0], b.library.at(0).curves[0]);
}

// Stands in for the peak engine's start-signal detector: reports a rise once the watched
// signal leaves the value it started from.
class RiseDetector : public LiveDetection {
public:
    int rejected = 0;
    int runsBegun = 0;
    std::optional<float> base;

    void beginRun(CChrEDoc&) override { ++runsBegun; }
    void feed(CChrEDoc&, float) override {}
    void finishRun(CChrEDoc&) override {}
    void redetect(CChrEDoc&) override {}
    void evaluate(CChrEDoc&) override {}
    void beginStartWatch(CChrEDoc&) override { base.reset(); }
    std::optional<StartRise> feedStartWatch(CChrEDoc&, float v) override
    {
        if (!base)
            base = v;
        return v != *base ? std::optional<StartRise>(StartRise{*base, v}) : std::nullopt;
    }
    void rejectRise(CChrEDoc&) override
    {
        ++rejected;
        base.reset();
    }
};

TEST(ChannelRuns, StartSignalDetectionStartsARunOnARiseAboveTheHeight)
{
    RunsBench b(5.0);
    b.settings.AllStart = 0;
    b.settings.AutoStartHeight = "0.2";  // 200 uV
    RiseDetector detector;
    b.runs->setDetection(&detector);
    b.openBoth();
    b.doc(0).data.method.integration.stopTime = 0.001;  // room for 1 point: the watch grows it
    ASSERT_TRUE(b.runs->watchStart(b.doc(0)));
    EXPECT_FALSE(b.runs->canWatchStart(b.doc(0)));
    EXPECT_TRUE(b.autosaves().empty());  // watching is not a run yet
    for (int i = 0; i < 40; ++i)
        b.point(0, 1000.0f);
    EXPECT_EQ(b.doc(0).acquiredCount, 40);  // the stop time does not end a watch
    b.point(0, 1150.0f);                    // 150 uV: too small
    EXPECT_EQ(detector.rejected, 1);
    EXPECT_TRUE(b.doc(0).watchingStart());
    b.point(0, 1000.0f);
    b.point(0, 1200.0f);  // exactly the height: the run starts at once, without a question
    EXPECT_FALSE(b.doc(0).watchingStart());
    EXPECT_TRUE(b.doc(0).acquiring());
    EXPECT_EQ(b.doc(0).acquiredCount, 0);
    EXPECT_EQ(detector.runsBegun, 1);
    EXPECT_TRUE(b.questions.empty());
    EXPECT_EQ(b.autosaves().size(), 1u);

    // Cancelling or stopping a watch asks nothing and saves nothing.
    b.runs->cancel(b.doc(0));
    ASSERT_TRUE(b.runs->watchStart(b.doc(0)));
    b.answer = false;
    EXPECT_TRUE(b.runs->cancel(b.doc(0)));
    ASSERT_TRUE(b.runs->watchStart(b.doc(0)));
    b.point(0, 1000.0f);
    b.runs->stop(b.doc(0));
    EXPECT_FALSE(b.doc(0).acquiring());
    EXPECT_EQ(b.questions.size(), 1u);  // the earlier run's cancel only
    EXPECT_TRUE(b.saved.empty());
}

TEST(ChannelRuns, TheEnginesStartDetectorEndsAWatchOnADipAndRise)
{
    RunsBench b(5.0);
    b.settings.AllStart = 0;
    b.openBoth();
    ASSERT_TRUE(b.runs->watchStart(b.doc(0)));  // the documents' own engines
    std::vector<float> watch(60, 1000.0f);
    for (int i = 1; i <= 20; ++i)
        watch.push_back(1000.0f - 50.0f * i);  // the injection's dip
    watch.insert(watch.end(), 15, 0.0f);
    for (int i = 1; i <= 40; ++i)
        watch.push_back(50.0f * i);  // back up, well past where it started
    watch.insert(watch.end(), 60, 2000.0f);
    size_t fed = 0;
    while (fed < watch.size() && b.doc(0).watchingStart())
        b.point(0, watch[fed++]);
    EXPECT_FALSE(b.doc(0).watchingStart()) << "no start after " << fed << " points";
    EXPECT_TRUE(b.doc(0).acquiring());
    EXPECT_EQ(b.doc(0).acquiredCount, 0);
}

}  // namespace
