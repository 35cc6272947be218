#include "cli/CliTestSupport.h"

#include "app/DataRoot.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/MethodCommand.h"
#include "cli/ProcessCommand.h"

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

class MethodCommandTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        home_ = path("home");
        folder_ = DataRoot(home_).defaultSchemePath();
        std::filesystem::create_directories(folder_);
        std::filesystem::copy_file(DGAWS_BINARY_DIR "/data/QLDefault.she",
                                   folder_ + "/QLDefault.she");
    }

    Output method(MethodRequest::Action action, std::function<void(MethodRequest&)> fill = {})
    {
        MethodRequest r;
        r.action = action;
        r.home = home_;
        if (fill)
            fill(r);
        return call(runMethod, r);
    }

    int peaksWith(const std::string& methodFile)
    {
        const std::string file = path("run.chg");
        writeChromatogramFile(file, threePeaksToDetect());
        ProcessOptions o;
        o.path = file;
        o.methodPath = methodFile;
        o.json = true;
        const Output r = call(runProcess, o);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0 ? static_cast<int>(json::parse(r.out)["peaks"].size()) : -1;
    }

    std::string home_;
    std::string folder_;
};

using A = MethodRequest::Action;

TEST_F(MethodCommandTest, ACopyWithItsOwnSlopeDetectsDifferentlyAndIsListed)
{
    ASSERT_EQ(method(A::New, [](auto& r) { r.name = "M2", r.from = "QLDefault"; }).status, 0);
    const Output set = method(A::Set, [](auto& r) {
        r.name = "M2", r.values = {"slope=1e7", "timeEnd=12"};
    });
    ASSERT_EQ(set.status, 0) << set.err;
    const MethodLibraryEntry m2 = loadMethodFile(folder_ + "/M2.she");
    EXPECT_EQ(m2.method.integration.slope, 1e7);
    EXPECT_EQ(m2.method.timeEnd, 12.0);
    EXPECT_EQ(m2.curves.size(), loadMethodFile(folder_ + "/QLDefault.she").curves.size());

    EXPECT_GT(peaksWith(folder_ + "/QLDefault.she"), 0);
    EXPECT_EQ(peaksWith(folder_ + "/M2.she"), 0);

    const Output list = method(A::List, [](auto& r) { r.json = true; });
    ASSERT_EQ(list.status, 0);
    const json j = json::parse(list.out);
    ASSERT_EQ(j["methods"].size(), 2u);
    EXPECT_EQ(j["methods"][0]["name"], "M2");
    EXPECT_EQ(j["methods"][0]["label"], "M2-显示");
}

TEST_F(MethodCommandTest, SettingsAreSetAsTheSheetSetsThemAndBadOnesChangeNothing)
{
    const std::string file = folder_ + "/QLDefault.she";
    const Output set = method(A::Set, [](auto& r) {
        r.name = "QLDefault",
        r.values = {"report.title=东郊实验室油色谱报告",
                    "report.laboratory=化验室",
                    "report.marginLeft=15",
                    "report.language=1",
                    "report.showChromatogram=0",
                    "report.columns=number,componentName,oilContent"};
    });
    ASSERT_EQ(set.status, 0) << set.err;
    const ReportSettings report = loadMethodFile(file).method.report;
    EXPECT_EQ(report.title, "东郊实验室油色谱报告");
    EXPECT_EQ(report.laboratory, "化验室");
    EXPECT_EQ(report.marginLeft, 15.0);
    EXPECT_EQ(report.language, 1);
    EXPECT_EQ(report.showChromatogram, 0);
    std::vector<std::string> shown;
    for (const ReportColumn& c : report.columns)
        if (c.visible)
            shown.push_back(c.key);
    EXPECT_EQ(shown, (std::vector<std::string>{"number", "componentName", "oilContent"}));

    // A good value before a bad one is not applied either.
    const std::string before = readWholeFile(file);
    struct Refused {
        std::vector<std::string> values;
        std::string err;
    };
    for (const Refused& r : {
             Refused{{"slope=40", "slop=3"}, "unknown method field slop"},
             Refused{{"judgeWidth=2.5"}, "bad value for judgeWidth: 2.5"},
             Refused{{"judgeWidth=4"}, "judgeWidth must be at least 5"},
             Refused{{"calcMethod=7"}, "calcMethod must be 0 to 6"},
             Refused{{"name=X"}, "unknown method field name"},
             Refused{{"report.marginTop=61"}, "bad value for report.marginTop: 61"},
             Refused{{"report.marginRight=-1"}, "bad value for report.marginRight: -1"},
             Refused{{"report.language=2"}, "bad value for report.language: 2"},
             Refused{{"report.decimals=11"}, "bad value for report.decimals: 11"},
             Refused{{"report.columns=number,peakColour"}, "unknown report column peakColour"},
             Refused{{"report.titel=x"}, "unknown method field report.titel"},
         }) {
        const Output out =
            method(A::Set, [&r](auto& q) { q.name = "QLDefault", q.values = r.values; });
        EXPECT_EQ(out.status, 1) << r.err;
        EXPECT_EQ(out.err, "dgaws-cli: " + r.err + "\n");
    }
    const Output exists = method(A::New, [](auto& r) { r.name = "QLDefault"; });
    EXPECT_EQ(exists.err, "dgaws-cli: a method named QLDefault exists\n");
    EXPECT_EQ(readWholeFile(file), before);
}

