#include "app/CChrEDoc.h"
#include "app/SettingsStore.h"
#include "app/WorkstationApp.h"

#include "../chromatogram/TempDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

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

TEST(Settings, FirstStartTakesEveryDefaultCreatesTheFoldersAndNamesTheLogByTheStartTime)
{
    Fixture f;
    auto app = f.start();
    const SystemSettings& s = app->settings();
    EXPECT_EQ(s.pointsPerSecond, 20);
    EXPECT_EQ(s.SchemePath, f.dir.path("home") + "/方法库");
    EXPECT_TRUE(std::filesystem::is_directory(s.ProjectPath));
    EXPECT_TRUE(std::filesystem::is_directory(s.SchemePath));
    EXPECT_EQ(s.CurLogName, "QL20240305080910.DB");
    EXPECT_TRUE(std::filesystem::is_regular_file(f.dir.path("home") + "/QLLog/QL20240305080910.DB"));
    ASSERT_EQ(app->eventLog().count(), 1);
    EXPECT_EQ(app->eventLog().entries()[0].text, "系统启动");
    EXPECT_EQ(app->eventLog().entries()[0].time, kStart);
}

TEST(Settings, ExitWritesEveryKeyOfTheSectionAndNothingElse)
{
    Fixture f;
    auto app = f.start();
    app->exit();
    QSettings ini = f.ini();
    ini.beginGroup("System");
    std::set<std::string> written, fields;
    for (const QString& k : ini.childKeys())
        written.insert(k.toStdString());
    SystemSettings probe;
    for (const auto& field : probe.fields())
        fields.insert(field.key);
    EXPECT_EQ(written, fields);
    EXPECT_EQ(ini.value("LogDirPath").toString().toStdString(), f.dir.path("home") + "/QLLog");
    EXPECT_EQ(ini.value("AutoStartHeight").toString(), "0.2");
}

TEST(Settings, EveryKeyRoundTripsThroughTheFile)
{
    Fixture f;
    SystemSettings edited;
    int n = 7;
    for (auto& field : edited.fields()) {
        if (auto* number = std::get_if<int*>(&field.value))
            **number = n++;
        else  // commas, quotes, equals signs and Chinese must all survive the INI syntax
            *std::get<std::string*>(field.value) = "值, \"" + field.key + "\" = ;#" + std::to_string(n++);
    }
    SettingsStore store(f.root.settingsFile());
    ASSERT_TRUE(store.save(edited));
    SystemSettings loaded;
    store.load(loaded);
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
    }
    auto app = f.start();
    EXPECT_EQ(app->settings().CardType, 0);
    EXPECT_EQ(app->settings().pointsPerSecond, 20);
    EXPECT_EQ(app->mainFrameTitle(), WorkstationApp::kTitleCard0);
    EXPECT_EQ(app->settings().ViewTree, 1) << "a number key with text keeps its default";
    EXPECT_EQ(app->settings().AllStop, 1);
    EXPECT_EQ(app->settings().ProjectPath, f.root.defaultProjectPath());
    EXPECT_TRUE(std::filesystem::is_directory(f.dir.path("my methods/2024")))
        << "the folder chain is created level by level";
    app->exit();
    EXPECT_EQ(f.ini().value("System/CardType").toInt(), 0) << "the next save writes 0";
}

TEST(Settings, CardTypeOneChangesTitleAndRate)
{
    Fixture f;
    {
        QSettings ini = f.ini();
        ini.setValue("System/CardType", 1);
    }
    auto app = f.start();
    EXPECT_TRUE(app->mainFrameTitle().ends_with("DX4410"));
    EXPECT_EQ(app->settings().pointsPerSecond, 10);
}

