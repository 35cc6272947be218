#include "cli/CliTestSupport.h"

#include "app/DatabaseSettings.h"
#include "chromatogram/FileIO.h"
#include "cli/DbSubcommand.h"
#include "cli/QtRuntime.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;
using O = DbRequest::Object;
using A = DbRequest::Action;

class DbCliTest : public TempDirTest {
protected:
    Output db(O object, A action, const std::string& name = {}, const std::string& second = {},
              const std::string& company = {})
    {
        DbRequest r;
        r.object = object;
        r.action = action;
        r.name = name;
        r.newName = second;
        r.company = company;
        r.home = path("home");
        r.json = json_;
        return call(runDb, r);
    }
    bool json_ = false;
};

// The rules and their texts are the database layer's; here the streams they go to and the
// names the command turns into the rows the layer works on.
TEST_F(DbCliTest, MaintenanceMessagesGoToStdoutAndRefusalsToStderr)
{
    const std::string hostile = "x'; drop table ReportInfo; --";
    Output r = db(O::Company, A::Add, hostile);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "您已经成功添加了'送样公司'。\n");
    EXPECT_TRUE(std::filesystem::exists(path("home/toqlsh.db")));
    r = db(O::Company, A::Add, hostile);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err, "dgaws-cli: 存在同名'送样公司'!\n");

    EXPECT_EQ(db(O::Device, A::Add, "1号主变", {}, hostile).status, 0);
    r = db(O::Device, A::Add, "2号主变", {}, "nobody");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no sending company named \"nobody\""), std::string::npos);
    // Names the database does not know map to "nothing selected".
    EXPECT_EQ(db(O::Device, A::Rename, "9号主变", "4号主变", hostile).err,
              "dgaws-cli: 请先选中要修改的设备名!\n");
    EXPECT_EQ(db(O::Device, A::Rename, "1号主变", "3号主变", hostile).status, 0);

    json_ = true;
    r = db(O::Device, A::List, {}, {}, hostile);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(json::parse(r.out)[0]["Device"], "3号主变");
}

// The settings file names a PostgreSQL server: the command works on it as on the file.
TEST_F(DbCliTest, SettingsNameAPostgreSqlServer)
{
    const char* server = std::getenv("DGAWS_TEST_POSTGRES");
    if (server == nullptr || *server == '\0')
        GTEST_SKIP() << "DGAWS_TEST_POSTGRES is not set (test.sh starts a server)";
    const auto settings = DatabaseSettings::fromConnectionText(server, path("home"));
    const std::string name = "dgaws_cli_" + std::to_string(::getpid());
    const auto admin = [&](const std::string& sql) {
        ensureCoreRuntime();
        {
            QSqlDatabase a = QSqlDatabase::addDatabase("QPSQL", "cli-admin");
            a.setHostName(QString::fromStdString(settings.host));
            a.setPort(settings.port);
            a.setUserName(QString::fromStdString(settings.user));
            a.setDatabaseName("postgres");
            ASSERT_TRUE(a.open()) << a.lastError().text().toStdString();
            QSqlQuery q(a);
            EXPECT_TRUE(q.exec(QString::fromStdString(sql))) << q.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase("cli-admin");
    };
    admin("CREATE DATABASE " + name);
    std::filesystem::create_directories(path("home"));
    writeFileAtomically(path("home/dgaws.ini"),
                        "[System]\nDbDriver=QPSQL\nDbHost=" + settings.host +
                            "\nDbPort=" + std::to_string(settings.port) + "\nDbName=" + name +
                            "\nDbUser=" + settings.user + "\n");
    EXPECT_EQ(db(O::Company, A::Add, "O'Brien").status, 0);
    json_ = true;
    const Output r = db(O::Company, A::List);
    EXPECT_EQ(json::parse(r.out)[0]["Company"], "O'Brien");
    EXPECT_FALSE(std::filesystem::exists(path("home/toqlsh.db")));
    admin("DROP DATABASE " + name + " WITH (FORCE)");
}

}  // namespace
}  // namespace dgaws::cli::test
