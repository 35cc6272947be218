#include "SettingsStore.h"

#include <QSettings>
#include <QString>

namespace dgaws {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

const char* conditionGroup(int channel)
{
    return channel == 1 ? "ConditionB" : "ConditionA";
}
const char* conditionCountKey(int channel)
{
    return channel == 1 ? "CondNumbB" : "CondNumbA";
}
std::string conditionItemKey(int channel, int i)
{
    return (channel == 1 ? "CondItemB" : "CondItemA") + std::to_string(i);
}

}  // namespace

void SettingsStore::load(SystemSettings& settings) const
{
    QSettings ini(qs(path_), QSettings::IniFormat);
    ini.beginGroup(kGroup);
    for (auto& field : settings.fields()) {
        const QString key = qs(field.key);
        if (!ini.contains(key))
            continue;
        const QVariant stored = ini.value(key);
        if (auto* number = std::get_if<int*>(&field.value)) {
            bool ok = false;
            const int v = stored.toString().trimmed().toInt(&ok);
            if (ok)
                **number = v;
        } else {
            *std::get<std::string*>(field.value) = stored.toString().toStdString();
        }
    }
    ini.endGroup();
}

bool SettingsStore::save(SystemSettings settings) const
{
    QSettings ini(qs(path_), QSettings::IniFormat);
    ini.beginGroup(kGroup);
    for (auto& field : settings.fields()) {
        if (auto* number = std::get_if<int*>(&field.value))
            ini.setValue(qs(field.key), **number);
        else
            ini.setValue(qs(field.key), qs(*std::get<std::string*>(field.value)));
    }
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

std::vector<std::string> SettingsStore::conditionList(int channel) const
{
    QSettings ini(qs(path_), QSettings::IniFormat);
    ini.beginGroup(conditionGroup(channel));
    const int count = ini.value(conditionCountKey(channel), 0).toInt();
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(ini.value(qs(conditionItemKey(channel, i))).toString().toStdString());
    return items;
}

void SettingsStore::saveConditionList(int channel, const std::vector<std::string>& items) const
{
    QSettings ini(qs(path_), QSettings::IniFormat);
    ini.beginGroup(conditionGroup(channel));
    ini.setValue(conditionCountKey(channel), static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i)
        ini.setValue(qs(conditionItemKey(channel, static_cast<int>(i))), qs(items[i]));
    ini.endGroup();
    ini.sync();
}

}  // namespace dgaws
