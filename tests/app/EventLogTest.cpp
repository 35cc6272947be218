#include "app/CLogManage.h"

#include "../chromatogram/TempDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

const QDateTime kTime(QDate(2024, 1, 2), QTime(3, 4, 5));

CLog readBack(const std::string& path)
{
    CLogManage other(path);
    EXPECT_TRUE(other.loadLog());
    return other.copy();
}

}  // namespace

TEST(EventLog, EachEntryIsOnDiskAsSoonAsItIsAddedInOrderAndInWholeSeconds)
{
    TempDir dir;
    const std::string path = dir.path("QLLog/QL1.DB");
    CLogManage log(path);
    ASSERT_TRUE(log.loadLog());
    for (int i = 0; i < 20; ++i)  // equal times must still keep their order
        ASSERT_TRUE(log.addToLog(kTime.addMSecs(i * 100), "e" + std::to_string(i)));
    // No saveLog: a crash here must not lose what was logged.
    const CLog seen = readBack(path);
    ASSERT_EQ(seen.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(seen[static_cast<size_t>(i)].text, "e" + std::to_string(i));
        EXPECT_EQ(seen[static_cast<size_t>(i)].time.time().msec(), 0);
    }
    EXPECT_TRUE(log.saveLog());
    log.addToLog(kTime, "after save");
    EXPECT_EQ(readBack(path).back().text, "after save") << "adding after saveLog reopens the file";
}

TEST(EventLog, TheFileRefusesToChangeOrLoseEntries)
{
    TempDir dir;
    const std::string path = dir.path("QL.DB");
    CLogManage log(path);
    log.loadLog();
    log.addToLog(kTime, "kept");
    log.saveLog();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "tamper");
        db.setDatabaseName(QString::fromStdString(path));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_FALSE(q.exec("DELETE FROM entries"));
        EXPECT_FALSE(q.exec("UPDATE entries SET text = 'changed'"));
        db.close();
    }
    QSqlDatabase::removeDatabase("tamper");
    ASSERT_EQ(readBack(path).size(), 1u);
    EXPECT_EQ(readBack(path)[0].text, "kept");
}

// Entries that could not be written stay in memory and follow once the folder is usable; a
// file that is no log is not taken for one.
TEST(EventLog, UnwrittenEntriesFollowOnceTheFolderIsUsableAndOtherFilesAreRefused)
{
    TempDir dir;
    std::ofstream(dir.path("QLLog")) << std::string(4096, 'z');  // a file where the folder goes
    CLogManage notALog(dir.path("QLLog"));
    EXPECT_FALSE(notALog.loadLog());
    EXPECT_EQ(notALog.count(), 0);
    EXPECT_FALSE(notALog.lastError().isEmpty());

    const std::string path = dir.path("QLLog/QL.DB");
    CLogManage log(path);
    EXPECT_FALSE(log.loadLog());
    EXPECT_FALSE(log.addToLog(kTime, "one"));
    EXPECT_FALSE(log.addToLog(kTime, "two"));
    EXPECT_EQ(log.count(), 2) << "the entries stay in memory";
    EXPECT_EQ(log.unwritten(), 2);
    std::filesystem::remove(dir.path("QLLog"));
    EXPECT_TRUE(log.saveLog());
    EXPECT_EQ(log.unwritten(), 0);
    const CLog seen = readBack(path);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, "two");
    EXPECT_TRUE(log.loadLog());
    EXPECT_TRUE(log.lastError().isEmpty()) << "a load that works clears the last error";
}
