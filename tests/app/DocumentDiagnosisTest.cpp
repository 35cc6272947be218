#include "DatabaseFixture.h"

#include "app/DocumentDiagnosis.h"
#include "chromatogram/ChromatogramFile.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

using namespace dgaws;
using dgaws::test::Engine;

namespace {

class DocumentDiagnosisTest : public dgaws::test::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        doc.pathName = dir.path("A.chg");
        doc.data.method.sendingCompany = "东郊变电站";
        doc.data.method.deviceNo = "1号主变";
        doc.data.injectionTime = OleDateTime::fromCivil(2024, 4, 11, 9, 0, 0);
        doc.data.method.testRecord.testTime = OleDateTime::fromCivil(2024, 4, 1, 9, 0, 0);
        doc.data.method.oilValue1 = 20.0;
        doc.data.method.oilValue2 = 0.88;
        PeakRecord h2;
        h2.componentName = "H2(氢气)";
        h2.oilContent = 300.0;
        doc.data.peaks.append(h2);
        env.showMessage = [this](const std::string& m) { shown.push_back(m); };
    }

    CChrEDoc doc;
    DiagnosisEnvironment env;
    std::vector<std::string> shown;
};

}  // namespace

TEST_P(DocumentDiagnosisTest, SavesMarksModifiedAndReadsTheLinkedFileBesideTheDocument)
{
    ChromatogramData other;
    PeakRecord p;
    p.componentName = "C2H4(乙烯)";
    p.oilContent = 8.0;
    other.peaks.append(p);
    writeChromatogramFile(dir.path("B.chg"), other);
    doc.data.linkedFile = "B.chg";
    const auto [company, device] = companyWithDevice("东郊变电站", "1号主变");

    const auto view = diagnoseDocument(doc, env, &db);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(doc.data.gasInOil[gas::H2], 300.0) << "gases of both chromatograms";
    EXPECT_EQ(doc.data.gasInOil[gas::C2H4], 8.0);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(view->ratesComputed);
    EXPECT_EQ(doc.linkedData.peaks.size(), 1);
    EXPECT_NEAR(doc.data.working.gasRates[rate::C2H4], 0.8 * 20.0 / 0.88, 1e-9);
    const auto rows = db.queryTests(company, device, TestRange::All, std::time(nullptr));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front().injectTime, "2024/04/11 09:00:00");
    EXPECT_EQ(rows->front().status, 1);

    // The window redraws (and prints) from the linked chromatogram it reads again: the rates
    // the diagnosis computed on it stay, and "插入数据库" gathering the contents keeps them.
    const double rate = doc.data.working.gasRates[rate::C2H4];
    ASSERT_GT(rate, 0.0);
    doc.readLinkedData();
    ASSERT_EQ(doc.linkedData.peaks.size(), 1);
    EXPECT_EQ(doc.linkedData.peaks[0].workValue, rate);
    EXPECT_TRUE(doc.collectDgaValues().linkedRead);
    doc.readLinkedData();
    EXPECT_EQ(doc.linkedData.peaks[0].workValue, rate);
    // A linked file changed on disk is read afresh.
    other.peaks[0].oilContent = 9.0;
    writeChromatogramFile(dir.path("B.chg"), other);
    doc.readLinkedData();
    EXPECT_EQ(doc.linkedData.peaks[0].oilContent, 9.0);
    EXPECT_EQ(doc.linkedData.peaks[0].workValue, 0.0);
    other.peaks[0].oilContent = 8.0;
    other.peaks.append(p);
    writeChromatogramFile(dir.path("B.chg"), other);
    doc.readLinkedData();
    EXPECT_EQ(doc.linkedData.peaks.size(), 2);

    // Judged, the test is still abnormal: saved again, its row keeps Broken = 1.
    doc.data.diagnosisCode = 3;  // as "三比值判定" leaves it once it names a fault
    EXPECT_EQ(db.saveTest("东郊变电站", "1号主变", makeTestRecord(doc.data)),
              TestSaveResult::Replaced);
    EXPECT_EQ(rawRows("SELECT Broken FROM ReportInfo"), std::vector<std::string>{"1"});
}

TEST_P(DocumentDiagnosisTest, AnUnreachableDatabaseIsSaidSoAndTheDiagnosisStillShows)
{
    DatabaseSettings nowhere = settings;
    if (GetParam() == Engine::SQLite)
        nowhere.sqliteFile = "/proc/no-such-place/toqlsh.db";
    else
        nowhere.databaseName = "no_such_database_here";
    TestRecordDatabase unreachable;
    unreachable.setMessageSink([this](const std::string& m) { shown.push_back(m); });
    ASSERT_FALSE(unreachable.open(nowhere));
    const std::string engineSaid = shown.at(0);
    shown.clear();

    const auto view = diagnoseDocument(doc, env, &unreachable);
    ASSERT_TRUE(view.has_value()) << "only the save is skipped";
    EXPECT_EQ(view->conclusion, "含量超过注意值");
    ASSERT_EQ(shown.size(), 1u);
    const std::string connectFailed = TestRecordDatabase::kConnectFailed;
    EXPECT_EQ(shown[0],
              engineSaid.substr(0, engineSaid.size() - connectFailed.size()) + connectFailed +
                  "结果未保存到数据库。");
    EXPECT_TRUE(doc.isModified());
}

// An unknown device, then an unreadable linked file: each is said, nothing is saved and the
// document stays unmodified with its own contents.
TEST_P(DocumentDiagnosisTest, AnUnknownDeviceOrUnreadableLinkedFileSavesNothing)
{
    companyWithDevice("东郊变电站", "2号主变");
    takeMessages();
    EXPECT_FALSE(diagnoseDocument(doc, env, &db).has_value());
    EXPECT_EQ(
        takeMessages(),
        std::vector<std::string>{
            "不存在对应的设备名，结果无法保存到数据库，请重新输入公司名和设备名，再点诊断。"});
    EXPECT_FALSE(doc.isModified());

    db.addDevice("1号主变", db.companyId("东郊变电站").value());
    doc.data.linkedFile = "B.chg";
    EXPECT_FALSE(diagnoseDocument(doc, env, &db).has_value());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("关联文件 " + dir.path("B.chg")), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find("No such file or directory"), std::string::npos) << shown[0];
    EXPECT_EQ(doc.data.gasInOil[gas::H2], 300.0) << "the own chromatogram's contents stand";
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(rowCount("ReportInfo"), 0);
}

INSTANTIATE_TEST_SUITE_P(BothEngines, DocumentDiagnosisTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);
