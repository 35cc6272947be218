#include "DatabaseFixture.h"
#include "app/PreviousTest.h"
#include "app/RecordSchema.h"
#include "chromatogram/CivilTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace dgaws;
using dgaws::test::Engine;

namespace {

TestRecord testAt(const std::string& shownTime, double h2, int status = -1)
{
    TestRecord r;
    r.batchNo = "2024051701";
    r.injectTime = shownTime;
    r.values = {h2, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 14.0};
    r.status = status;
    return r;
}

std::vector<std::string> timesOf(const Result<std::vector<TestRecord>>& rows)
{
    std::vector<std::string> t;
    if (rows)
        for (const TestRecord& r : *rows)
            t.push_back(r.injectTime);
    return t;
}

using Strings = std::vector<std::string>;

// A row as databases written by earlier versions hold it.
std::string oldRow(int company, int device, const std::string& time, int broken)
{
    return "INSERT INTO ReportInfo (CompanyID, DeviceID, BatchNo, InjectTime, H2, CH4, C2H6, "
           "C2H4, C2H2, CO, CO2, O2, N2, AllC, Broken) VALUES (" +
        std::to_string(company) + ", " + std::to_string(device) + ", 'old', '" + time +
        "', 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, " + std::to_string(broken) + ")";
}

}  // namespace

using TestRecords = dgaws::test::DatabaseTest;

TEST_P(TestRecords, CompaniesAndTheirDevicesAreAddedRenamedAndDeletedByTheirRules)
{
    EXPECT_TRUE(db.addCompany("东郊变电站"));
    EXPECT_EQ(takeMessages(), Strings{"您已经成功添加了'送样公司'。"});
    EXPECT_FALSE(db.addCompany("东郊变电站"));
    EXPECT_EQ(takeMessages(), Strings{"存在同名'送样公司'!"});
    EXPECT_TRUE(db.addCompany("西郊变电站"));
    EXPECT_FALSE(db.addCompany(""));
    const int east = db.companyId("东郊变电站").value();
    const int west = db.companyId("西郊变电站").value();
    EXPECT_NE(east, west);
    EXPECT_EQ(db.companyId("东郊").value(), -1);
    EXPECT_FALSE(db.renameCompany(west, "东郊变电站"))
        << "two companies of one name could never be found";
    EXPECT_TRUE(db.renameCompany(west, "西郊站"));
    EXPECT_EQ(db.companyId("西郊站").value(), west);
    EXPECT_FALSE(db.renameCompany(-1, "x"));

    EXPECT_TRUE(db.addDevice("1号主变", east));
    EXPECT_TRUE(db.addDevice("1号主变", west)) << "the same name in another company is another";
    takeMessages();
    EXPECT_FALSE(db.addDevice("1号主变", east));
    EXPECT_EQ(takeMessages().back(), "该送样公司已有同名设备!");
    EXPECT_FALSE(db.addDevice("2号主变", 999999)) << "no such company";
    EXPECT_EQ(rowCount("DeviceInfo"), 2);
    const int inEast = db.deviceId("1号主变", east).value();
    const int inWest = db.deviceId("1号主变", west).value();
    EXPECT_NE(inEast, inWest);
    takeMessages();
    EXPECT_FALSE(db.deleteCompany(east));
    EXPECT_EQ(takeMessages(), Strings{"有关联设备，不能删除公司名!"});
    EXPECT_TRUE(db.modifyDevice(inEast, "3号主变", west));
    EXPECT_EQ(db.deviceId("3号主变", east).value(), -1);
    EXPECT_EQ(db.deviceId("3号主变", west).value(), inEast);
    EXPECT_FALSE(db.modifyDevice(inEast, "1号主变", west));
    EXPECT_TRUE(db.devices(east)->empty());
    EXPECT_FALSE(db.modifyDevice(-1, "x", east));
    EXPECT_FALSE(db.deleteDevice(-1));
    EXPECT_TRUE(db.deleteDevice(inEast));
    EXPECT_EQ(db.deviceName(inEast).value(), "未知设备");
    EXPECT_TRUE(db.deleteCompany(east));
    EXPECT_EQ(db.companyName(east).value(), "未知设备");
    EXPECT_FALSE(db.deleteCompany(-1));
    EXPECT_EQ(*db.companies(), (std::vector<TestRecordDatabase::Company>{{west, "西郊站"}}));
}

