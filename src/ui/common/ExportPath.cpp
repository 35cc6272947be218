#include "ui/common/ExportPath.h"

#include "ui/common/QtText.h"

#include "app/CChrEDoc.h"

#include <QDir>
#include <QFileInfo>

namespace dgaws {

QString documentBaseName(const CChrEDoc& doc)
{
    QString title = qs(doc.pathName.empty() ? doc.title() : doc.pathName);
    while (title.endsWith(QLatin1Char('*')))
        title.chop(1);
    return QFileInfo(title).completeBaseName();
}

QString exportProposal(const CChrEDoc& doc, const std::string& exportFolder, const QString& suffix)
{
    const QString name = documentBaseName(doc) + QLatin1Char('.') + suffix;
    if (!doc.pathName.empty())
        return QFileInfo(qs(doc.pathName)).dir().filePath(name);
    const QString folder = qs(exportFolder);
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

}  // namespace dgaws
