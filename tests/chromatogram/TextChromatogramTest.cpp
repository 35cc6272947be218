#include "chromatogram/TextChromatogram.h"
#include "chromatogram/ChromatogramMerge.h"
#include "chromatogram/FileIO.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace dgaws;
using namespace dgaws::test;

namespace {

ChromatogramData textRecord(std::vector<float> samples, int rate = 10)
{
    ChromatogramData d;
    d.signal.assign(std::move(samples));
    d.pointsPerSecond = rate;
    d.hasData = 1;
    return d;
}

ChromatogramData parseText(std::string_view text, TextLayout layout, int currentRate = 20)
{
    return parseTextChromatogram(text, layout, currentRate);
}

}  // namespace

TEST(TextFormats, BytesOfTheThreeLayouts)
{
    // The comma-separated layout writes its tab after each line feed, so the text ends in one.
    const std::pair<TextLayout, const char*> cases[] = {
        {TextLayout::Plain, "1.500000 2.000000 -3.000000 "},
        {TextLayout::Standard, "0.0000000 1.500000\n0.0016667 2.000000\n0.0033333 -3.000000\n"},
        {TextLayout::CommaSeparated,
         "0.000000,1.500000\n\t0.001667,2.000000\n\t0.003333,-3.000000\n\t"},
    };
    for (const auto& [layout, bytes] : cases)
        EXPECT_EQ(formatTextChromatogram(textRecord({1.5f, 2.0f, -3.0f}, 10), layout), bytes);
    EXPECT_EQ(formatTextChromatogram(textRecord({123456.0f, 1e-7f}), TextLayout::Plain),
              "123456.000000 0.000000 ");
}

// A GUI process runs in the user's locale, where printf writes decimal commas. When the
// machine has no such locale installed, one is compiled into the test's folder.
TEST(TextFormats, NumbersDoNotFollowTheProcessLocale)
{
    TempDir dir;
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    auto tryLocale = [] { return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr; };
    bool switched = tryLocale();
    if (!switched && std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + dir.path("de_DE.UTF-8") + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            ::setenv("LOCPATH", dir.root().c_str(), 1);
            switched = tryLocale();
        }
    }
    char printed[32] = "";
    std::snprintf(printed, sizeof printed, "%f", 1.5);
    const std::string text =
        formatTextChromatogram(textRecord({1.5f, 2.0f}, 10), TextLayout::CommaSeparated);
    const ChromatogramData back = parseText("0.5 1.25\n0.6 2.5\n", TextLayout::Standard);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ::unsetenv("LOCPATH");
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma can be had on this machine";
    ASSERT_STREQ(printed, "1,500000");  // the premise: printf would write a comma here
    EXPECT_EQ(text, "0.000000,1.500000\n\t0.001667,2.000000\n\t");
    EXPECT_EQ(back.signal.values(), (std::vector<float>{1.25f, 2.5f}));
}

TEST(TextFiles, EveryLayoutRoundTripsItsSamplesAndRate)
{
    TempDir dir;
    std::vector<float> samples;
    for (int i = 0; i < 500; ++i)
        samples.push_back(static_cast<float>(std::round(1e4 * std::sin(i / 9.0)) / 8.0));
    for (int rate : {10, 20, 50}) {
        const ChromatogramData d = textRecord(samples, rate);
        for (TextLayout layout :
             {TextLayout::Plain, TextLayout::Standard, TextLayout::CommaSeparated}) {
            SCOPED_TRACE(testing::Message() << "rate " << rate << " layout " << int(layout));
            const std::string path = dir.path("t.txt");
            saveText(d, path, layout);
            EXPECT_EQ(readWholeFile(path), formatTextChromatogram(d, layout));
            const ChromatogramData back = loadText(path, layout, 7);
            EXPECT_EQ(back.signal.values(), samples);
            // The plain layout carries no times: it keeps the current rate.
            EXPECT_EQ(back.pointsPerSecond, layout == TextLayout::Plain ? 7 : rate);
            EXPECT_EQ(back.signalMin, *std::min_element(samples.begin(), samples.end()));
            EXPECT_DOUBLE_EQ(back.method.timeEnd, back.duration());
        }
    }
}

