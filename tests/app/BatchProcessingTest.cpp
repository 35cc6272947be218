// A batch over the operator's folder, and the method a batch is processed with.
#include "Gaussians.h"

#include "app/BatchProcessing.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dgaws;

namespace {

// Chromatograms are found once in path order and processed on two threads; a damaged one is
// named and the others go on; a method without the named curve is refused before any file.
TEST(BatchProcessing, AFolderIsProcessedOnTwoThreadsAndWhatFailsIsNamed)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path("in"));
    ChromatogramData d;
    d.signal.assign(test::gaussians(3000, {{800, 700, 30}}, 40.0f));
    d.hasData = 1;
    d.pointsPerSecond = 20;
    for (const char* name : {"in/b.chg", "in/a.DAT.txt", "in/c.CHG"})
        writeChromatogramFile(dir.path(name), d);
    writeFileAtomically(dir.path("in/a.chg"), "damaged");
    std::vector<std::string> missing;
    const auto files = collectChromatograms(
        {dir.path("in"), dir.path("in/b.chg"), dir.path("none")}, false, missing);
    EXPECT_EQ(files,
              (std::vector<std::string>{dir.path("in/a.chg"), dir.path("in/b.chg"),
                                        dir.path("in/c.CHG")}));
    EXPECT_EQ(missing, std::vector<std::string>{dir.path("none")});

    BatchRequest request;
    request.inputs = {dir.path("in")};
    request.outputDir = dir.path("out");
    request.jobs = 2;
    const BatchOutcome outcome = processBatch(files, request, nullptr);
    EXPECT_EQ(outcome.total, 3u);
    EXPECT_EQ(outcome.processed(), 2u);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].file, dir.path("in/a.chg"));
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(readChromatogramFile(dir.path("out/b.chg")).peaks.size(), 1);

    MethodLibraryEntry method;
    method.path = dir.path("m.she");
    saveMethodFile(method);
    request.process.methodPath = method.path;
    request.process.calibration = "missing";
    ProcessSession session(request.process);
    EXPECT_NE(session.prepare().find("has no curve named \"missing\""), std::string::npos);
    request.process.calibration.clear();
    ProcessSession whole(request.process);
    EXPECT_EQ(whole.prepare(), "");
}

}  // namespace
