#include "app/DatabaseSettings.h"
#include "app/SettingsStore.h"
#include "app/WorkstationApp.h"
#include "chromatogram/FileIO.h"

#include "../chromatogram/TempDir.h"
#include "acquisition/CollectorTestSupport.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

const QDateTime kStart(QDate(2024, 3, 5), QTime(8, 9, 10));

struct Fixture {
    TempDir dir;
    QDateTime clock = kStart;
    DataRoot root{dir.path("home")};

    std::unique_ptr<WorkstationApp> start()
    {
        auto app = std::make_unique<WorkstationApp>(root, [this] { return clock; });
        app->startUp();
        return app;
    }
    QSettings ini() const
    {
        return QSettings(QString::fromStdString(root.settingsFile()), QSettings::IniFormat);
    }
};

}  // namespace

TEST(Settings, FirstStartTakesEveryDefaultAndADamagedMethodIsNamedAtTheNext)
{
    Fixture f;
    auto app = f.start();
    const SystemSettings& s = app->settings();
    EXPECT_EQ(s.pointsPerSecond, 20);
    EXPECT_TRUE(std::filesystem::is_directory(s.ProjectPath));
    EXPECT_TRUE(std::filesystem::is_directory(s.SchemePath));
    EXPECT_TRUE(
        std::filesystem::is_regular_file(f.dir.path("home") + "/QLLog/QL20240305080910.DB"));
    ASSERT_EQ(app->eventLog().count(), 1);
    EXPECT_EQ(app->eventLog().entries()[0].time, kStart);
    EXPECT_TRUE(app->methodLoadFailures().empty());
    EXPECT_EQ(WorkstationApp::damagedMethodsText({}), "");
    std::vector<std::string> shown;
    EXPECT_TRUE(app->connectDatabase([&](const std::string& t) { shown.push_back(t); }));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(f.root.databaseFile()));
    app->exit();
    EXPECT_FALSE(app->database().isOpen());

    // A damaged method file is named, never dropped without a word.
    const std::string damaged = s.SchemePath + "/broken.she";
    std::ofstream(damaged, std::ios::binary) << "not a method";
    app.reset();
    app = f.start();
    ASSERT_EQ(app->methodLoadFailures().size(), 1u);
    EXPECT_EQ(app->methodLoadFailures()[0].path, damaged);
    const std::string text = WorkstationApp::damagedMethodsText(app->methodLoadFailures());
    EXPECT_NE(text.find(damaged), std::string::npos) << text;
    EXPECT_NE(app->eventLog().entries().back().text.find(damaged), std::string::npos);
}

TEST(Settings, ExitWritesEveryKeyOfTheSectionAndEachRoundTripsThroughTheFile)
{
    Fixture f;
    f.start()->exit();
    QSettings ini = f.ini();
    ini.beginGroup("System");
    std::set<std::string> written, keys;
    for (const QString& k : ini.childKeys())
        written.insert(k.toStdString());
    SystemSettings edited;
    int n = 7;
    for (auto& field : edited.fields()) {
        keys.insert(field.key);
        if (auto* number = std::get_if<int*>(&field.value))
            **number = n++;
        else  // commas, quotes, equals signs and Chinese must all survive the INI syntax
            *std::get<std::string*>(field.value) =
                "值, \"" + field.key + "\" = ;#" + std::to_string(n++);
    }
    SettingsStore store(f.root.settingsFile());
    ASSERT_TRUE(store.save(edited));
    SystemSettings loaded;
    store.load(loaded);
    EXPECT_EQ(written, keys);
    auto a = edited.fields();
    auto b = loaded.fields();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        if (auto* number = std::get_if<int*>(&a[i].value))
            EXPECT_EQ(**number, *std::get<int*>(b[i].value)) << a[i].key;
        else
            EXPECT_EQ(*std::get<std::string*>(a[i].value), *std::get<std::string*>(b[i].value))
                << a[i].key;
    }
}