// Runs `atFirst` when the command first writes to it; then keeps what is written.
class FirstOutputHook : public std::stringbuf {
public:
    explicit FirstOutputHook(std::function<void()> atFirst) : atFirst_(std::move(atFirst)) {}

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        fire();
        return std::stringbuf::xsputn(s, n);
    }
    int_type overflow(int_type c) override
    {
        fire();
        return std::stringbuf::overflow(c);
    }

private:
    void fire()
    {
        if (atFirst_)
            std::exchange(atFirst_, {})();
    }
    std::function<void()> atFirst_;
};

// Another workstation saves the method into the shared folder after the command has read
// it: every command that writes or deletes the method fails and leaves the other's file as
// saved.
TEST_F(MethodCommandTest, ASaveAfterAnotherWorkstationsSaveFailsAndLeavesTheirFile)
{
    const std::string file = folder_ + "/QLDefault.she";
    // A damaged file makes the command speak once it has read the folder, before it saves.
    std::ofstream(folder_ + "/Z.she") << "damaged";
    const std::function<void(MethodRequest&)> saves[] = {
        [](MethodRequest& r) { r.action = A::Set, r.values = {"slope=40"}; },
        [](MethodRequest& r) { r.action = A::EventAdd, r.time = 3.0, r.type = 13; },
        [](MethodRequest& r) { r.action = A::Hide; },
        [](MethodRequest& r) { r.action = A::Delete; },
    };
    int n = 0;
    for (const auto& fill : saves) {
        MethodLibraryEntry theirs = loadMethodFile(file);
        theirs.method.tester = "another workstation " + std::to_string(++n);
        FirstOutputHook errors([&theirs] { saveMethodFile(theirs); });
        std::ostream err(&errors);
        std::ostringstream out;
        MethodRequest r;
        r.home = home_;
        r.name = "QLDefault";
        fill(r);
        EXPECT_EQ(runMethod(r, out, err), 1) << n;
        EXPECT_NE(errors.str().find("dgaws-cli: 方法文件QLDefault读入后已被另一工作站修改，"),
                  std::string::npos)
            << errors.str();
        EXPECT_TRUE(readWholeFile(file) == storeMethodFile(theirs)) << "their file changed " << n;
        EXPECT_FALSE(std::filesystem::exists(file + ".lock")) << n;
    }
}

