#include "dga/DiagnoseCommand.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dgaws;

namespace {

class DiagnoseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.method.sendingCompany = "东郊变电站";
        data.method.deviceNo = "1号主变";
        data.method.serialNo = "2024051701";
        data.injectionTime = OleDateTime::fromCivil(2024, 5, 17, 9, 3, 7);
        env.outGasRateUsed = false;
        env.collect = [this](ChromatogramData& d, ChromatogramData&) {
            d.gasInOil = typed;
            d.totalHydrocarbons =
                typed[gas::CH4] + typed[gas::C2H2] + typed[gas::C2H4] + typed[gas::C2H6];
            return DgaCollection{};
        };
        save = [this](const std::string& company, const std::string& device, TestRecord r) {
            calls.push_back(company + "/" + device);
            saved = r;
            return result;
        };
    }

    ChromatogramData data;
    ChromatogramData linked;
    DiagnosisEnvironment env;
    SaveTestStep save;
    std::array<double, 9> typed{};
    TestSaveResult result = TestSaveResult::Inserted;
    std::vector<std::string> calls;
    TestRecord saved;
};

}  // namespace

TEST_F(DiagnoseTest, SavesTheAttentionStateAndShowsTheDialogFields)
{
    // H2 CH4 C2H2 C2H4 C2H6 N2 O2 CO CO2
    typed = {200.0, 10.0, 0.0, 20.0, 10.0, 40000.0, 3000.0, 250.0, 1800.0};
    const auto view = diagnose(data, linked, env, save);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(calls, std::vector<std::string>{"东郊变电站/1号主变"});
    EXPECT_EQ(saved.batchNo, "2024051701");
    EXPECT_EQ(saved.injectTime, "2024/05/17 09:03:07");
    const std::array<double, 10> inColumnOrder = {200.0, 10.0,   10.0,   20.0,    0.0,
                                                  250.0, 1800.0, 3000.0, 40000.0, 40.0};
    EXPECT_EQ(saved.values, inColumnOrder);
    EXPECT_EQ(saved.status, -2);

    EXPECT_EQ(view->totalHydrocarbons, "40.0000");
    EXPECT_EQ(view->ratioCodes, "") << "empty until the judgement";
    EXPECT_EQ(view->conclusion, "含量超过注意值");
    EXPECT_TRUE(view->judgementOffered());

    // Codes 0,1,1 name no fault: the attention texts stay and the codes show.
    const DiagnosisView judged = judgeFromDialog(data);
    EXPECT_EQ(judged.ratioCodes, "0,1,1");
    EXPECT_EQ(judged.diagnosisCode, -2);
    EXPECT_EQ(judged.advice, "氢气含量超过了150uL/L，请注意\r\n");
}

TEST_F(DiagnoseTest, UnknownCompanyOrDeviceStopsBeforeTheDialog)
{
    typed[gas::H2] = 10.0;
    for (TestSaveResult r : {TestSaveResult::CompanyNotFound, TestSaveResult::DeviceNotFound}) {
        result = r;
        EXPECT_FALSE(diagnose(data, linked, env, save).has_value());
        EXPECT_EQ(data.conclusion, "含量无异常") << "results are recomputed all the same";
    }
    for (TestSaveResult r :
         {TestSaveResult::Failed, TestSaveResult::NothingWritten, TestSaveResult::Replaced}) {
        result = r;
        EXPECT_TRUE(diagnose(data, linked, env, save).has_value());
    }
}

TEST_F(DiagnoseTest, NoHydrocarbonsAtAllIsSaidToBeNoResultNotZero)
{
    typed[gas::H2] = 10.0;
    const auto view = diagnose(data, linked, env, save);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->totalHydrocarbons, kTotalNotObtained);
}

TEST_F(DiagnoseTest, HalfATestIsSaidAndNeitherJudgedNorSaved)
{
    std::vector<std::string> said;
    env.showMessage = [&said](const std::string& m) { said.push_back(m); };
    env.collect = [](ChromatogramData&, ChromatogramData&) {
        DgaCollection c;
        c.linkedPath = "B_7.chg";
        c.linkedError = "no such file";
        return c;
    };
    EXPECT_FALSE(diagnose(data, linked, env, save).has_value());
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("B_7.chg"), std::string::npos) << said[0];
    EXPECT_TRUE(calls.empty());
}