TEST(Settings, StoredValuesThatCannotBeUsedFallBack)
{
    Fixture f;
    {
        QSettings ini = f.ini();
        ini.beginGroup("System");
        ini.setValue("CardType", 7);
        ini.setValue("ViewTree", "abc");
        ini.setValue("ProjectPath", "");
        ini.setValue("SchemePath", QString::fromStdString(f.dir.path("my methods/2024")));
        ini.setValue("AllStop", " 1 ");
        ini.setValue("DbDriver", "QNOSUCH");
    }
    auto app = f.start();
    std::vector<std::string> shown;
    EXPECT_FALSE(app->connectDatabase([&](const std::string& t) { shown.push_back(t); }));
    EXPECT_EQ(shown.size(), 1u) << "a database that cannot work is said";
    EXPECT_EQ(app->settings().CardType, 0);
    EXPECT_EQ(app->mainFrameTitle(), WorkstationApp::kTitleCard0);
    EXPECT_EQ(app->settings().ViewTree, 1) << "a number key with text keeps its default";
    EXPECT_EQ(app->settings().AllStop, 1);
    EXPECT_EQ(app->settings().ProjectPath, f.root.defaultProjectPath());
    EXPECT_TRUE(std::filesystem::is_directory(f.dir.path("my methods/2024")))
        << "the folder chain is created level by level";
    app->exit();  // and the exit does not trip over the missing connection
    EXPECT_EQ(app->eventLog().entries().back().text, "系统退出");
    EXPECT_EQ(f.ini().value("System/CardType").toInt(), 0) << "the next save writes 0";
}

// The card page says so: a new card type is for the next start. Until then the collector
// decodes the card it started with, and the title and the rate stay.
TEST(Settings, ACardTypeChangeTakesEffectAtTheNextStart)
{
    Fixture f;
    auto app = f.start();
    SystemSettings edited = app->settings();
    edited.CardType = 1;
    app->acceptSettings(edited, {});
    EXPECT_EQ(f.ini().value("System/CardType").toInt(), 1);
    EXPECT_EQ(app->mainFrameTitle(), WorkstationApp::kTitleCard0);
    EXPECT_EQ(app->settings().pointsPerSecond, 20);

    test::RecordingHost host;
    CCollector collector(app->settings(), &host);
    host.setCollector(&collector);
    host.runBoth();
    const uint8_t ready = 0xE0;
    collector.receive(&ready, 1);
    for (int i = 0; i < 8; ++i)
        test::feed(collector, test::frame(0, 100));
    EXPECT_EQ(host.values(0).size(), 2u) << "the run goes on with the card it started with";

    app->exit();
    app = f.start();
    EXPECT_TRUE(app->mainFrameTitle().ends_with("DX4410"));
    EXPECT_EQ(app->settings().pointsPerSecond, 10);
}

// A desktop that writes numbers with a decimal comma must not change what the settings
// file says: "0.2" is 0.2 mV and times are stored with a point.
TEST(Settings, NumbersAreReadAndWrittenWithAPointUnderADecimalCommaLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (comma == nullptr && std::setlocale(LC_NUMERIC, name) != nullptr)
            comma = name;
    // Without such a locale the C library reads a point anyway; the checks still hold.
    SystemSettings s;
    s.AutoStartHeight = "0.2";
    s.StartA1 = " 1.5";
    s.StopA1 = "2.25abc";
    const double height = s.autoStartHeightMicrovolts();
    const double start = s.levellingStart(0, 1);
    const double stop = s.levellingStop(0, 1);
    const bool usual = SystemSettings::autoStartHeightUsual("0.5");
    s.formatLevellingTimes();
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_DOUBLE_EQ(height, 200.0) << (comma ? comma : "C");
    EXPECT_DOUBLE_EQ(start, 1.5);
    EXPECT_DOUBLE_EQ(stop, 2.25);
    EXPECT_TRUE(usual);
    EXPECT_EQ(s.StartA1, "1.500");
    EXPECT_EQ(s.StopA1, "2.250");
    EXPECT_EQ(s.StartA2, "0.000");
}

