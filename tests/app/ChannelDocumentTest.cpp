#include "app/CChrEDoc.h"
#include "app/WindowOptions.h"
#include "app/WorkstationApp.h"

#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"

#include "../chromatogram/TempDir.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

void writeMethod(const std::string& folder, const std::string& name,
                 std::vector<std::string> curveNames)
{
    MethodLibraryEntry e;
    e.method.name = name;
    e.method.timeEnd = 7.5;
    e.method.deviceNo = "dev-" + name;
    for (const auto& c : curveNames) {
        CalibrationCurve curve;
        curve.name = c;
        ComponentEntry h2;
        h2.name = "H2(氢气)";
        h2.retentionTime = 0.8;
        curve.components.push_back(h2);
        e.curves.push_back(curve);
    }
    e.path = folder + "/" + name + ".she";
    saveMethodFile(e);
}

struct Fixture {
    TempDir dir;
    DataRoot root{dir.path("home")};
    std::unique_ptr<WorkstationApp> app;

    explicit Fixture(std::function<void(QSettings&)> prepare = {})
    {
        std::filesystem::create_directories(root.defaultSchemePath());
        writeMethod(root.defaultSchemePath(), "Other", {"ADefaultCali"});
        writeMethod(root.defaultSchemePath(), "QLDefault", {"X", "ADefaultCali", "ADefaultCali"});
        if (prepare) {
            QSettings ini(QString::fromStdString(root.settingsFile()), QSettings::IniFormat);
            prepare(ini);
        }
        app = std::make_unique<WorkstationApp>(root);
        app->startUp();
    }
};

}  // namespace

// A channel window takes the default method and calibration by name, the library's table and
// the project folder, and the conditions remembered for its channel.
TEST(OpenChannel, TheDefaultMethodCalibrationAndConditionsFillTheDocument)
{
    Fixture f([](QSettings& ini) {
        ini.setValue("ConditionB/CondNumbB", 2);
        ini.setValue("ConditionB/CondItemB0", "柱温 60℃");
        ini.setValue("ConditionB/CondItemB1", "载气 N2");
        ini.setValue("System/BDefaultCali", "missing");
    });
    CChrEDoc doc;
    f.app->prepareChannelDocument(doc, 0);
    EXPECT_EQ(doc.state, CChrEDoc::ChannelA);
    ASSERT_EQ(doc.libraryMethodIndex, f.app->library().indexOf("QLDefault"));
    EXPECT_EQ(doc.libraryCalibrationIndex, 1) << "the first calibration with the name";
    EXPECT_EQ(doc.data.method.deviceNo, "dev-QLDefault");
    EXPECT_EQ(doc.calibrationCurve(), &f.app->library().at(1).curves[1])
        << "the document reads its curve from the library";
    EXPECT_EQ(doc.data.method.components, f.app->library().at(1).curves[1].components)
        << "a file saved from the channel holds the table it was identified with";
    EXPECT_EQ(doc.data.method.saveFolder, f.app->settings().ProjectPath);
    EXPECT_NE(doc.data.method.instrumentInfo[0].value, "柱温 60℃") << "channel A has its own list";

    CChrEDoc b;
    f.app->prepareChannelDocument(b, 1);
    EXPECT_EQ(b.libraryMethodIndex, f.app->library().indexOf("QLDefault"));
    EXPECT_EQ(b.libraryCalibrationIndex, -1) << "an unknown name leaves the index unset";
    ASSERT_GE(b.data.method.instrumentInfo.size(), 2u);
    EXPECT_EQ(b.data.method.instrumentInfo[1].value, "载气 N2");

    Fixture empty([](QSettings& ini) { ini.setValue("System/ADefaultProg", ""); });
    CChrEDoc a;
    empty.app->prepareChannelDocument(a, 0);
    EXPECT_EQ(a.libraryMethodIndex, -1);
    EXPECT_EQ(a.libraryCalibrationIndex, -1);
}

