#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace dgaws {

// One workstation per data root: the first instance listens on a local socket named after
// its root; a later one finds it there, asks it to come forward and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataRoot, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a data root; two roots never share one.
    static QString serverName(const QString& dataRoot);

    // True when this process is the first: it now answers later instances. A socket left
    // behind by a crashed instance is taken over.
    bool claim();
    // Asks the running instance to come forward, first handing it `files` to open; true
    // when it confirmed. The paths should be absolute: the running one has its own folder.
    bool activateRunning(int timeoutMs = 2000, const QStringList& files = {}) const;

    const QString& name() const { return name_; }

signals:
    // A later instance asked this one to come forward.
    void activationRequested();
    // A later instance was started with a file to open.
    void openRequested(const QString& path);

private:
    void onConnection();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace dgaws
