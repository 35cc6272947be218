#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace dgaws::test {

// Takes the files the window hands to the desktop's programs, so a test sees what would be
// opened and nothing is started.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    QStringList paths;

    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

public slots:
    void open(const QUrl& url) { paths << url.toLocalFile(); }
};

}  // namespace dgaws::test