TEST(TextReading, ReadingStopsAtTheFirstTextThatIsNotANumber)
{
    for (TextLayout layout : {TextLayout::Plain, TextLayout::Standard, TextLayout::CommaSeparated})
        for (std::string_view blank : {"", " \n\t\r\n ", "\n\n"})
            EXPECT_EQ(parseText(blank, layout).hasData, 0);
    EXPECT_EQ(parseText("1 2.5 -3e2 abc 4 5", TextLayout::Plain).signal.values(),
              (std::vector<float>{1.0f, 2.5f, -300.0f}));
    // As "%lf" reads: "7x" gives 7 and then stops at "x"; "1.5.25" is 1.5 and .25.
    EXPECT_EQ(parseText("7x 8", TextLayout::Plain).signal.values(), std::vector<float>{7.0f});
    EXPECT_EQ(parseText("1.5.25", TextLayout::Plain).signal.values(),
              (std::vector<float>{1.5f, 0.25f}));
    EXPECT_EQ(parseText(".5 +4 -.5 5.", TextLayout::Plain).signal.values(),
              (std::vector<float>{0.5f, 4.0f, -0.5f, 5.0f}));
    // Values that no sample can hold end the reading like any other non-number.
    for (const char* text : {"1 nan 2", "1 inf 2", "1 1e39 2", "1 1e999 2", "1 - 2"})
        EXPECT_EQ(parseText(text, TextLayout::Plain).signal.count(), 1) << text;
    EXPECT_EQ(parseText(std::string_view("1 2\0 3", 6), TextLayout::Plain).signal.count(), 2);

    // Pairs: a pair missing its value, or a header line, ends the reading.
    EXPECT_EQ(parseText("0 1\n0.1 2\n0.2\n", TextLayout::Standard).signal.values(),
              (std::vector<float>{1.0f, 2.0f}));
    EXPECT_EQ(parseText("time value\n0 1\n", TextLayout::Standard).signal.count(), 0);
    EXPECT_EQ(parseText("0,1\n\t0.1,2\n\t0.2;3\n\t", TextLayout::CommaSeparated).signal.count(), 2);
    // "%lf,%lf": the comma follows the time directly; white space after it is allowed, and
    // line ends of other systems are white space too.
    EXPECT_EQ(parseText("0, 1\r\n0.1,\t2\r\n", TextLayout::CommaSeparated).signal.count(), 2);
    EXPECT_EQ(parseText("0 ,1\n", TextLayout::CommaSeparated).signal.count(), 0);
    EXPECT_EQ(parseText("time,value\n0,1\n", TextLayout::CommaSeparated).signal.count(), 0);
}

