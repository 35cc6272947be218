#include "RecentFiles.h"

#include <QSettings>

#include <algorithm>

namespace dgaws {

void RecentFiles::load()
{
    files_.clear();
    QSettings ini(QString::fromStdString(path_), QSettings::IniFormat);
    ini.beginGroup(kGroup);
    for (int i = 1; i <= kSize; ++i) {
        const std::string f = ini.value(QStringLiteral("File%1").arg(i)).toString().toStdString();
        if (!f.empty() && std::find(files_.begin(), files_.end(), f) == files_.end())
            files_.push_back(f);
    }
}

void RecentFiles::save() const
{
    QSettings ini(QString::fromStdString(path_), QSettings::IniFormat);
    ini.beginGroup(kGroup);
    for (int i = 1; i <= kSize; ++i) {
        const size_t at = static_cast<size_t>(i - 1);
        if (at < files_.size())
            ini.setValue(QStringLiteral("File%1").arg(i), QString::fromStdString(files_[at]));
        else
            ini.remove(QStringLiteral("File%1").arg(i));
    }
}

void RecentFiles::add(const std::string& file)
{
    if (file.empty())
        return;
    remove(file);
    files_.insert(files_.begin(), file);
    if (files_.size() > static_cast<size_t>(kSize))
        files_.resize(kSize);
}

void RecentFiles::remove(const std::string& file)
{
    files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
}

}  // namespace dgaws