// The settings sheet's OK: a start rise outside the usual range is kept only when confirmed,
// levelling times get three decimals, and both are saved at once; then the password.
TEST(SettingsSheet, AcceptedValuesAreCheckedFormattedAndSavedAtOnce)
{
    Fixture f;
    auto app = f.start();
    std::vector<std::string> asked;
    bool answer = false;
    auto ask = [&](const std::string& q) {
        asked.push_back(q);
        return answer;
    };
    SystemSettings edited = app->settings();
    edited.AutoStartHeight = "1.0";
    edited.StartA1 = "1";
    edited.StopA1 = "2.25";
    edited.StartB3 = "0.12345";
    app->acceptSettings(edited, ask);
    EXPECT_TRUE(asked.empty()) << "1.0 is inside the range";
    EXPECT_EQ(app->settings().StartA1, "1.000");
    EXPECT_EQ(app->settings().StartB3, "0.123");
    EXPECT_EQ(f.ini().value("System/StopA1").toString(), "2.250");
    edited.AutoStartHeight = "1.2";
    app->acceptSettings(edited, ask);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(app->settings().AutoStartHeight, "1.0") << "No keeps the previous value";
    answer = true;
    edited.AutoStartHeight = "0.15";
    app->acceptSettings(edited, ask);
    EXPECT_EQ(app->settings().AutoStartHeight, "0.15");
    EXPECT_EQ(f.ini().value("System/AutoStartHeight").toString(), "0.15");

    EXPECT_EQ(app->changePassword("x", "a", "a"), "原密码错误，不能修改密码");
    EXPECT_EQ(app->changePassword("", "a", "b"), "密码不一致，不能设置新密码");
    EXPECT_EQ(app->settings().Password, "");
    EXPECT_EQ(app->changePassword("", "秘密", "秘密"), "密码设置完成。");
    EXPECT_EQ(f.ini().value("System/Password").toString(), QString::fromUtf8("秘密"));
    EXPECT_EQ(app->changePassword("", "b", "b"), "原密码错误，不能修改密码");
}

TEST(EventLogRotation, MoreThanFiveHundredEntriesStartANewFileAtTheNextStart)
{
    // With "系统启动" and "系统退出": exactly 500 entries keep the file, 501 start a new one.
    for (int entries : {500, 501}) {
        Fixture f;
        {
            auto app = f.start();
            for (int i = 0; i < entries - 2; ++i)
                app->log("entry " + std::to_string(i));
            f.clock = kStart.addSecs(3600);
            app->exit();
        }
        const QString next = f.ini().value("System/CurLogName").toString();
        f.clock = kStart.addSecs(7200);
        auto app = f.start();
        if (entries == 500) {
            EXPECT_EQ(next, "QL20240305080910.DB");
            EXPECT_EQ(app->eventLog().count(), 501) << "the same file goes on";
        } else {
            EXPECT_EQ(next, "QLC520240305090910.DB");
            EXPECT_EQ(app->settings().CurLogName, "QLC520240305090910.DB");
            EXPECT_EQ(app->eventLog().count(), 1);
        }
    }
}

TEST(DatabaseSettings, SqliteFileInTheDataRootUnlessTheSettingsOrTheTextNameAServer)
{
    TempDir dir;
    const std::string ini = dir.path("dgaws.ini");
    const std::string root = dir.root().string();

    DatabaseSettings s = DatabaseSettings::fromSettingsFile(ini, root);
    EXPECT_EQ(s.engine, DatabaseSettings::Engine::SQLite);
    EXPECT_EQ(s.sqliteFile, dir.path("toqlsh.db"));

    writeFileAtomically(ini,
                        "[System]\nDbDriver=qpsql\nDbHost=db.lab\nDbPort=5433\n"
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

    const DatabaseSettings text =
        DatabaseSettings::fromConnectionText("host=/tmp/pg port=5499 dbname=d user=u", "/r");
    EXPECT_EQ(text.engine, DatabaseSettings::Engine::PostgreSQL);
    EXPECT_EQ(text.describe(), "u@/tmp/pg:5499/d");
    EXPECT_EQ(DatabaseSettings::fromConnectionText("", "/r").engine,
              DatabaseSettings::Engine::SQLite);
    for (const char* bad : {"host", "sslmode=require", "port=x"})
        EXPECT_THROW(DatabaseSettings::fromConnectionText(bad, "/r"), std::runtime_error) << bad;
}
