#include "cli/CliTestSupport.h"

#include "app/CChrEDoc.h"
#include "chromatogram/ChromatogramFile.h"
#include "cli/SignalCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

// Two detected Gaussians on a level drifting too slowly to be taken for a peak, with a
// ripple.
ChromatogramData drifting()
{
    std::vector<float> s(4000);
    for (int i = 0; i < 4000; ++i) {
        double v = 100.0 + 0.05 * i + 2.0 * std::sin(i * 0.9);
        for (auto [c, h] : {std::pair{1000.0, 800.0}, {2500.0, 500.0}}) {
            const double x = (i - c) / 35.0;
            v += h * std::exp(-0.5 * x * x);
        }
        s[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    CChrEDoc doc;
    doc.data.signal.assign(s);
    doc.data.hasData = 1;
    doc.detectPeaks();
    return doc.data;
}

class SignalCommandTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        input_ = path("A.chg");
        source_ = drifting();
        writeChromatogramFile(input_, source_);
    }

    Output signal(std::vector<std::string> operations, const std::string& output = "")
    {
        SignalOptions o;
        o.path = input_;
        o.operations = std::move(operations);
        o.outputPath = output;
        o.json = true;
        return captured([&](std::ostream& out, std::ostream& err) { return runSignal(o, out, err); });
    }

    std::string input_;
    ChromatogramData source_;
};

TEST_F(SignalCommandTest, OperationsApplyInOrder)
{
    ASSERT_EQ(source_.peaks.size(), 2);
    const std::vector<float>& x = source_.signal.values();
    const std::string out = path("B.chg");

    Output r = signal({"smooth", "4"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    const ChromatogramData smoothed = readChromatogramFile(out);
    EXPECT_EQ(smoothed.signal.at(1), x[1]);
    EXPECT_FLOAT_EQ(smoothed.signal.at(2), (x[0] + x[1] + x[2] + x[3]) / 4.0f);
    EXPECT_EQ(smoothed.peaks, readChromatogramFile(input_).peaks) << "smoothing detects nothing again";

    r = signal({"subtract-drift", "smooth", "5", "restore"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(json::parse(r.out)["baselineSubtracted"]);
    EXPECT_EQ(readChromatogramFile(out).signal, source_.signal) << "restored sample for sample";

    r = signal({"separate"}, out);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const PeakRecord& p : readChromatogramFile(out).peaks)
        EXPECT_EQ(p.typeFlags, 0);
}

TEST_F(SignalCommandTest, RefusedOperationsWriteNothing)
{
    ChromatogramData shorter;
    shorter.signal.assign(std::vector<float>(3999, 1.0f));
    writeChromatogramFile(path("short.chg"), shorter);
    const std::string out = path("B.chg");
    struct Case {
        std::vector<std::string> operations;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{"subtract-baseline", path("short.chg")}, "基线谱图长度小与当前谱图，不能处理。"},
        {{"subtract-drift", "restore", "restore"}, "restore: no baseline subtraction is in effect"},
        {{"smooth", "1"}, "leaves nothing to smooth"},
        {{"sharpen"}, "unknown operation sharpen"},
    };
    for (const Case& c : cases) {
        const Output r = signal(c.operations, out);
        EXPECT_EQ(r.status, 1) << c.said;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.said;
    }
}

}  // namespace
}  // namespace dgaws::cli::test
