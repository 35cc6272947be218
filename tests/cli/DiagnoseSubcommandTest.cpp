#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "cli/DbSubcommand.h"
#include "cli/DiagnoseSubcommand.h"
#include "dga/RateRecord.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;
using DbObject = DbRequest::Object;
using DbAction = DbRequest::Action;

PeakRecord gasPeak(const std::string& name, double oil)
{
    PeakRecord p;
    p.componentName = name;
    p.oilContent = oil;
    return p;
}

class DiagnoseCliTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        options.home = path("home");
        // Stands in for the gas collection: fixed contents, and a note of the path it got.
        collect = [this](ChromatogramData& d, ChromatogramData&, const std::string& own) {
            collectedFrom.push_back(own);
            d.gasInOil = contents;
            d.totalHydrocarbons = contents[gas::CH4] + contents[gas::C2H2] + contents[gas::C2H4] +
                contents[gas::C2H6];
        };
    }

    Output run()
    {
        return captured([&](std::ostream& out, std::ostream& err) {
            return runDiagnose(options, collect, out, err);
        });
    }
    json runJson()
    {
        options.json = true;
        const Output r = run();
        EXPECT_EQ(r.status, 0) << r.err;
        lastErr = r.err;
        return r.status == 0 ? json::parse(r.out) : json();
    }

    // A test chromatogram of 2023-01-11 08:00 with an H2 peak of 40 uL/L, ten days after
    // its previous test, in equipment of 20 t of oil at 0.88 t/m3.
    std::string writeTest(const std::string& name)
    {
        ChromatogramData d;
        d.injectionTime = OleDateTime::fromCivil(2023, 1, 11, 8, 0, 0);
        d.method.sendingCompany = "东郊变电站";
        d.method.deviceNo = "1号主变";
        d.method.serialNo = "2023011101";
        d.method.oilValue1 = 20.0;
        d.method.oilValue2 = 0.88;
        d.method.testRecord.testTime = OleDateTime::fromCivil(2023, 1, 1, 8, 0, 0);
        d.peaks.append(gasPeak("H2(氢气)", 40.0));
        const std::string file = path(name);
        writeChromatogramFile(file, d);
        return file;
    }
    std::string writePrevious(const OleDateTime& when, double h2)
    {
        RateRecord r;
        r.testTime = when;
        r.values[rate::H2] = h2;
        const std::string file = path("previous.lcd");
        EXPECT_EQ(saveRateRecord(r, file), 1);
        return file;
    }
    // A request on the company, device or tests of the test chromatogram.
    Output db(DbObject object, DbAction action = DbAction::Add, const std::string& name = {},
              std::optional<double> voltageKv = {}, const std::string& standard = {})
    {
        DbRequest r;
        r.object = object;
        r.action = action;
        r.name = name;
        r.company = object == DbObject::Company ? std::string() : "东郊变电站";
        r.device = "1号主变";
        r.voltageKv = voltageKv;
        r.standard = standard;
        r.home = options.home;
        r.json = true;
        return call(runDb, r);
    }
    void addCompanyAndDevice()
    {
        ASSERT_EQ(db(DbObject::Company, DbAction::Add, "东郊变电站").status, 0);
        ASSERT_EQ(db(DbObject::Device, DbAction::Add, "1号主变").status, 0);
    }
    json storedTests() { return json::parse(db(DbObject::Tests, DbAction::List).out)["tests"]; }

    DiagnoseOptions options;
    CollectFromPeaks collect;
    std::array<double, 9> contents{};
    std::vector<std::string> collectedFrom;
    std::string lastErr;
};

TEST_F(DiagnoseCliTest, OptionsThatDoNotFitAreUsageErrors)
{
    const std::vector<std::vector<std::string>> badGases = {
        {"H2"}, {"H3=1"}, {"H2=1", "H2(氢气)=2"}, {"H2=-1"}, {"H2=1e999"}, {"H2=1x"}};
    for (const auto& g : badGases) {
        options.gases = g;
        const Output r = run();
        EXPECT_EQ(r.status, 2) << g[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("--gas"), std::string::npos) << r.err;
    }
    options.gases = {};
    EXPECT_EQ(run().status, 2) << "neither a file nor contents";
    options.gases = {"H2=1"};
    options.file = writeTest("A.chg");
    EXPECT_EQ(run().status, 2) << "both";
    options.file.clear();
    options.saveDb = true;
    EXPECT_EQ(run().status, 2) << "typed contents name no company or device";
}