TEST(DataRootTest, TheHomeOptionWinsOverTheEnvironmentWhichWinsOverTheHomeFolder)
{
    const char* saved = std::getenv("DGAWS_HOME");
    const std::string keep = saved ? saved : "";
    setenv("DGAWS_HOME", "/tmp/from-env", 1);
    EXPECT_EQ(DataRoot::resolve("/tmp/from-option/").root(), "/tmp/from-option");
    EXPECT_EQ(DataRoot::resolve().root(), "/tmp/from-env");
    unsetenv("DGAWS_HOME");
    const std::string home = std::getenv("HOME");
    EXPECT_EQ(DataRoot::resolve().root(), home + "/dgaws");
    if (saved)
        setenv("DGAWS_HOME", keep.c_str(), 1);
}

TEST(DataRootTest, ShippedFilesAreInstalledOnlyWhereMissing)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path("shipped"));
    std::ofstream(dir.path("shipped/QLDefault.she")) << "method";
    std::ofstream(dir.path("shipped/QLCHGDATA.DMD")) << "demo";
    std::filesystem::create_directories(dir.path("methods"));
    std::ofstream(dir.path("methods/QLDefault.she")) << "mine";
    const auto copied = DataRoot::installShippedData(dir.path("shipped"), dir.path("methods"),
                                                     dir.path("demo/sub/QLCHGDATA.DMD"));
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(readWholeFile(dir.path("methods/QLDefault.she")), "mine")
        << "the operator's method is never replaced";
    EXPECT_TRUE(std::filesystem::exists(dir.path("demo/sub/QLCHGDATA.DMD")));
}

TEST(RecentFilesTest, FiveNewestFirstWithoutRepeats)
{
    TempDir dir;
    RecentFiles recent(dir.path("s.ini"));
    for (int i = 1; i <= 7; ++i)
        recent.add("/f" + std::to_string(i) + ".chg");
    recent.add("/f4.chg");
    recent.save();
    RecentFiles again(dir.path("s.ini"));
    again.load();
    EXPECT_EQ(again.files(),
              (std::vector<std::string>{"/f4.chg", "/f7.chg", "/f6.chg", "/f5.chg", "/f3.chg"}));
    again.remove("/f7.chg");
    again.save();
    RecentFiles third(dir.path("s.ini"));
    third.load();
    EXPECT_EQ(third.files().size(), 4u) << "a removed entry leaves no stale key behind";
}

// Options and files in any order, the toolkit's own options left to it, and unusable
// arguments refused with the reason.
TEST(WindowOptions, ReadsOptionsAndFilesInAnyOrderAndRefusesWhatItCannotUse)
{
    const WindowOptions o = WindowOptions::parse(
        {"dgaws", "a.chg", "--home", "/data", "--run", "--speed", "60", "-", "b.chg"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.home, "/data");
    EXPECT_TRUE(o.run);
    EXPECT_TRUE(o.simulate);  // an unattended run has no wizard to wait on
    EXPECT_EQ(o.speed, 60.0);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.chg", "-", "b.chg"}));
    EXPECT_FALSE(o.help || o.version);
    // The value of --home is a folder, never a file to open.
    EXPECT_TRUE(WindowOptions::parse({"dgaws", "--home=/x", "--home", "y.chg"}).files.empty());
    const WindowOptions qt =
        WindowOptions::parse({"dgaws", "-platform", "offscreen", "-reverse", "c.chg"});
    EXPECT_TRUE(qt.error.empty()) << qt.error;
    EXPECT_EQ(qt.files, std::vector<std::string>{"c.chg"});

    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"dgaws", "--speed"}, "--speed needs a value"},
        {{"dgaws", "--speed", "0.5"}, "at least 1"},
        {{"dgaws", "--speed", "fast"}, "\"fast\""},
        {{"dgaws", "--speed", "nan"}, "\"nan\""},
        {{"dgaws", "--speed", "5x"}, "\"5x\""},
        {{"dgaws", "--simulat"}, "unknown option --simulat"},
        {{"dgaws", "a.chg", "--home"}, "--home needs a value"},
    };
    for (const auto& [args, reason] : refused)
        EXPECT_NE(WindowOptions::parse(args).error.find(reason), std::string::npos) << reason;
    EXPECT_TRUE(WindowOptions::parse({"dgaws", "-h"}).help);
    EXPECT_TRUE(WindowOptions::parse({"dgaws", "--version"}).version);
}