TEST_P(TestRecords, HostileNamesAreStoredAndFoundLikeAnyOtherName)
{
    const Strings names = {"O'Brien", "x'; drop table ReportInfo; --", "a\" OR \"1\"=\"1",
                           "100% ? $1 :name \\ '' ;", "'); DELETE FROM CompanyInfo; --"};
    for (size_t n = 0; n < names.size(); ++n) {
        const std::string& name = names[n];
        SCOPED_TRACE(name);
        ASSERT_TRUE(db.addCompany(name)) << lastMessage();
        const int id = db.companyId(name).value();
        EXPECT_EQ(db.companyName(id).value(), name);
        ASSERT_TRUE(db.addDevice(name, id)) << lastMessage();
        const int device = db.deviceId(name, id).value();
        EXPECT_EQ(db.deviceName(device).value(), name);

        TestRecord r = testAt("2024/05/17 09:30:1" + std::to_string(n), 12.5);
        r.batchNo = name;
        ASSERT_EQ(db.saveTest(name, name, r), TestSaveResult::Inserted) << lastMessage();
        const auto rows = db.queryTests(id, device, TestRange::All, std::time(nullptr));
        ASSERT_EQ(rows->size(), 1u);
        EXPECT_EQ(rows->front().batchNo, name);
        EXPECT_EQ(db.saveTest(name + "'", name, r), TestSaveResult::CompanyNotFound);
        EXPECT_EQ(db.deviceId(name + "' OR '1'='1", id).value(), -1);
    }
    EXPECT_EQ(rowCount("CompanyInfo"), static_cast<long long>(names.size()));
    EXPECT_EQ(rowCount("ReportInfo"), static_cast<long long>(names.size()));
}

TEST_P(TestRecords, ASaveInsertsThenReplacesTheSingleRowOfThatDeviceAndTime)
{
    const auto [company, device] = companyWithDevice("东郊变电站", "1号主变");
    const auto [company2, device2] = companyWithDevice("西郊变电站", "2号主变");
    takeMessages();
    TestRecord first = testAt("2024/05/17 09:30:15", 12.345, -2);
    first.values[TestRecord::CH4] = 2.225;
    EXPECT_EQ(db.saveTest("东郊变电站", "1号主变", first), TestSaveResult::Inserted);
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(db.saveTest("东郊变电站", "1号主变", testAt("2024/05/17 09:30:16", 1.0)),
              TestSaveResult::Inserted);
    // Another device sampled in the same second is another test: it keeps a row of its own.
    EXPECT_EQ(db.saveTest("西郊变电站", "2号主变", testAt("2024/05/17 09:30:15", 7.0)),
              TestSaveResult::Inserted);
    EXPECT_EQ(rowCount("ReportInfo"), 3);

    // The same device and time again, with other values, replaces that device's row only.
    TestRecord again = testAt("2024/05/17 09:30:15", 99.994, 3);
    again.batchNo = "2024051702";
    EXPECT_EQ(db.saveTest("西郊变电站", "2号主变", again), TestSaveResult::Replaced);
    EXPECT_EQ(takeMessages(), Strings{"已经重新已经更新了一行'数据库信息'。"});
    EXPECT_EQ(rowCount("ReportInfo"), 3);

    const auto replaced = db.queryTests(company2, device2, TestRange::All, std::time(nullptr));
    ASSERT_EQ(replaced->size(), 1u);
    const TestRecord& row = replaced->front();
    EXPECT_EQ(row.injectTime, "2024/05/17 09:30:15") << "the time itself is kept";
    EXPECT_EQ(row.batchNo, "2024051702");
    EXPECT_EQ(row.companyId, company2);
    EXPECT_EQ(row.deviceId, device2);
    EXPECT_DOUBLE_EQ(row.values[TestRecord::H2], 99.99) << "two decimals are kept";
    EXPECT_DOUBLE_EQ(row.values[TestRecord::AllC], 14.0);
    EXPECT_EQ(row.status, 0) << "only an exceeded attention value is abnormal";
    const auto rows = db.queryTests(company, device, TestRange::All, std::time(nullptr));
    EXPECT_EQ(timesOf(rows), (Strings{"2024/05/17 09:30:16", "2024/05/17 09:30:15"}));
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_DOUBLE_EQ(rows->back().values[TestRecord::H2], 12.35) << "untouched by the other";
    EXPECT_EQ(rows->back().status, 1);
    EXPECT_EQ(testRowTexts(1, rows->back(), "甲", "乙"),
              (Strings{"1", "2024/05/17 09:30:15", "12.35", "2.23", "3.00", "4.00", "5.00", "6.00",
                       "7.00", "8.00", "9.00", "14.00", "是", "甲", "乙", "2024051701"}));

    // Stored as a fixed-width text that orders as the times do, the columns in their order.
    EXPECT_EQ(rawRows("SELECT DISTINCT InjectTime FROM ReportInfo ORDER BY InjectTime"),
              (Strings{"2024-05-17 09:30:15", "2024-05-17 09:30:16"}));
    const std::string ofFirst =
        " FROM ReportInfo WHERE DeviceID = " + std::to_string(device) + " ORDER BY InjectTime";
    EXPECT_EQ(rawRows("SELECT Broken" + ofFirst), (Strings{"1", "0"}));
    EXPECT_EQ(rawRows("SELECT C2H6" + ofFirst), (Strings{"3", "3"}));
    EXPECT_EQ(rawRows("SELECT N2" + ofFirst), (Strings{"9", "9"}));
}

