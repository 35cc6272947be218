#include "SystemSettings.h"

#include "DataRoot.h"

#include <QSettings>
#include <QString>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace dgaws {

SystemSettings SystemSettings::defaults(const DataRoot& root, const std::string& startTimeName)
{
    SystemSettings s;
    s.ProjectPath = root.defaultProjectPath();
    s.SchemePath = root.defaultSchemePath();
    s.SimDataPath = root.defaultSimDataPath();
    s.LogDirPath = root.logFolder();
    s.CurLogName = startTimeName;
    return s;
}

std::vector<SystemSettings::Field> SystemSettings::fields()
{
    std::vector<Field> f;
    auto texts = [&f](const char* stem, std::array<std::string, kRememberedTexts>& a) {
        for (int i = 0; i < kRememberedTexts; ++i)
            f.push_back({stem + std::to_string(i), &a[static_cast<size_t>(i)]});
    };
    texts("Sender", Sender);
    texts("Dept", Dept);
    texts("Detector", Detector);
    f.push_back({"ComPort", &ComPort});
    f.push_back({"UseDefaultCom", &UseDefaultCom});
    f.push_back({"ViewTree", &ViewTree});
    f.push_back({"ViewResult", &ViewResult});
    f.push_back({"ProjectPath", &ProjectPath});
    f.push_back({"SchemePath", &SchemePath});
    f.push_back({"ADefaultProg", &ADefaultProg});
    f.push_back({"BDefaultProg", &BDefaultProg});
    f.push_back({"ADefaultCali", &ADefaultCali});
    f.push_back({"BDefaultCali", &BDefaultCali});
    f.push_back({"SimDataPath", &SimDataPath});
    f.push_back({"WordPadPath", &WordPadPath});
    f.push_back({"LogDirPath", &LogDirPath});
    f.push_back({"CurLogName", &CurLogName});
    f.push_back({"DefaultDevice", &DefaultDevice});
    f.push_back({"ShowWaitDlg", &ShowWaitDlg});
    f.push_back({"PlayConnSound", &PlayConnSound});
    f.push_back({"OpenChannelA", &OpenChannelA});
    f.push_back({"OpenChannelB", &OpenChannelB});
    f.push_back({"AllStart", &AllStart});
    f.push_back({"AllStop", &AllStop});
    f.push_back({"ConvertA", &ConvertA});
    f.push_back({"ConvertB", &ConvertB});
    f.push_back({"AutoBase", &AutoBase});
    f.push_back({"StopWarning", &StopWarning});
    f.push_back({"AutoDelUnusedPeak", &AutoDelUnusedPeak});
    f.push_back({"DirectSave", &DirectSave});
    f.push_back({"ShowUpdateRTimeDlg", &ShowUpdateRTimeDlg});
    f.push_back({"LastUpdateRTime", &LastUpdateRTime});
    f.push_back({"LineInPic", &LineInPic});
    f.push_back({"OutGasRateUsed", &OutGasRateUsed});
    f.push_back({"Merge", &Merge});
    f.push_back({"MergeAB", &MergeAB});
    f.push_back({"CardType", &CardType});
    f.push_back({"CacuFrequence", &CacuFrequence});
    for (const auto& [key, value] : levellingTimes())
        f.push_back({key, value});
    f.push_back({"XiangBie", &XiangBie});
    f.push_back({"AutoStartHeight", &AutoStartHeight});
    f.push_back({"AutoStartDelay", &AutoStartDelay});
    f.push_back({"Password", &Password});
    return f;
}

bool SystemSettings::normalizeCardType()
{
    if (CardType == 0 || CardType == 1)
        return true;
    CardType = 0;
    return false;
}

int SystemSettings::areaDivisor() const
{
    if (CacuFrequence == 0)
        return 10;
    return CacuFrequence == 1 ? 20 : 50;
}

int readSystemInt(const std::string& settingsFile, const char* key, int fallback)
{
    if (!std::filesystem::exists(settingsFile))
        return fallback;
    QSettings ini(QString::fromStdString(settingsFile), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("System"));
    bool ok = false;
    const int v = ini.value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? v : fallback;
}

double leadingNumber(const std::string& text)
{
    return settingNumber(text);
}

std::string formatMinutes(double minutes)
{
    // "%1.3f" with a point, whatever the desktop's locale.
    char buffer[400];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, minutes, std::chars_format::fixed, 3);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0.000");
}

double SystemSettings::autoStartHeightMillivolts() const
{
    return leadingNumber(AutoStartHeight);
}

bool SystemSettings::autoStartHeightUsual(const std::string& text)
{
    const double mv = leadingNumber(text);
    return mv >= 0.2 && mv <= 1.0;
}

std::vector<std::pair<std::string, std::string*>> SystemSettings::levellingTimes()
{
    return {{"StartA1", &StartA1}, {"StartA2", &StartA2}, {"StartA3", &StartA3},
            {"StopA1", &StopA1},   {"StopA2", &StopA2},   {"StopA3", &StopA3},
            {"StartB1", &StartB1}, {"StartB2", &StartB2}, {"StartB3", &StartB3},
            {"StopB1", &StopB1},   {"StopB2", &StopB2},   {"StopB3", &StopB3}};
}

void SystemSettings::formatLevellingTimes()
{
    for (const auto& [key, value] : levellingTimes())
        *value = formatMinutes(leadingNumber(*value));
}

}  // namespace dgaws