// Only the first two times count; files giving no time step keep the current rate.
TEST(TextReading, RateFromTheFirstTwoTimesElseTheCurrentOne)
{
    constexpr auto kStandard = TextLayout::Standard, kComma = TextLayout::CommaSeparated;
    struct Case {
        const char* text;
        TextLayout layout;
        int current, rate;
    };
    const Case cases[] = {
        {"0.5 42\n", kStandard, 50, 50},  // a single sample
        {"0.5,42\n\t", kComma, 50, 50},
        {"0 1\n0 2\n", kStandard, 10, 10},    // times that stand still, run backwards, are
        {"1 1\n0.5 2\n", kStandard, 10, 10},  // absurdly close
        {"0 1\n1e-12 2\n", kStandard, 10, 10},
        {"0 1\n1e300 2\n", kStandard, 10, 1},  // a step of ages is merely slow
        {"1 2", TextLayout::Plain, 0, kDefaultPointsPerSecond},
        {"1 1\n1.01 2\n5 3\n", kStandard, 20, 2},
        {"0,1\n\t0.000333,2\n\t", kComma, 20, 50},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseText(c.text, c.layout, c.current).pointsPerSecond, c.rate) << c.text;
    const ChromatogramData single = parseText("0.5,42\n\t", kComma);
    EXPECT_EQ(single.signal.values(), std::vector<float>{42.0f});
    EXPECT_EQ(single.hasData, 1);

    EXPECT_EQ(rateFromTimeStep(0.0016667), 10);
    EXPECT_EQ(rateFromTimeStep(0.0008333), 20);  // 20.0008: a printing error, not 21
    EXPECT_EQ(rateFromTimeStep(0.000333), 50);   // 50.05
    EXPECT_EQ(rateFromTimeStep(0.0005), 34);     // 33.3
    EXPECT_EQ(rateFromTimeStep(1.0 / 60.0 / 10.5), 11);
    EXPECT_EQ(rateFromTimeStep(2.0), 1);
    EXPECT_EQ(rateFromTimeStep(-0.001), 0);
    EXPECT_EQ(rateFromTimeStep(NAN), 0);
    EXPECT_EQ(rateFromTimeStep(1.0 / 60.0 / 5000.0), 0);
}

TEST(ChromatogramMerging, SecondPartContinuesFromTheJunctionInEitherOrder)
{
    SignalBuffer p, q;
    p.assign({1.0f, 2.0f, 5.0f});
    q.assign({100.0f, 101.0f, 97.0f, 110.0f});
    // Q[0] is dropped; Q[1..] are raised by P[2] - Q[0] = -95.
    EXPECT_EQ(mergeSignals(p, q), (std::vector<float>{1.0f, 2.0f, 5.0f, 6.0f, 2.0f, 15.0f}));
    EXPECT_EQ(mergeSignals(q, p),
              (std::vector<float>{100.0f, 101.0f, 97.0f, 110.0f, 111.0f, 114.0f}));

    SignalBuffer single, empty;
    single.assign({7.0f});
    EXPECT_EQ(mergeSignals(p, single), p.values());
    EXPECT_EQ(mergeSignals(single, q), (std::vector<float>{7.0f, 8.0f, 4.0f, 17.0f}));
    // Without a junction the other part is the result as it is.
    EXPECT_EQ(mergeSignals(p, empty), p.values());
    EXPECT_EQ(mergeSignals(empty, q), q.values());
    // Either order; the extrema are the samples', and nothing else is taken over.
    ChromatogramData open = textRecord({10.0f, 20.0f, 30.0f});
    open.signalMax = 100000.0f;
    open.signalMin = -10000.0f;
    open.method.deviceNo = "open";
    ChromatogramData chosen = textRecord({0.0f, -50.0f, 5.0f});
    chosen.peaks.append(PeakRecord{});
    chosen.method.deviceNo = "chosen";

    ChromatogramData after = open;
    EXPECT_EQ(mergeChromatograms(after, chosen, false), 5);
    EXPECT_EQ(after.signal.values(), (std::vector<float>{10.0f, 20.0f, 30.0f, -20.0f, 35.0f}));
    EXPECT_EQ(after.signalMax, 35.0f) << "the extrema of the samples, not the stored ones";
    EXPECT_EQ(after.peaks.size(), 0);
    EXPECT_EQ(after.method.deviceNo, "open");

    ChromatogramData before = open;
    EXPECT_EQ(mergeChromatograms(before, chosen, true), 5);
    EXPECT_EQ(before.signal.values(), (std::vector<float>{0.0f, -50.0f, 5.0f, 15.0f, 25.0f}));

    ChromatogramData nothing;
    const ChromatogramData untouched = nothing;
    EXPECT_EQ(mergeChromatograms(nothing, ChromatogramData{}, false), 0);
    EXPECT_EQ(nothing.signalMax, untouched.signalMax);
    EXPECT_EQ(nothing.signalMin, untouched.signalMin);
}