TEST_F(DiagnoseCliTest, ChromatogramRatesAgainstThePreviousTestAndTheLinkedOne)
{
    options.file = writeTest("A.chg");
    options.previous = writePrevious(OleDateTime::fromCivil(2023, 1, 1, 8, 0, 0), 10.0);
    ChromatogramData other;
    other.peaks.append(gasPeak("C2H4(乙烯)", 11.0));
    writeChromatogramFile(path("B.chg"), other);
    options.linked = path("B.chg");
    contents[gas::H2] = 40.0;

    const json j = runJson();
    EXPECT_EQ(collectedFrom, std::vector<std::string>{options.file});
    EXPECT_NEAR(j["gasRates"]["H2(氢气)"].get<double>(), 68.1818, 1e-4);
    EXPECT_NEAR(j["gasRates"]["C2H4(乙烯)"].get<double>(), 1.1 * 20.0 / 0.88, 1e-9);

    // The chromatogram's own previous test (ten days back, all 0) when none is given.
    options.previous.clear();
    const json own = runJson();
    EXPECT_NEAR(own["gasRates"]["H2(氢气)"].get<double>(), 4.0 * 20.0 / 0.88, 1e-9);

    // OutGasRateUsed off: no rates at all.
    std::filesystem::create_directories(options.home);
    writeFileAtomically(path("home/dgaws.ini"), "[System]\nOutGasRateUsed=0\n");
    EXPECT_EQ(runJson()["gasRates"], nullptr);
    EXPECT_FALSE(std::filesystem::exists(path("home/toqlsh.db")))
        << "a diagnosis that saves nothing creates no database";
}

TEST_F(DiagnoseCliTest, LessThanADayIsAnsweredByTheFlag)
{
    options.file = writeTest("A.chg");
    options.previous = writePrevious(OleDateTime::fromCivil(2023, 1, 11, 20, 0, 0), 10.0);
    contents[gas::H2] = 40.0;

    const json refused = runJson();
    EXPECT_EQ(refused["gasRates"], nullptr);
    EXPECT_NE(lastErr.find("需要强制转化为1计算吗? 否"), std::string::npos) << lastErr;
    EXPECT_NE(lastErr.find("产气率计算失败!"), std::string::npos) << lastErr;

    options.forceOneDay = true;
    const json forced = runJson();
    EXPECT_NEAR(forced["gasRates"]["H2(氢气)"].get<double>(), 30.0 * 20.0 / 0.88, 1e-9);
    EXPECT_EQ(lastErr.find("产气率计算失败!"), std::string::npos);
}

TEST_F(DiagnoseCliTest, SavingIntoTheDatabaseByTheChromatogramsCompanyAndDevice)
{
    options.file = writeTest("A.chg");
    contents[gas::H2] = 200.0;
    options.saveDb = true;
    options.json = true;

    const Output unknown = run();
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.out.empty()) << "nothing is shown without the company";

    addCompanyAndDevice();
    EXPECT_EQ(runJson()["database"], "inserted");
    EXPECT_EQ(runJson()["database"], "replaced");
    EXPECT_NE(lastErr.find("已经重新已经更新了一行'数据库信息'。"), std::string::npos);
    const json rows = storedTests();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["BatchNo"], "2023011101");
    EXPECT_EQ(rows[0]["H2"], 200.0);
}

TEST_F(DiagnoseCliTest, RecordingTheTestForTheNextDiagnosis)
{
    options.file = writeTest("A.chg");
    options.linked = "/data/B.chg";
    contents = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    options.recordLcd = path("next.lcd");
    runJson();
    EXPECT_NE(lastErr.find("记录成功！"), std::string::npos);
    const RateRecord r = readRateRecordFile(options.recordLcd);
    EXPECT_EQ(r.testTime, OleDateTime::fromCivil(2023, 1, 11, 8, 0, 0));
    EXPECT_EQ(r.text1, std::filesystem::absolute(options.file).string());
    EXPECT_EQ(r.text2, "/data/B.chg");
    EXPECT_EQ(r.values[rate::CH4], 2.0);

    options.recordLcd = path("no/folder/next.lcd");
    const Output failed = run();
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("保存绝对产气率计算数据文件失败。"), std::string::npos);
}

TEST_F(DiagnoseCliTest, UnreadableInputsFailWithTheirReason)
{
    options.file = path("missing.chg");
    Output r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);

    options.file = writeTest("A.chg");
    writeFileAtomically(path("bad.lcd"), "short");
    options.previous = path("bad.lcd");
    r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("载入绝对产气率计算数据文件失败。"), std::string::npos) << r.err;
    EXPECT_TRUE(collectedFrom.empty()) << "nothing is diagnosed";
}

