#include "PageSetup.h"

#include <QPageSize>
#include <QSettings>

namespace dgaws {

QPageLayout loadPageLayout(const std::string& settingsFile)
{
    QSettings store(QString::fromStdString(settingsFile), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Print"));
    bool ok = false;
    const int id = store.value(QStringLiteral("PageSize")).toInt(&ok);
    QPageSize size(QPageSize::A4);
    if (ok && id >= 0 && id <= int(QPageSize::LastPageSize) && id != int(QPageSize::Custom))
        size = QPageSize(QPageSize::PageSizeId(id));
    const bool landscape = store.value(QStringLiteral("Landscape")).toInt() == 1;
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

void savePageLayout(const std::string& settingsFile, const QPageLayout& layout)
{
    QSettings store(QString::fromStdString(settingsFile), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Print"));
    const QPageSize::PageSizeId id = layout.pageSize().id();
    store.setValue(QStringLiteral("PageSize"), int(id == QPageSize::Custom ? QPageSize::A4 : id));
    store.setValue(QStringLiteral("Landscape"),
                   layout.orientation() == QPageLayout::Landscape ? 1 : 0);
}

}  // namespace dgaws
