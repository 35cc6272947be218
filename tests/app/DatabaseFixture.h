#pragma once

// The test-record database on both engines: every test of a suite built on
// DatabaseTest runs once on an SQLite file of its own and once on a database of its own in
// the PostgreSQL server named by DGAWS_TEST_POSTGRES (test.sh starts one). Without that
// variable the PostgreSQL runs are skipped; with it, a server that cannot be reached fails.
#include "app/TestRecordDatabase.h"

#include "chromatogram/TempDir.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace dgaws::test {

enum class Engine { SQLite, PostgreSQL };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

class DatabaseTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::SQLite) {
            settings = DatabaseSettings::sqliteIn(dir.root().string());
        } else {
            const char* server = std::getenv("DGAWS_TEST_POSTGRES");
            if (server == nullptr || *server == '\0')
                GTEST_SKIP() << "DGAWS_TEST_POSTGRES is not set (test.sh starts a server)";
            settings = DatabaseSettings::fromConnectionText(server, dir.root().string());
            createServerDatabase();
        }
        db.setMessageSink([this](const std::string& m) { messages.push_back(m); });
        ASSERT_TRUE(db.open(settings)) << lastMessage();
    }

    void TearDown() override
    {
        db.close();
        if (!rawName_.empty()) {
            QSqlDatabase::database(QString::fromStdString(rawName_), false).close();
            QSqlDatabase::removeDatabase(QString::fromStdString(rawName_));
        }
        if (!serverDatabase.empty())
            adminExec("DROP DATABASE IF EXISTS " + serverDatabase + " WITH (FORCE)");
    }

    std::string lastMessage() const { return messages.empty() ? std::string() : messages.back(); }
    // Messages since the last call.
    std::vector<std::string> takeMessages() { return std::exchange(messages, {}); }

    // A second, independent connection to the same database, for what the class under test
    // must not be trusted to report about itself.
    QSqlDatabase raw()
    {
        if (rawName_.empty()) {
            static int counter = 0;
            rawName_ = "raw-" + std::to_string(++counter);
            QSqlDatabase c =
                QSqlDatabase::addDatabase(GetParam() == Engine::SQLite ? "QSQLITE" : "QPSQL",
                                          QString::fromStdString(rawName_));
            if (GetParam() == Engine::SQLite) {
                c.setDatabaseName(QString::fromStdString(settings.sqliteFile));
            } else {
                c.setHostName(QString::fromStdString(settings.host));
                c.setPort(settings.port);
                c.setUserName(QString::fromStdString(settings.user));
                c.setDatabaseName(QString::fromStdString(settings.databaseName));
            }
            EXPECT_TRUE(c.open()) << c.lastError().text().toStdString();
        }
        return QSqlDatabase::database(QString::fromStdString(rawName_));
    }
    // Runs a statement on the raw connection; the first column of every row as text.
    std::vector<std::string> rawRows(const std::string& sql)
    {
        QSqlQuery q(raw());
        EXPECT_TRUE(q.exec(QString::fromStdString(sql))) << q.lastError().text().toStdString();
        std::vector<std::string> rows;
        while (q.next())
            rows.push_back(q.value(0).toString().toStdString());
        return rows;
    }
    long long rowCount(const std::string& table)
    {
        const auto rows = rawRows("SELECT COUNT(*) FROM " + table);
        return rows.empty() ? -1 : std::stoll(rows[0]);
    }

    // A company with one device, the ids returned.
    std::pair<int, int> companyWithDevice(const std::string& company, const std::string& device)
    {
        db.addCompany(company);
        const int c = db.companyId(company).value();
        db.addDevice(device, c);
        return {c, db.deviceId(device, c).value()};
    }

    TempDir dir;
    DatabaseSettings settings;
    TestRecordDatabase db;
    std::vector<std::string> messages;
    std::string serverDatabase;

private:
    void createServerDatabase()
    {
        std::random_device rd;
        serverDatabase =
            "dgaws_t_" + std::to_string(::getpid()) + "_" + std::to_string(rd() % 1000000);
        adminExec("CREATE DATABASE " + serverDatabase);
        settings.databaseName = serverDatabase;
    }
    void adminExec(const std::string& sql)
    {
        const QString name = QStringLiteral("admin");
        QSqlDatabase admin = QSqlDatabase::contains(name)
            ? QSqlDatabase::database(name)
            : QSqlDatabase::addDatabase("QPSQL", name);
        admin.setHostName(QString::fromStdString(settings.host));
        admin.setPort(settings.port);
        admin.setUserName(QString::fromStdString(settings.user));
        admin.setDatabaseName(QStringLiteral("postgres"));
        ASSERT_TRUE(admin.isOpen() || admin.open()) << admin.lastError().text().toStdString();
        QSqlQuery q(admin);
        ASSERT_TRUE(q.exec(QString::fromStdString(sql))) << q.lastError().text().toStdString();
    }

    std::string rawName_;
};

}  // namespace dgaws::test
