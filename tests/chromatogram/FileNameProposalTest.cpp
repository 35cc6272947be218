#include "chromatogram/FileNameProposal.h"
#include "TempDir.h"
#include "chromatogram/CivilTime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using namespace dgaws;
using Parts = std::vector<NamePart>;

namespace {

constexpr int kA = 0, kB = 1, kNoChannel = 3;
const std::string kThousand =
    "目前该路径下的文件数量已经到一千个了，建议您修改文件夹存放，同意选是";

using test::civilTime;

// A fixed clock, a set of existing paths and scripted answers.
struct FakeWorld {
    std::set<std::string> existing;
    bool answer = false;
    std::vector<std::string> questions;
    int checks = 0;

    ProposalEnvironment env()
    {
        return {[] { return civilTime(2024, 3, 5, 14, 7, 9); },
                [this](const std::string& p) {
                    ++checks;
                    return existing.count(p) > 0;
                },
                [this](const std::string& q) {
                    questions.push_back(q);
                    return answer;
                },
                [] { return std::string("/work/dir"); }};
    }
    std::function<bool(const std::string&)> exists() { return env().fileExists; }
};

AnalysisMethod namingMethod()
{
    AnalysisMethod m;
    m.text4 = "/data";
    m.option2 = 1;
    m.deviceNo = "T1";
    m.serialNo = "2024030501";
    m.sendingCompany = "Grid";
    m.tester = "Li";
    m.sampleText1 = "s1";
    m.sampleText2 = "s2";
    return m;
}

std::string folderFor(int kind, const std::string& text, int sampleType = 0, int channel = kA)
{
    AnalysisMethod m = namingMethod();
    m.listA = {{kind, text}, {folder_layer::kText, "only the first layer counts"}};
    return proposalFolder(m, sampleType, channel, civilTime(2024, 3, 5), "/work/dir");
}

TEST(ProposalFolder, BaseFolderSwitchAndEveryLayerKind)
{
    AnalysisMethod m = namingMethod();
    m.listA = {{folder_layer::kText, "甲醇"}};
    EXPECT_EQ(proposalFolder(m, 0, kA, civilTime(2024, 3, 5), "/w"), "/data/甲醇");
    m.text4 = "/data/";
    EXPECT_EQ(proposalFolder(m, 0, kA, civilTime(2024, 3, 5), "/w"), "/data/甲醇");
    m.text4.clear();
    EXPECT_EQ(proposalFolder(m, 0, kA, civilTime(2024, 3, 5), "/w"), "/w/甲醇");
    m.option2 = 0;
    EXPECT_EQ(proposalFolder(m, 0, kA, civilTime(2024, 3, 5), "/w"), "/w");

    EXPECT_EQ(folderFor(folder_layer::kDate, "%Y"), "/data/2024年");
    EXPECT_EQ(folderFor(folder_layer::kDate, "%Y%m%d"), "/data/2024年/03月/05日");
    EXPECT_EQ(folderFor(folder_layer::kDate, "%m"), "/data");
    EXPECT_EQ(folderFor(folder_layer::kChannel, "", 0, kB), "/data/B_");
    EXPECT_EQ(folderFor(folder_layer::kChannel, "", 0, kNoChannel), "/data");
    EXPECT_EQ(folderFor(folder_layer::kSampleType, "", 1), "/data/标准样");
    EXPECT_EQ(folderFor(folder_layer::kSampleType, "", 5), "/data/其他样品");
    EXPECT_EQ(folderFor(folder_layer::kSerialNo, "x"), "/data/2024030501");
    EXPECT_EQ(folderFor(folder_layer::kDeviceNo, "x"), "/data/T1");
    EXPECT_EQ(folderFor(6, "x"), "/data");
}

TEST(ProposalName, EachNamingModeAndChannel)
{
    FakeWorld world;
    AnalysisMethod m = namingMethod();
    m.option2 = 0;
    m.option5 = 4;
    m.option6 = 12;
    EXPECT_EQ(proposeFileName(m, 0, kA, world.env()).path, "/data/A_T120240305140709.chg");
    m.autoName2 = 1;
    EXPECT_EQ(proposeFileName(m, 0, kB, world.env()).fileName, "B_T1012.chg");
    m.autoName2 = 2;
    EXPECT_EQ(proposeFileName(m, 0, kNoChannel, world.env()).fileName, "004.chg");
    m.autoName1 = 1;
    m.text5 = "oilA";
    m.text6 = "oilB";
    EXPECT_EQ(proposeFileName(m, 0, kA, world.env()).fileName, "A_oilA004.chg");
    EXPECT_EQ(proposeFileName(m, 0, kB, world.env()).fileName, "B_oilB012.chg");
}

TEST(ProposalName, EveryPartKindAndTheSequencePadding)
{
    FileNameBuilder b(namingMethod(), 1, civilTime(2009, 1, 2, 3, 4, 5), {});
    const Parts all = {{0, "x"},     {1, "y"},    {20, "z"},    {2, ""},   {3, ""},
                       {4, ""},      {5, ""},     {6, ""},      {7, ""},   {8, ""},
                       {9, ""},      {10, ""},    {11, ""},     {12, ""},  {13, ""},
                       {15, "test"}, {16, "std"}, {17, "base"}, {19, "?"}, {-1, "?"}};
    EXPECT_EQ(b.build(all, 1, 0), "xyzT12024030501GridLis1s220090102030405(std).chg");
    EXPECT_EQ(FileNameBuilder(namingMethod(), 2, civilTime(2009, 1, 2), {}).build(all, 1, 0),
              "xyzT12024030501GridLis1s220090102000000(base).chg");

    const Parts seq = {{name_part::kSequence, ""}};
    EXPECT_EQ(b.build(seq, 9, 0), "009.chg");
    EXPECT_EQ(b.build(seq, 99, 0), "099.chg");
    EXPECT_EQ(b.build(seq, 1001, 0), "1001.chg");
}

TEST(ProposalThousand, AskedOncePerSearchAndYesLeavesTheNumberOut)
{
    for (const bool yes : {true, false}) {
        FakeWorld world;
        world.answer = yes;
        world.existing = {"/f/A.chg", "/f/1000A.chg"};
        FileNameBuilder b(namingMethod(), 0, civilTime(2024, 1, 1), world.env().ask);
        const FileNameProposal p = b.firstFree(
            {{name_part::kSequence, ""}, {name_part::kLetter, ""}}, "/f", 1000, world.exists());
        EXPECT_EQ(p.fileName, yes ? "B.chg" : "1000B.chg");
        EXPECT_EQ(world.questions, std::vector<std::string>{kThousand});
    }
}

TEST(ProposalSearch, LettersRunUpToZThenTheNumberRises)
{
    FakeWorld world;
    for (char c = 'A'; c <= 'Z'; ++c)
        world.existing.insert("/f/001" + std::string(1, c) + ".chg");
    FileNameBuilder b(namingMethod(), 0, civilTime(2024, 1, 1), {});
    const Parts parts = {{name_part::kSequence, ""}, {name_part::kLetter, ""}};
    EXPECT_EQ(b.firstFree(parts, "/f", 1, world.exists()).fileName, "002A.chg");
    world.existing.insert("/f/002A.chg");
    EXPECT_EQ(b.firstFree(parts, "/f", 2, world.exists()).fileName, "002B.chg");
}

TEST(ProposalSearch, EndsWhenABuildRepeatsThePreviousName)
{
    FakeWorld world;
    world.existing = {"/data/A_T120240305140709.chg"};
    AnalysisMethod m = namingMethod();
    m.option2 = 0;
    FileNameBuilder b(m, 0, civilTime(2024, 3, 5, 14, 7, 9), {});
    const FileNameProposal repeated =
        b.firstFree(proposalNameParts(m, kA), "/data", proposalStartNumber(m, kA), world.exists());
    EXPECT_EQ(repeated.fileName, "A_T120240305140709.chg");
    EXPECT_FALSE(repeated.free);
    EXPECT_EQ(world.checks, 2);

    // The proposal never names a file that is there: the first free suffix follows.
    world.existing.insert("/data/A_T120240305140709(2).chg");
    const FileNameProposal p = proposeFileName(m, 0, kA, world.env());
    EXPECT_EQ(p.path, "/data/A_T120240305140709(3).chg");
    EXPECT_TRUE(p.free);
}

TEST(ProposalSearch, FirstFreeNameInARealDateFolder)
{
    const test::TempDir base;
    const fs::path dated = base.root() / "2024年" / "03月";
    fs::create_directories(dated);
    std::ofstream(dated / "B_T1001.chg") << "x";
    std::ofstream(dated / "B_T1002.chg") << "x";
    AnalysisMethod m = namingMethod();
    m.text4 = base.root().string() + "/";
    m.listA = {{folder_layer::kDate, "%Y%m"}};
    m.autoName2 = 1;
    ProposalEnvironment env = systemProposalEnvironment();
    env.now = [] { return civilTime(2024, 3, 31, 23, 59, 59); };
    const FileNameProposal p = proposeFileName(m, 0, kB, env);
    EXPECT_EQ(p.saveFolder, dated.string());
    EXPECT_EQ(p.path, (dated / "B_T1003.chg").string());
    EXPECT_TRUE(p.free);
}

}  // namespace

TEST(ProposalSafety, TypedTextsNeverLeaveTheSaveFolder)
{
    FakeWorld world;
    AnalysisMethod m = namingMethod();
    m.deviceNo = "../../etc/主变";
    m.autoName2 = 1;
    m.listA = {{folder_layer::kDeviceNo, ""}};
    const FileNameProposal p = proposeFileName(m, 0, kA, world.env());
    EXPECT_EQ(p.saveFolder, "/data/.._.._etc_主变");
    EXPECT_EQ(p.fileName, "A_.._.._etc_主变001.chg");
    m.listA = {{folder_layer::kText, ".."}};
    EXPECT_EQ(proposeFileName(m, 0, kA, world.env()).saveFolder, "/data/_");
}