TEST_F(DiagnoseCliTest, RelativeLinkedPathIsTakenFromTheWorkingDirectory)
{
    std::filesystem::create_directories(path("a"));
    std::filesystem::create_directories(path("b"));
    options.file = writeTest("a/A.chg");
    ChromatogramData other;
    other.peaks.append(gasPeak("C2H4(乙烯)", 11.0));
    writeChromatogramFile(path("b/B.chg"), other);
    collect = nullptr;  // the tool's own collection reads the linked file

    options.linked = path("b/B.chg");
    const json absolute = runJson();
    struct BackTo {
        std::filesystem::path dir = std::filesystem::current_path();
        ~BackTo() { std::filesystem::current_path(dir); }
    } backTo;
    std::filesystem::current_path(dir_);
    options.linked = "b/B.chg";
    const json relative = runJson();
    EXPECT_EQ(relative["gasInOil"]["C2H4(乙烯)"], 11.0);
    EXPECT_EQ(relative, absolute);
}

TEST_F(DiagnoseCliTest, UnreadableLinkedFileIsAnErrorAndNothingIsSaved)
{
    options.file = writeTest("A.chg");
    addCompanyAndDevice();
    collect = nullptr;
    options.linked = path("missing.chg");
    options.saveDb = true;

    const Output r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("关联文件 " + options.linked), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
    EXPECT_TRUE(storedTests().empty());
}

// Rates need the previous test and the oil mass and density of the equipment; each missing
// one is named, and a missing density divides nothing.
TEST_F(DiagnoseCliTest, RatesWithoutTheOilDensityNameWhatIsMissing)
{
    options.file = writeTest("A.chg");
    ChromatogramData d = readChromatogramFile(options.file);
    d.method.oilValue2 = 0.0;
    writeChromatogramFile(options.file, d);
    const Output r = run();
    EXPECT_NE(r.out.find("绝对产气率: 未计算产气率：缺少油的密度\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("nan"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("inf"), std::string::npos) << r.out;
}

// The limits of each class and standard and every method's reading are golden documents;
// here the text's note below the attention values and the classes that do not exist.
TEST_F(DiagnoseCliTest, BelowTheAttentionValuesTheTextSaysTheMethodsNameNoFault)
{
    options.gases = {"H2=20", "CH4=10", "C2H6=5", "C2H4=3", "C2H2=2"};
    const std::string note = "各气体含量均未超过注意值，以下判断仅供参考";
    for (const double voltage : {500.0, 110.0}) {
        options.voltageKv = voltage;
        const std::string text = run().out;
        const size_t duval = text.find("Duval 三角形 1: D1 (");
        ASSERT_NE(duval, std::string::npos) << text;
        if (voltage == 500.0)
            EXPECT_EQ(text.find(note), std::string::npos) << text;
        else
            EXPECT_LT(text.find(note), duval) << text;
    }
    for (const auto& [voltage, standard] :
         std::vector<std::pair<double, std::string>>{{-1, "dlt722"}, {110, "ieee"}}) {
        options.voltageKv = voltage;
        options.standard = standard;
        const Output r = run();
        EXPECT_EQ(r.status, 2) << voltage << standard;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(DiagnoseCliTest, TheDevicesClassInTheDatabaseJudgesItsTestsUnlessOverridden)
{
    addCompanyAndDevice();
    ASSERT_EQ(db(DbObject::Device, DbAction::Set, "1号主变", 500).status, 0);
    const json devices = json::parse(db(DbObject::Device, DbAction::List).out);
    EXPECT_EQ(devices[0]["voltageKv"], 500.0);
    EXPECT_EQ(devices[0]["standard"], "dlt722");
    EXPECT_EQ(db(DbObject::Device, DbAction::Set, "1号主变", 500, "ieee").status, 2);

    options.file = writeTest("A.chg");
    options.saveDb = true;
    contents[gas::C2H2] = 2.0;
    json j = runJson();
    EXPECT_EQ(j["limits"]["voltageKv"], 500.0);
    EXPECT_EQ(j["attention"]["exceeded"], true);
    EXPECT_EQ(storedTests()[0]["Broken"], 1) << "the 500 kV attention value marks the row";
    // A diagnosis that saves nothing judges the device by its class all the same.
    options.saveDb = false;
    j = runJson();
    EXPECT_EQ(j["limits"]["voltageKv"], 500.0);
    EXPECT_EQ(j["attention"]["exceeded"], true);
    options.voltageKv = 110;
    j = runJson();
    EXPECT_EQ(j["attention"]["exceeded"], false);
}

}  // namespace
}  // namespace dgaws::cli::test
