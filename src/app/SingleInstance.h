#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace dgaws {

// One workstation per data root: the first instance holds a lock file named after its root
// and listens on a local socket of the same name; a later one finds the lock taken, asks the
// holder through the socket to come forward and ends. The lock, not the socket, decides: two
// starts at the same moment would both find no socket yet.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataRoot, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a data root; two roots never share one.
    static QString serverName(const QString& dataRoot);

    // True when this process is the first: it now answers later instances. The lock of an
    // instance that ended (crashed or not) is free again, and its socket is taken over.
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

    // The lock (an advisory lock the system drops with the process); false when taken.
    bool lockRoot();

    QString name_;
    QLocalServer* server_ = nullptr;
    int lockFd_ = -1;
};

}  // namespace dgaws