TEST(SettingsSheet, StartRiseOutsideTheUsualRangeIsKeptOnlyWhenConfirmed)
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
    app->acceptSettings(edited, ask);
    EXPECT_TRUE(asked.empty()) << "1.0 is inside the range";

    edited.AutoStartHeight = "1.2";
    app->acceptSettings(edited, ask);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(app->settings().AutoStartHeight, "1.0") << "No keeps the previous value";

    answer = true;
    edited.AutoStartHeight = "0.15";
    app->acceptSettings(edited, ask);
    EXPECT_EQ(app->settings().AutoStartHeight, "0.15");
    EXPECT_EQ(f.ini().value("System/AutoStartHeight").toString(), "0.15") << "saved at once";
}

TEST(SettingsSheet, LevellingTimesAreStoredWithThreeDecimals)
{
    Fixture f;
    auto app = f.start();
    SystemSettings edited = app->settings();
    edited.StartA1 = "1";
    edited.StopA1 = "2.25";
    edited.StartB3 = "0.12345";
    app->acceptSettings(edited, {});
    EXPECT_EQ(app->settings().StartA1, "1.000");
    EXPECT_EQ(app->settings().StartB3, "0.123");
    EXPECT_EQ(f.ini().value("System/StopA1").toString(), "2.250");
}

TEST(Password, OldMustMatchAndNewMustBeConfirmed)
{
    Fixture f;
    auto app = f.start();
    EXPECT_EQ(app->changePassword("x", "a", "a"), "原密码错误，不能修改密码");
    EXPECT_EQ(app->changePassword("", "a", "b"), "密码不一致，不能设置新密码");
    EXPECT_EQ(app->settings().Password, "");
    EXPECT_EQ(app->changePassword("", "秘密", "秘密"), "密码设置完成。");
    EXPECT_EQ(f.ini().value("System/Password").toString(), QString::fromUtf8("秘密"));
    EXPECT_EQ(app->changePassword("", "b", "b"), "原密码错误，不能修改密码");
}

TEST(EventLogRotation, MoreThanFiveHundredEntriesStartANewFileAtTheNextStart)
{
    Fixture f;
    {
        auto app = f.start();
        for (int i = 0; i < 498; ++i)  // with "系统启动" and "系统退出": exactly 500
            app->log("entry " + std::to_string(i));
        f.clock = kStart.addSecs(60);
        app->exit();
    }
    EXPECT_EQ(f.ini().value("System/CurLogName").toString(), "QL20240305080910.DB");
    {
        auto app = f.start();
        EXPECT_EQ(app->eventLog().count(), 501) << "the same file goes on";
        f.clock = kStart.addSecs(3600);
        app->exit();
    }
    EXPECT_EQ(f.ini().value("System/CurLogName").toString(), "QLC520240305090910.DB");
    f.clock = kStart.addSecs(7200);
    auto app = f.start();
    EXPECT_EQ(app->settings().CurLogName, "QLC520240305090910.DB");
    ASSERT_EQ(app->eventLog().count(), 1);
    EXPECT_EQ(app->eventLog().entries()[0].text, "系统启动");
}

TEST(Database, ConnectsInTheDataRootAndClosesAtExit)
{
    Fixture f;
    auto app = f.start();
    std::vector<std::string> shown;
    EXPECT_TRUE(app->connectDatabase([&](const std::string& t) { shown.push_back(t); }));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(f.root.databaseFile()));
    app->exit();
    EXPECT_FALSE(app->database().isOpen());
}

TEST(Database, AConfigurationThatCannotWorkIsReportedAndStartUpGoesOn)
{
    Fixture f;
    {
        QSettings ini = f.ini();
        ini.setValue("System/DbDriver", "QNOSUCH");
    }
    auto app = f.start();
    std::vector<std::string> shown;
    EXPECT_FALSE(app->connectDatabase([&](const std::string& t) { shown.push_back(t); }));
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(app->database().isOpen());
    app->exit();  // and the exit does not trip over the missing connection
    EXPECT_EQ(app->eventLog().entries().back().text, "系统退出");
}
