#pragma once

#include <QDateTime>
#include <QString>

#include <string>
#include <vector>

namespace dgaws {

// One event of the log: when it happened and what the operator did.
struct CRecord {
    QDateTime time;
    std::string text;

    bool operator==(const CRecord&) const = default;
};

// The entries of one log file, in the order they were added.
using CLog = std::vector<CRecord>;

// The event log: one SQLite file per log name, append-only. Every entry reaches the disk in
// its own transaction as it is added, so a crash loses nothing that was logged; the file
// refuses updates and deletions of its own accord.
class CLogManage {
public:
    CLogManage() = default;
    explicit CLogManage(std::string path) : path_(std::move(path)) {}
    ~CLogManage();
    CLogManage(const CLogManage&) = delete;
    CLogManage& operator=(const CLogManage&) = delete;

    void setPath(std::string path);
    const std::string& path() const { return path_; }

    // Opens (creating when missing) the file named by the path and reads its entries.
    // False when the file cannot be opened or is not a log; the log is then empty and
    // entries are still kept in memory.
    bool loadLog();
    // Appends one entry; it is on disk when this returns true. An entry that could not be
    // written stays in memory and goes to the file with the next entry or saveLog.
    bool addToLog(const QDateTime& time, const std::string& text);
    // Writes what could not be written before and closes the file, so that it is complete
    // and unlocked for other readers; a later addToLog opens it again. True when every
    // entry is on disk.
    bool saveLog();
    // Entries still waiting for the file.
    int unwritten() const { return unwritten_; }

    int count() const { return static_cast<int>(entries_.size()); }
    const CLog& entries() const { return entries_; }
    // A copy for display, so the list can go on growing while it is shown.
    CLog copy() const { return entries_; }
    // The reason of the last failure, empty when there was none.
    const QString& lastError() const { return error_; }

private:
    bool open();
    void close();
    bool writePending();

    std::string path_;
    QString connection_;
    CLog entries_;
    int unwritten_ = 0;
    QString error_;
};

}  // namespace dgaws
