#pragma once

#include "app/Gaussians.h"
#include "chromatogram/ChromatogramData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace dgaws::cli::test {

// A private folder per test, removed afterwards.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "dgaws-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

// What an in-process command returned and printed.
struct Output {
    int status = -1;
    std::string out;
    std::string err;
};

template <class Run> Output captured(Run run)
{
    std::ostringstream out, err;
    Output r;
    r.status = run(out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// What `command(options, out, err)` returned and printed.
template <class Command, class Options> Output call(Command command, const Options& options)
{
    return captured(
        [&](std::ostream& out, std::ostream& err) { return command(options, out, err); });
}

using dgaws::test::gaussians;

// A finished, diagnosed chromatogram with Chinese texts in every kind of field.
inline ChromatogramData sampleChromatogram()
{
    ChromatogramData d;
    d.pointsPerSecond = 20;
    std::vector<float> samples(1200);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i % 100) * 0.5f;
    samples.front() = 0.1f;
    samples[300] = 812.25f;
    samples[600] = -42.5f;
    samples.back() = 7.75f;
    d.signal.assign(samples);
    d.hasData = 1;
    d.injectionTime = OleDateTime::fromCivil(2024, 5, 17, 9, 30, 15);
    d.methodName = "QL方法";
    d.method.name = "QL方法";

    PeakRecord a;
    a.number = 1;
    a.apexIndex = 660;
    a.retentionTime = 0.55;
    a.startIndex = 640;
    a.endIndex = 690;
    a.typeFlags = PeakFlag::StartsInValley | PeakFlag::EndsInValley;
    a.area = 1234.5;
    a.componentIndex = 0;
    a.componentName = "H2(氢气)";
    PeakRecord b;
    b.number = 2;
    b.apexIndex = 900;
    b.retentionTime = 0.75;
    b.startIndex = 880;
    b.endIndex = 930;
    b.typeFlags = PeakFlag::Negative;
    b.area = 56.0;
    b.excluded = 1;
    d.peaks.append(a);
    d.peaks.append(b);

    ManualEvent ev;
    ev.peak = a;
    ev.kind = 3;
    ev.time = 0.6;
    d.method.manualEvents.push_back(ev);
    d.method.timeProgram.push_back({1.5, 8, 12.0, 4});

    GroupResult g;
    g.groupNo = 1;
    g.groupName = "烃类";
    d.groupResults.push_back(g);

    d.gasInOil = {12.5, 30.0, 0.5, 20.0, 8.0, 40000.0, 3000.0, 250.0, 1800.0};
    d.ratioCode1 = 0;
    d.ratioCode2 = 0;
    d.ratioCode3 = 1;
    d.conclusion = "低温过热(低于150℃)";
    d.extraTexts[2] = "复检";
    return d;
}

// The sample's records around Gaussians at 1.0, 2.0 and 3.5 minutes, not yet detected, with
// the default integration parameters and no manual or timed events.
inline ChromatogramData threePeaksToDetect()
{
    ChromatogramData d = sampleChromatogram();
    d.signal.assign(gaussians(6000, {{1200, 900, 30}, {2400, 500, 40}, {4200, 300, 50}}));
    d.peaks.clear();
    d.evaluated = 0;
    d.method.integration = IntegrationParams{};
    d.method.manualEvents.clear();
    d.method.timeProgram.clear();
    return d;
}

}  // namespace dgaws::cli::test
