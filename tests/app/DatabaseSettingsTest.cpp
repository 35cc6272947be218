#include "DatabaseFixture.h"

#include "app/DataRoot.h"
#include "app/DatabaseSettings.h"
#include "app/SystemSettings.h"
#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

using namespace dgaws;
using dgaws::test::TempDir;

TEST(DatabaseSettings, SqliteFileInTheDataRootUnlessTheSettingsNameAServer)
{
    test::ensureQtApplication();
    TempDir dir;
    const std::string ini = dir.path("dgaws.ini");
    const std::string root = dir.root().string();

    DatabaseSettings s = DatabaseSettings::fromSettingsFile(ini, root);
    EXPECT_EQ(s.engine, DatabaseSettings::Engine::SQLite);
    EXPECT_EQ(s.sqliteFile, dir.path("toqlsh.db"));

    writeFileAtomically(ini, "[System]\nDbDriver=qpsql\nDbHost=db.lab\nDbPort=5433\n"
                             "DbName=dga\nDbUser=lab\nOutGasRateUsed=0\n");
    s = DatabaseSettings::fromSettingsFile(ini, root);
    EXPECT_EQ(s.describe(), "lab@db.lab:5433/dga");
    EXPECT_TRUE(s.password.empty()) << "never from the settings file";
    EXPECT_EQ(readSystemInt(ini, "OutGasRateUsed", 1), 0);
    EXPECT_EQ(readSystemInt(ini, "Missing", 7), 7);
    EXPECT_EQ(readSystemInt(dir.path("none.ini"), "OutGasRateUsed", 1), 1);

    writeFileAtomically(ini, "[System]\nDbDriver=QODBC\n");
    EXPECT_THROW(DatabaseSettings::fromSettingsFile(ini, root), std::runtime_error);
    writeFileAtomically(ini, "[System]\nDbDriver=QPSQL\nDbPort=70000\n");
    EXPECT_THROW(DatabaseSettings::fromSettingsFile(ini, root), std::runtime_error);
}

TEST(DatabaseSettings, ConnectionText)
{
    const DatabaseSettings s =
        DatabaseSettings::fromConnectionText("host=/tmp/pg port=5499 dbname=d user=u", "/r");
    EXPECT_EQ(s.engine, DatabaseSettings::Engine::PostgreSQL);
    EXPECT_EQ(s.describe(), "u@/tmp/pg:5499/d");
    EXPECT_EQ(DatabaseSettings::fromConnectionText("", "/r").engine, DatabaseSettings::Engine::SQLite);
    EXPECT_THROW(DatabaseSettings::fromConnectionText("host", "/r"), std::runtime_error);
    EXPECT_THROW(DatabaseSettings::fromConnectionText("sslmode=require", "/r"), std::runtime_error);
    EXPECT_THROW(DatabaseSettings::fromConnectionText("port=x", "/r"), std::runtime_error);
}

TEST(DataRoot, ExplicitChoiceThenEnvironmentThenHome)
{
    const char* old = std::getenv("DGAWS_HOME");
    const std::string saved = old ? old : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("DGAWS_HOME", "/from/env", 1);
    EXPECT_EQ(dataRoot("/given"), "/given");
    EXPECT_EQ(dataRoot(), "/from/env");
    ::unsetenv("DGAWS_HOME");
    ::setenv("HOME", "/home/lab", 1);
    EXPECT_EQ(dataRoot(), "/home/lab/dgaws");
    EXPECT_EQ(settingsFilePath("/r"), "/r/dgaws.ini");
    if (old)
        ::setenv("DGAWS_HOME", saved.c_str(), 1);
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
}
