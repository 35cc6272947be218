#include "DatabaseFixture.h"

#include "app/PreviousTest.h"

using namespace dgaws;
using namespace dgaws::test;

class PreviousTestFromDatabase : public DatabaseTest {};

TEST_P(PreviousTestFromDatabase, TheLatestEarlierTestOfTheDeviceInTheRateOrder)
{
    ASSERT_TRUE(db.addCompany("东郊变电站"));
    const int company = db.companyId("东郊变电站").value();
    ASSERT_TRUE(db.addDevice("1号主变", company));
    ASSERT_TRUE(db.addDevice("2号主变", company));
    const auto save = [&](const char* device, const char* time, double h2, double ch4) {
        TestRecord t;
        t.injectTime = time;
        t.values[TestRecord::H2] = h2;
        t.values[TestRecord::CH4] = ch4;
        t.values[TestRecord::C2H2] = 1.5;
        ASSERT_EQ(db.saveTest("东郊变电站", device, t), TestSaveResult::Inserted);
    };
    save("1号主变", "2026/10/01 09:00:00", 10.0, 20.0);
    save("1号主变", "2026/11/01 09:00:00", 12.0, 22.0);
    save("1号主变", "2026/12/01 09:00:00", 14.0, 24.0);  // the test itself
    save("2号主变", "2026/11/20 09:00:00", 99.0, 99.0);  // another device

    const auto previous = previousTestFromDatabase(db, "东郊变电站", "1号主变",
                                                   OleDateTime::fromCivil(2026, 12, 1, 9, 0, 0));
    ASSERT_TRUE(previous);
    EXPECT_EQ(previous->testTime.format("%Y/%m/%d %H:%M:%S"), "2026/11/01 09:00:00");
    EXPECT_DOUBLE_EQ(previous->values[0], 22.0);  // CH4 first
    EXPECT_DOUBLE_EQ(previous->values[1], 1.5);   // then C2H2
    EXPECT_DOUBLE_EQ(previous->values[4], 12.0);  // H2 fifth

    EXPECT_FALSE(previousTestFromDatabase(db, "东郊变电站", "1号主变",
                                          OleDateTime::fromCivil(2026, 10, 1, 9, 0, 0)));
    EXPECT_FALSE(previousTestFromDatabase(db, "西郊变电站", "1号主变",
                                          OleDateTime::fromCivil(2026, 12, 1, 9, 0, 0)));
}

INSTANTIATE_TEST_SUITE_P(Engines, PreviousTestFromDatabase,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);
