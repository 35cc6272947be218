#include "CLogManage.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace dgaws {

namespace {

std::atomic<int> connectionCounter{0};

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS entries ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " time INTEGER NOT NULL,"
    " text TEXT NOT NULL)",
    "CREATE TRIGGER IF NOT EXISTS entries_no_update BEFORE UPDATE ON entries"
    " BEGIN SELECT RAISE(ABORT, 'the event log is append-only'); END",
    "CREATE TRIGGER IF NOT EXISTS entries_no_delete BEFORE DELETE ON entries"
    " BEGIN SELECT RAISE(ABORT, 'the event log is append-only'); END",
};

}  // namespace

CLogManage::~CLogManage()
{
    close();
}

void CLogManage::setPath(std::string path)
{
    close();
    path_ = std::move(path);
}

bool CLogManage::open()
{
    if (!connection_.isEmpty())
        return true;
    if (path_.empty()) {
        error_ = QStringLiteral("no log file");
        return false;
    }
    const QString file = QString::fromStdString(path_);
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString name = QStringLiteral("dgaws-log-%1").arg(connectionCounter.fetch_add(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        bool ok = db.open();
        QSqlQuery q(db);
        // Full sync: an entry that addToLog reported is on the disk, whatever happens next.
        ok = ok && q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        for (const char* statement : kSchema)
            ok = ok && q.exec(QString::fromLatin1(statement));
        if (!ok) {
            error_ = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
            db.close();
        }
        if (!ok) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return false;
        }
    }
    connection_ = name;
    return true;
}

void CLogManage::close()
{
    if (connection_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

bool CLogManage::loadLog()
{
    entries_.clear();
    unwritten_ = 0;
    error_.clear();
    if (!open())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("SELECT time, text FROM entries ORDER BY id"))) {
        error_ = q.lastError().text();
        return false;
    }
    while (q.next())
        entries_.push_back({QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong()),
                            q.value(1).toString().toStdString()});
    return true;
}

bool CLogManage::addToLog(const QDateTime& time, const std::string& text)
{
    // Entries keep whole seconds, as they are shown and stored.
    entries_.push_back({QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch()), text});
    ++unwritten_;
    return writePending();
}

bool CLogManage::writePending()
{
    if (unwritten_ == 0)
        return true;
    if (!open())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("INSERT INTO entries (time, text) VALUES (?, ?)"));
    while (unwritten_ > 0) {
        const CRecord& r = entries_[entries_.size() - static_cast<size_t>(unwritten_)];
        q.addBindValue(r.time.toSecsSinceEpoch());
        q.addBindValue(QString::fromStdString(r.text));
        if (!q.exec()) {
            error_ = q.lastError().text();
            return false;
        }
        --unwritten_;
    }
    return true;
}

bool CLogManage::saveLog()
{
    const bool ok = writePending();
    close();
    return ok;
}

}  // namespace dgaws
