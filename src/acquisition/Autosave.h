#pragma once

#include "chromatogram/ChromatogramData.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace dgaws {

// A run in progress, kept on disk point by point so that a crash or a power cut loses at
// most the last second. The file is the run's record at its start (a whole .chg record with
// no samples) followed by the samples as raw floats; every point is written to the file at
// once, and the file is synced to the disk at least once a second.
class AutosaveWriter {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr auto kSyncInterval = std::chrono::seconds(1);

    explicit AutosaveWriter(Clock clock = {});
    ~AutosaveWriter();
    AutosaveWriter(const AutosaveWriter&) = delete;
    AutosaveWriter& operator=(const AutosaveWriter&) = delete;

    // Creates the file (its head complete before it appears under its name). False, with
    // error() telling why, when it cannot be made.
    bool begin(const std::string& path, const ChromatogramData& runStart);
    // One point. False once writing has failed; the run goes on without its safety copy.
    bool append(float value);
    // Syncs and closes; the file stays until remove().
    void close();
    // Closes and deletes the file: the run was saved, or given up.
    void remove();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return failed_; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    int written() const { return written_; }

private:
    void sync();

    Clock clock_;
    int fd_ = -1;
    bool failed_ = false;
    std::string path_;
    std::string error_;
    int written_ = 0;
    std::chrono::steady_clock::time_point lastSync_{};
};

// The folder name that marks the safety copies of runs.
inline constexpr const char* kAutosaveFolderName = "自动保存";
inline constexpr const char* kAutosaveExtension = ".dgauto";
inline constexpr const char* kRecoverQuestion = "发现未正常结束的采样数据%s，是否恢复为谱图？";
inline constexpr const char* kAutosaveFailed =
    "自动保存文件%s无法写入，本次采样在异常退出后将不能恢复。";

// The unfinished runs of a folder, oldest name first.
std::vector<std::string> findAutosaves(const std::string& folder);

// The chromatogram of an unfinished run: the record at its start with every complete sample
// that reached the file. A torn last sample is dropped. Throws FileError or ArchiveError
// when the file is not a safety copy.
ChromatogramData recoverAutosave(const std::string& path);

// An unfinished run the operator chose to get back. Its copy stays on disk until
// `discard` is called, which the caller does once the chromatogram has been saved.
struct RecoveredRun {
    std::string copyPath;
    ChromatogramData data;

    void discard() const;
};

// What the start-up does with the copies of a folder: for each one the operator is asked
// (kRecoverQuestion with its file name); Yes gives it back as a chromatogram, No deletes
// the copy. A copy that cannot be read is left where it is and reported.
std::vector<RecoveredRun> recoverUnfinishedRuns(
    const std::string& folder, const std::function<bool(const std::string&)>& ask,
    const std::function<void(const std::string& path, const std::string& why)>& unreadable = {});

// A path in `folder` for a run whose file will be called `fileName`, not yet taken.
std::string autosavePathFor(const std::string& folder, const std::string& fileName);

}  // namespace dgaws
