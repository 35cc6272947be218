#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/Interchange.h"
#include "cli/CompareCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

Output convert(const ConvertOptions& o)
{
    return call(runConvert, o);
}

Output compare(const CompareOptions& o)
{
    return call(runCompare, o);
}

class ConvertCommandTest : public TempDirTest {
protected:
    // Writes the sample chromatogram as a .chg and returns its path.
    std::string source()
    {
        const std::string p = path("run.chg");
        writeChromatogramFile(p, sampleChromatogram());
        return p;
    }
};

}  // namespace

TEST_F(ConvertCommandTest, EveryKindRoundTripsThroughChg)
{
    const std::string chg = source();
    const ChromatogramData original = readChromatogramFile(chg);
    for (const char* ext : {"dat", "cdf", "txt", "std", "csv"}) {
        SCOPED_TRACE(ext);
        const std::string mid = path(std::string("mid.") + ext);
        const std::string e = ext;
        Output r = convert({chg, mid, "", "", 7, false});
        ASSERT_EQ(r.status, 0) << r.err;
        // A .dat keeps no rate: the command says which one to give back.
        EXPECT_EQ(r.err,
                  e == "dat" ? "dgaws-cli: " + mid +
                          " keeps no rate; read it back with --points-per-second 20\n"
                             : "");
        r = convert({mid, path("back.chg"), ext, "", 7, false});
        ASSERT_EQ(r.status, 0) << r.err;
        const ChromatogramData back = readChromatogramFile(path("back.chg"));
        EXPECT_EQ(back.signal, original.signal);
        EXPECT_EQ(back.hasData, 1);
        // A rate comes back from the kinds that carry one; the others take the one given.
        EXPECT_EQ(back.pointsPerSecond, e == "txt" || e == "dat" ? 7 : 20);
        EXPECT_EQ(back.peaks.size(), e == "cdf" ? original.peaks.size() : 0);
    }
}

TEST_F(ConvertCommandTest, KindsFromExtensionContentOrOptions)
{
    const std::string chg = source();
    ASSERT_EQ(convert({chg, path("std.txt"), "", "std", 20, false}).status, 0);
    ASSERT_EQ(convert({chg, path("plain.txt"), "", "", 20, false}).status, 0);

    // A .txt with line breaks is read as standard text, one without as plain text.
    Output r = convert({path("std.txt"), path("a.chg"), "", "", 7, true});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["from"], "std");
    EXPECT_EQ(j["pointsPerSecond"], 20);
    EXPECT_EQ(j["sampleCount"], 1200);
    r = convert({path("plain.txt"), path("a.chg"), "", "", 7, true});
    j = json::parse(r.out);
    EXPECT_EQ(j["from"], "txt");
    EXPECT_EQ(j["pointsPerSecond"], 7);
    // --from wins over the content: the standard file read as plain numbers.
    r = convert({path("std.txt"), path("a.chg"), "txt", "", 7, true});
    EXPECT_EQ(json::parse(r.out)["sampleCount"], 2400);

    // Upper-case extensions, and names whose extension says nothing.
    ASSERT_EQ(convert({chg, path("UP.CSV"), "", "", 20, false}).status, 0);
    EXPECT_EQ(readWholeFile(path("UP.CSV")).substr(0, 9), "0.000000,");
    r = convert({chg, path("out.xyz"), "", "", 20, false});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--to"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(path("out.xyz")));
    r = convert({path("noext"), path("x.chg"), "", "", 20, false});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--from"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(ConvertCommandTest, FailuresLeaveTheOutputAsItWas)
{
    const std::string chg = source();
    writeFileAtomically(path("keep.cdf"), "previous");
    writeFileAtomically(path("empty.txt"), "");

    Output r = convert({path("missing.chg"), path("keep.cdf"), "", "", 20, false});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("dgaws-cli: cannot read " + path("missing.chg") + ": ", 0), 0u) << r.err;

    // An empty chromatogram has nothing to export.
    r = convert({path("empty.txt"), path("keep.cdf"), "", "", 20, false});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(kExportNoData), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(readWholeFile(path("keep.cdf")), "previous");

    writeFileAtomically(path("broken.cdf"), "CDF\x01 not really");
    r = convert({path("broken.cdf"), path("x.chg"), "", "", 20, false});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fileExists(path("x.chg")));

    r = convert({chg, path("no/dir/x.csv"), "", "", 20, false});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("dgaws-cli: cannot write " + path("no/dir/x.csv") + ": ", 0), 0u);
}

TEST_F(ConvertCommandTest, CompareWritesTheCombinedChromatogram)
{
    ChromatogramData a;
    a.signal.assign({1, 2, 3, 4});
    a.pointsPerSecond = 10;
    a.hasData = 1;
    ChromatogramData b = a;
    b.signal.assign({10, 20, 30, 40, 50});
    writeChromatogramFile(path("a.chg"), a);
    writeChromatogramFile(path("b.chg"), b);
    const std::vector<std::string> ab{path("a.chg"), path("b.chg")};

    auto samplesOf = [&](const std::string& file) {
        return readChromatogramFile(file).signal.values();
    };
    // The operations themselves are the processing layer's; here their options.
    // b one sample (0.1 s) to the right: a's first sample stands in for b's start.
    const Output s = compare({"subtract", ab, path("sub.chg"), {0.0, 0.1 / 60.0 + 1e-9}, true});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(samplesOf(path("sub.chg")), (std::vector<float>{-9, -8, -17, -26}));
    EXPECT_EQ(json::parse(s.out)["signalMax"].get<double>(), -8.0);
    EXPECT_EQ(samplesOf(path("a.chg")), (std::vector<float>{1, 2, 3, 4}));  // sources untouched

    for (const CompareOptions& bad :
         {CompareOptions{"sum", {path("a.chg")}, path("x.chg"), {}, false},
          CompareOptions{"invert", ab, path("x.chg"), {}, false},
          CompareOptions{"subtract", {ab[0], ab[1], ab[0]}, path("x.chg"), {}, false},
          CompareOptions{"sum", ab, path("x.chg"), {0.5}, false}})
        EXPECT_EQ(compare(bad).status, 2) << bad.operation;
    const Output missing = compare({"sum", {ab[0], path("none.chg")}, path("x.chg"), {}, false});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.chg"), std::string::npos);
    EXPECT_FALSE(fileExists(path("x.chg")));
}

}  // namespace dgaws::cli::test
