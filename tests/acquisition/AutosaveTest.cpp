// The safety copy of a run in progress, and the shipped demonstration data.
#include "acquisition/Autosave.h"

#include "chromatogram/Archive.h"
#include "chromatogram/FileIO.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

ChromatogramData runStartRecord()
{
    ChromatogramData d;
    d.pointsPerSecond = 10;
    d.methodName = "QL方法";
    d.method.deviceNo = "1号主变";
    d.method.integration.stopTime = 6.0;
    d.signal.resize(3600);  // sized for the run: none of it belongs in the copy
    d.injectionTime = OleDateTime::fromCivil(2024, 5, 17, 9, 30, 15);
    return d;
}

TEST(Autosave, EveryAppendedPointIsInTheFileAtOnce)
{
    TempDir dir;
    const std::string path = autosavePathFor(dir.path(kAutosaveFolderName), "A_1号主变.chg");
    EXPECT_NE(path.find("自动保存"), std::string::npos);
    AutosaveWriter w;
    ASSERT_TRUE(w.begin(path, runStartRecord()));
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(w.append(static_cast<float>(i) - 0.5f));
    // Read while the writer still holds the file, as after a crash.
    const ChromatogramData d = recoverAutosave(path);
    ASSERT_EQ(d.signal.count(), 25);
    EXPECT_EQ(d.signal.at(24), 23.5f);
    EXPECT_EQ(d.hasData, 1);
    EXPECT_EQ(d.pointsPerSecond, 10);
    EXPECT_EQ(d.method.deviceNo, "1号主变");
    EXPECT_FLOAT_EQ(d.signalMin, -0.5f);
    EXPECT_FLOAT_EQ(d.signalMax, 23.5f);
    EXPECT_EQ(findAutosaves(dir.path(kAutosaveFolderName)), (std::vector<std::string>{path}));

    // A second run of the same name gets a copy of its own.
    const std::string second = autosavePathFor(dir.path(kAutosaveFolderName), "A_1号主变.chg");
    EXPECT_NE(second, path);
    w.remove();
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(findAutosaves(dir.path(kAutosaveFolderName)).empty());
}

// A torn last point is dropped; files that are no copy are refused, and a folder that cannot
// be made is reported without ending the run.
TEST(Autosave, ATornLastPointIsDroppedAndOtherFilesAndFoldersAreRefused)
{
    TempDir dir;
    const std::string path = dir.path("run.dgauto");
    {
        AutosaveWriter w;
        ASSERT_TRUE(w.begin(path, runStartRecord()));
        for (int i = 0; i < 10; ++i)
            w.append(7.0f);
    }
    std::ofstream(path, std::ios::binary | std::ios::app).write("\x01\x02", 2);  // a power cut
    EXPECT_EQ(recoverAutosave(path).signal.values(), std::vector<float>(10, 7.0f));
    std::string bytes = readWholeFile(path);
    writeFileAtomically(dir.path("cut.dgauto"), bytes.substr(0, 30));
    EXPECT_THROW(recoverAutosave(dir.path("cut.dgauto")), ArchiveError);
    bytes[0] = 'X';
    writeFileAtomically(dir.path("other.dgauto"), bytes);
    EXPECT_THROW(recoverAutosave(dir.path("other.dgauto")), ArchiveError);
    EXPECT_THROW(recoverAutosave(dir.path("absent.dgauto")), FileError);

    AutosaveWriter w;
    EXPECT_FALSE(w.begin(dir.path("run.dgauto/自动保存/a.dgauto"), runStartRecord()));
    EXPECT_TRUE(w.failed());
    EXPECT_FALSE(w.error().empty());
    EXPECT_FALSE(w.append(1.0f));
}

TEST(Autosave, AtTheNextStartTheOperatorChoosesForEachCopy)
{
    TempDir dir;
    const std::string folder = dir.path(kAutosaveFolderName);
    for (const char* name : {"A_1.chg", "B_1.chg"}) {
        AutosaveWriter w;
        ASSERT_TRUE(w.begin(autosavePathFor(folder, name), runStartRecord()));
        w.append(name[0] == 'A' ? 1.0f : 2.0f);
    }
    writeFileAtomically(folder + "/broken" + kAutosaveExtension, "not a copy");
    std::vector<std::string> asked, broken;
    const auto runs = recoverUnfinishedRuns(
        folder,
        [&](const std::string& q) {
            asked.push_back(q);
            return q.find("A_1") != std::string::npos;
        },
        [&](const std::string& p, const std::string&) { broken.push_back(p); });
    EXPECT_EQ(asked,
              (std::vector<std::string>{"发现未正常结束的采样数据A_1.dgauto，是否恢复为谱图？",
                                        "发现未正常结束的采样数据B_1.dgauto，是否恢复为谱图？"}));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].data.signal.values(), std::vector<float>{1.0f});
    EXPECT_EQ(broken, (std::vector<std::string>{folder + "/broken.dgauto"}));
    // The declined copy is gone; the taken one stays until its chromatogram is saved.
    EXPECT_EQ(findAutosaves(folder),
              (std::vector<std::string>{runs[0].copyPath, folder + "/broken.dgauto"}));
    runs[0].discard();
    EXPECT_EQ(findAutosaves(folder), (std::vector<std::string>{folder + "/broken.dgauto"}));
}

TEST(DemonstrationData, TheShippedFileIsTheGeneratorsOutput)
{
    TempDir dir;
    const std::string made = dir.path("QLCHGDATA.DMD");
    const std::string cmd =
        std::string("'" DGAWS_BINARY_DIR "/dgaws-make-demo-data' '") + made + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string shipped = readWholeFile(DGAWS_SOURCE_DIR "/data/QLCHGDATA.DMD");
    EXPECT_EQ(readWholeFile(made), shipped);
}

}  // namespace