TEST_F(MethodCommandTest, TimeProgramRowsHidingAndDefaults)
{
    const auto add = [this](double t, int type) {
        return method(A::EventAdd,
                      [t, type](auto& r) { r.name = "QLDefault", r.time = t, r.type = type; });
    };
    ASSERT_EQ(add(3.0, 13).status, 0);
    ASSERT_EQ(add(1.0, 0).status, 0);
    ASSERT_EQ(add(3.0, 12).status, 0);
    EXPECT_EQ(add(1.0, 17).status, 1);
    auto program = loadMethodFile(folder_ + "/QLDefault.she").method.timeProgram;
    ASSERT_EQ(program.size(), 3u);
    EXPECT_EQ(program[0].time, 1.0);
    EXPECT_EQ(program[1].type, 13);  // equal times keep their order of entry
    EXPECT_EQ(program[2].type, 12);
    EXPECT_EQ(program[0].peakWidth, 2);
    EXPECT_EQ(program[0].slope, 10.0);
    ASSERT_EQ(method(A::EventRemove, [](auto& r) { r.name = "QLDefault", r.row = 2; }).status, 0);
    EXPECT_EQ(method(A::EventRemove, [](auto& r) { r.name = "QLDefault", r.row = 3; }).status, 1);
    program = loadMethodFile(folder_ + "/QLDefault.she").method.timeProgram;
    ASSERT_EQ(program.size(), 2u);
    EXPECT_EQ(program[1].type, 12);

    ASSERT_EQ(method(A::Hide, [](auto& r) { r.name = "QLDefault"; }).status, 0);
    EXPECT_FALSE(loadMethodFile(folder_ + "/QLDefault.she").method.visible);
    ASSERT_EQ(method(A::Show, [](auto& r) { r.name = "QLDefault"; }).status, 0);
    EXPECT_TRUE(loadMethodFile(folder_ + "/QLDefault.she").method.visible);

    ASSERT_EQ(method(A::New, [](auto& r) { r.name = "M3"; }).status, 0);
    ASSERT_EQ(method(A::Default, [](auto& r) { r.channel = "B", r.name = "M3"; }).status, 0);
    const Output list = method(A::List);
    EXPECT_NE(list.out.find("M3-显示－B通道默认方法"), std::string::npos) << list.out;
    EXPECT_EQ(
        QSettings(QString::fromStdString(DataRoot(home_).settingsFile()), QSettings::IniFormat)
            .value("System/BDefaultProg")
            .toString(),
        QStringLiteral("M3"));
    ASSERT_EQ(method(A::Delete, [](auto& r) { r.name = "M3"; }).status, 0);
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/M3.she"));
}

// An operator with another system's chromatogram: the proposal with its figures, the peaks
// it finds against the file's own table, and the proposal put into a library method that
// keeps its other fields; a file that is no chromatogram changes nothing.
TEST_F(MethodCommandTest, SuggestProposesFromTheFileAndAppliesToAMethod)
{
    const std::string cdf = DGAWS_TESTDATA_DIR "/aia/uniform-0.4s.cdf";
    const std::string file = folder_ + "/QLDefault.she";
    const MethodLibraryEntry before = loadMethodFile(file);
    const Output j = method(A::Suggest, [&cdf](auto& r) { r.file = cdf, r.json = true; });
    ASSERT_EQ(j.status, 0) << j.err;
    const json doc = json::parse(j.out);
    EXPECT_EQ(doc["pointsPerSecond"], 3);
    EXPECT_GT(doc["figures"]["noise"].get<double>(), 0.0);
    EXPECT_TRUE(doc["figures"]["peakFound"].get<bool>());
    EXPECT_EQ(doc["storedPeaks"]["counted"], 8);
    EXPECT_EQ(doc["storedPeaks"]["matched"], 8);
    // Areas by the file's own rate, as the detector measures them: the other system's own
    // areas within a few per cent, not the ratio of the setting's divisor to the rate.
    for (const auto& m : doc["storedPeaks"]["matches"]) {
        EXPECT_GT(m["areaRatio"].get<double>(), 0.9) << m.dump();
        EXPECT_LT(m["areaRatio"].get<double>(), 1.2) << m.dump();
    }
    EXPECT_GE(doc["peaks"].size(), 8u);
    const int bunch = doc["proposal"]["peakWidth"].get<int>();
    const double slope = doc["proposal"]["slope"].get<double>();
    EXPECT_EQ(loadMethodFile(file).method, before.method) << "nothing applied without --apply";

    const Output text =
        method(A::Suggest, [&cdf](auto& r) { r.file = cdf, r.apply = "QLDefault"; });
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Narrowest peak: half width"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("8 of 8 peaks"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Applied to method QLDefault"), std::string::npos);
    const IntegrationParams applied = loadMethodFile(file).method.integration;
    EXPECT_EQ(applied.peakWidth, bunch);
    EXPECT_EQ(applied.slope, slope);
    EXPECT_EQ(applied.timeDoubling, 0.0);
    EXPECT_EQ(applied.stopTime, before.method.integration.stopTime);
    EXPECT_EQ(applied.heightRatio, before.method.integration.heightRatio);

    const std::string after = readWholeFile(file);
    const Output notChromatogram =
        method(A::Suggest, [&file](auto& r) { r.file = file, r.apply = "QLDefault"; });
    EXPECT_EQ(notChromatogram.status, 1);
    EXPECT_EQ(notChromatogram.out, "");
    const Output noMethod =
        method(A::Suggest, [&cdf](auto& r) { r.file = cdf, r.apply = "Nowhere"; });
    EXPECT_EQ(noMethod.err, "dgaws-cli: no method named Nowhere\n");
    EXPECT_EQ(readWholeFile(file), after);
}

}  // namespace
}  // namespace dgaws::cli::test
