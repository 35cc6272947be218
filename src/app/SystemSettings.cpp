#include "SystemSettings.h"

#include <QSettings>
#include <QString>

#include <filesystem>

namespace dgaws {

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

}  // namespace dgaws