TEST_P(TestRecords, UnknownNamesUnusableValuesAndTwoRowsOfOneTimeSaveNothing)
{
    const auto [company, device] = companyWithDevice("甲", "甲的设备");
    companyWithDevice("乙", "乙的设备");
    takeMessages();
    EXPECT_EQ(db.saveTest("丙", "甲的设备", testAt("2024/01/01 08:00:00", 1.0)),
              TestSaveResult::CompanyNotFound);
    EXPECT_EQ(takeMessages(), Strings{TestRecordDatabase::kNoSuchCompany});
    EXPECT_EQ(db.saveTest("甲", "乙的设备", testAt("2024/01/01 08:00:00", 1.0)),
              TestSaveResult::DeviceNotFound);
    EXPECT_EQ(takeMessages().size(), 1u);
    for (const std::string bad : {"", "2024/1/1 8:00:00", "2024/13/01 08:00:00",
                                  "2024-01-01 08:00:00", "2024/01/01 08:00:00Z"}) {
        EXPECT_EQ(db.saveTest("甲", "甲的设备", testAt(bad, 1.0)), TestSaveResult::Failed) << bad;
        EXPECT_TRUE(lastMessage().ends_with("-数据库ReportInfo表插入数据出现问题!"))
            << lastMessage();
    }
    TestRecord nan = testAt("2024/01/01 08:00:00", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(db.saveTest("甲", "甲的设备", nan), TestSaveResult::Failed);
    EXPECT_EQ(rowCount("ReportInfo"), 0);

    for (int i = 0; i < 2; ++i)
        rawRows(oldRow(company, device, "2024-01-01 08:00:00", 0));
    takeMessages();
    EXPECT_EQ(db.saveTest("甲", "甲的设备", testAt("2024/01/01 08:00:00", 50.0)),
              TestSaveResult::NothingWritten);
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(rawRows("SELECT BatchNo FROM ReportInfo"), (Strings{"old", "old"}));
}

TEST_P(TestRecords, ADatabaseOfTheFirstLayoutIsBroughtUpToDateWithEveryRow)
{
    const auto [company, device] = companyWithDevice("甲", "乙");
    const auto [company2, device2] = companyWithDevice("丙", "丁");
    ASSERT_TRUE(db.close());
    // The layout as databases written before tests were matched by device held it: the
    // same tables, an index by time and no version.
    rawRows("DROP TABLE SchemaVersion");
    rawRows("DROP INDEX ReportInfoByDeviceTime");
    for (const char* column : {"VoltageKv", "OpenBreathing", "Standard"})
        rawRows(std::string("ALTER TABLE DeviceInfo DROP COLUMN ") + column);
    rawRows("CREATE INDEX ReportInfoByTime ON ReportInfo (InjectTime)");
    for (int i = 0; i < 3; ++i)
        rawRows(oldRow(company, device, "2024-01-0" + std::to_string(i + 1) + " 08:00:00", i % 2));

    for (int open = 0; open < 2; ++open) {
        ASSERT_TRUE(db.open(settings)) << lastMessage();
        EXPECT_EQ(rawRows("SELECT Version FROM SchemaVersion"),
                  Strings{std::to_string(currentRecordSchemaVersion())})
            << "recorded once, opening again changes nothing";
        ASSERT_TRUE(db.close());
    }
    ASSERT_TRUE(db.open(settings));
    EXPECT_EQ(timesOf(db.queryTests(company, device, TestRange::All, std::time(nullptr))),
              (Strings{"2024/01/03 08:00:00", "2024/01/02 08:00:00", "2024/01/01 08:00:00"}));
    EXPECT_EQ(rawRows("SELECT Broken FROM ReportInfo ORDER BY InjectTime"),
              (Strings{"0", "1", "0"}));
    // Devices keep their rows and are judged as before until given a class.
    EXPECT_EQ(db.deviceClass(device2).value(), DeviceClass{});
    const DeviceClass k500{500, true, JudgingStandard::IeeeC57104};
    ASSERT_TRUE(db.setDeviceClass(device2, k500));
    EXPECT_EQ(db.deviceClass("丙", "丁").value(), k500);
    EXPECT_EQ(db.deviceClass(device).value(), DeviceClass{});
    EXPECT_FALSE(db.setDeviceClass(device, {-5, false, JudgingStandard::Dlt722}));
    // The migrated database already matches by device.
    EXPECT_EQ(db.saveTest("丙", "丁", testAt("2024/01/02 08:00:00", 2.0)),
              TestSaveResult::Inserted);
    EXPECT_EQ(rowCount("ReportInfo"), 4);
    EXPECT_EQ(db.queryTests(company2, device2, TestRange::All, std::time(nullptr))->size(), 1u);
}

// Ranges, and the previous test of the gas production rates, are strictly before "now".
TEST_P(TestRecords, RangesAndThePreviousTestAreStrictlyBetweenTheirInstantsNewestFirst)
{
    // Ranges are counted in local time; a zone without summer time keeps the bounds whole.
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const auto [company, device] = companyWithDevice("甲", "乙");
    const auto [other, otherDevice] = companyWithDevice("丙", "丁");
    const Strings times = {
        "2024/03/08 00:00:30",  // exactly seven days before now: outside
        "2024/03/08 00:00:31",  // inside the week
        "2024/03/15 00:00:29",  // inside
        "2024/03/15 00:00:30",  // now itself: outside
        "2024/03/15 00:00:31",  // after now: only in "all"
        "2024/02/14 00:00:30",  // exactly thirty days before
        "2024/02/14 00:00:31",
        "2023/03/16 00:00:30",  // exactly 365 days before (2024 is a leap year)
        "2023/03/16 00:00:31", "2019/12/31 23:59:59",
    };
    for (size_t i = 0; i < times.size(); ++i)
        ASSERT_EQ(db.saveTest("甲", "乙", testAt(times[i], 10.0 + static_cast<double>(i))),
                  TestSaveResult::Inserted)
            << times[i];
    ASSERT_EQ(db.saveTest("丙", "丁", testAt("2024/03/10 12:00:00", 1.0)),
              TestSaveResult::Inserted);

    std::tm tm = test::civilTime(2024, 3, 15, 0, 0, 30);
    const std::time_t now = std::mktime(&tm);
    const auto query = [&, c = company, d = device](TestRange range) {
        return timesOf(db.queryTests(c, d, range, now));
    };
    const Strings week = {"2024/03/15 00:00:29", "2024/03/08 00:00:31"};
    EXPECT_EQ(query(TestRange::Week), week);
    Strings month = week;
    month.insert(month.end(), {"2024/03/08 00:00:30", "2024/02/14 00:00:31"});
    EXPECT_EQ(query(TestRange::Month), month);
    Strings year = month;
    year.insert(year.end(), {"2024/02/14 00:00:30", "2023/03/16 00:00:31"});
    EXPECT_EQ(query(TestRange::Year), year);
    const Strings all = query(TestRange::All);
    ASSERT_EQ(all.size(), times.size());
    EXPECT_EQ(all.front(), "2024/03/15 00:00:31");
    EXPECT_TRUE(std::is_sorted(all.rbegin(), all.rend()));
    EXPECT_EQ(timesOf(db.queryTests(other, otherDevice, TestRange::All, now)),
              Strings{"2024/03/10 12:00:00"});
    EXPECT_TRUE(db.queryTests(company, otherDevice, TestRange::All, now)->empty());

    // The previous test: the device's latest a second or more earlier, in the rate order.
    const auto previous =
        previousTestFromDatabase(db, "甲", "乙", OleDateTime::fromCivil(2024, 3, 15, 0, 0, 30));
    ASSERT_TRUE(previous);
    EXPECT_EQ(previous->testTime.format("%Y/%m/%d %H:%M:%S"), "2024/03/15 00:00:29");
    EXPECT_DOUBLE_EQ(previous->values[0], 2.0);   // CH4 first
    EXPECT_DOUBLE_EQ(previous->values[1], 5.0);   // then C2H2
    EXPECT_DOUBLE_EQ(previous->values[4], 12.0);  // H2 fifth
    EXPECT_FALSE(
        previousTestFromDatabase(db, "甲", "乙", OleDateTime::fromCivil(2019, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(previousTestFromDatabase(db, "乙", "乙", OleDateTime::fromCivil(2024, 3, 15)));
}

TEST_P(TestRecords, TheSchemaIsKeptAcrossOpensAndAFailureToConnectIsReported)
{
    companyWithDevice("甲", "乙");
    ASSERT_EQ(db.saveTest("甲", "乙", testAt("2024/01/01 08:00:00", 1.0)),
              TestSaveResult::Inserted);
    ASSERT_TRUE(db.close());
    EXPECT_EQ(db.close().error(), "Connectin is not available!");
    EXPECT_FALSE(db.companyId("甲")) << "nothing answers without a connection";

    TestRecordDatabase again;
    ASSERT_TRUE(again.open(settings));
    const int c = again.companyId("甲").value();
    const int old = again.deviceId("乙", c).value();
    EXPECT_EQ(again.queryTests(c, old, TestRange::All, std::time(nullptr))->size(), 1u);
    // An id is never handed out twice, so a new device cannot inherit an old one's tests.
    again.deleteDevice(old);
    again.addDevice("乙", c);
    EXPECT_NE(again.deviceId("乙", c).value(), old);

    DatabaseSettings bad = settings;
    if (GetParam() == Engine::SQLite)
        bad.sqliteFile = "/proc/no-such-place/toqlsh.db";
    else
        bad.databaseName = "no_such_database_here";
    TestRecordDatabase other;
    Strings shown;
    other.setMessageSink([&shown](const std::string& m) { shown.push_back(m); });
    const auto opened = other.open(bad);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(opened.error(), shown[0]);
    const std::string text = "-数据库连接出现问题，无法正常连接数据库!";
    EXPECT_TRUE(shown[0].ends_with(text)) << shown[0];
    EXPECT_GT(shown[0].size(), text.size()) << "the driver's own description comes first";
    // A save is not told the company is unknown: it is told why nothing could be saved.
    EXPECT_EQ(other.saveTest("甲", "乙", testAt("2024/01/01 08:00:00", 1.0)),
              TestSaveResult::Failed);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], shown[0] + "结果未保存到数据库。");
}
// Two programs saving into one database at once: every test arrives exactly once.
TEST_P(TestRecords, TwoProcessesSavingAtOnceLoseNothing)
{
    const auto [company, device] = companyWithDevice("甲", "乙");
    db.close();
    constexpr int kEach = 60;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t children[2];
    for (int k = 0; k < 2; ++k) {
        children[k] = ::fork();
        ASSERT_GE(children[k], 0);
        if (children[k] == 0) {
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 0)  // wait until the parent lets both go
                ::_exit(3);
            TestRecordDatabase mine;
            if (!mine.open(settings))
                ::_exit(2);
            bool ok = true;
            for (int i = 0; i < kEach && ok; ++i) {
                // Own minutes, and a shared minute both write: one row each in the end.
                char own[32], shared[32];
                std::snprintf(own, sizeof own, "2024/06/%02d 10:%02d:%02d", k + 1, i / 60, i % 60);
                std::snprintf(shared, sizeof shared, "2024/07/01 11:%02d:%02d", i / 60, i % 60);
                const auto a = mine.saveTest("甲", "乙", testAt(own, i));
                const auto b = mine.saveTest("甲", "乙", testAt(shared, k));
                ok = a == TestSaveResult::Inserted &&
                    (b == TestSaveResult::Inserted || b == TestSaveResult::Replaced);
            }
            mine.close();
            ::_exit(ok ? 0 : 1);
        }
    }
    ::close(go[0]);
    ::close(go[1]);  // both children start now
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(rawRows("SELECT COUNT(DISTINCT InjectTime) FROM ReportInfo"),
              Strings{std::to_string(3 * kEach)});
    ASSERT_TRUE(db.open(settings));
    EXPECT_EQ(db.queryTests(company, device, TestRange::All, std::time(nullptr))->size(),
              static_cast<size_t>(3 * kEach));
}

INSTANTIATE_TEST_SUITE_P(BothEngines, TestRecords,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);
