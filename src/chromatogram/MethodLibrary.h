#pragma once

#include "AnalysisMethod.h"
#include "ChromatogramData.h"
#include "FileStamp.h"
#include "MethodFile.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dgaws {

// Answers a Yes/No question put to the operator; true is Yes.
using AskYesNo = std::function<bool(const std::string& question)>;
// Receives one event-log line of an operator action.
using LogSink = std::function<void(const std::string& line)>;

// What a library command did, and the text the caller shows (empty when there is nothing
// to show). Refused: the operator said No, or the command cannot apply; nothing changed.
// Failed: reading or writing a file went wrong; the library and its files are as before.
struct LibraryResult {
    enum class Status { Ok, Refused, Failed };

    Status status = Status::Ok;
    std::string message;

    bool ok() const { return status == Status::Ok; }
    static LibraryResult success(std::string text = {}) { return {Status::Ok, std::move(text)}; }
    static LibraryResult refused(std::string text = {})
    {
        return {Status::Refused, std::move(text)};
    }
    static LibraryResult failed(std::string text) { return {Status::Failed, std::move(text)}; }
};

// A method's file was changed on disk after the library read it (another workstation saved
// it into the shared folder): what the operator makes of the save that found it.
struct ConflictAnswer {
    enum class Choice {
        Cancel,     // nothing is written; the edit stays with the caller
        Reload,     // the edit is dropped and the entry read again from its file
        Overwrite,  // the edit replaces the other workstation's file
        SaveAs,     // the edit becomes a new method named `newName`; the file stays
    };
    Choice choice = Choice::Cancel;
    std::string newName;
};
// Asked with a text that names the method; the answer decides the save.
using ResolveConflict = std::function<ConflictAnswer(const std::string& question)>;

inline constexpr const char* kChangedOnDisk = "方法文件%s读入后已被另一工作站修改。";
inline constexpr const char* kNotSavedAfterChange =
    "方法文件%s读入后已被另一工作站修改，本次修改未保存。";

// A method file the library could not take, and why.
struct LoadFailure {
    std::string path;
    std::string reason;

    bool operator==(const LoadFailure&) const = default;
};

// The default methods and calibrations of the two channels, as the settings keep them.
struct MethodDefaults {
    std::string ADefaultProg = "QLDefault";
    std::string BDefaultProg = "QLDefault";
    std::string ADefaultCali = "ADefaultCali";
    std::string BDefaultCali = "BDefaultCali";
};

enum class DefaultChannels { A, B, AB };

// Library and calibration positions a document records; -1 is none.
struct MethodChoice {
    int libraryMethodIndex = -1;
    int libraryCalibrationIndex = -1;

    bool operator==(const MethodChoice&) const = default;
};

inline constexpr const char* kNoNameForDefault = "－无方法名，无法设为默认！";
inline constexpr const char* kInvalidMethodName = "方法名不能为空，也不能含有字符\"/\"。";

// The name becomes a file name in the method folder, so it must not be able to leave it.
bool usableAsMethodName(const std::string& name);

// The text the method tree shows for an entry.
std::string libraryLabel(const MethodLibraryEntry& entry, const MethodDefaults& defaults);

// Makes the entry the default method of the given channels; refused with
// kNoNameForDefault for an entry without a name.
LibraryResult makeDefaultMethod(MethodDefaults& defaults, const MethodLibraryEntry& entry,
                                DefaultChannels channels);

void copyMethod(const AnalysisMethod& from, AnalysisMethod& to);

// How much of a library method a chromatogram takes when it is given one.
enum class MethodTake {
    // The method as it is: a channel opened for a new run.
    Whole,
    // All but the sample information the chromatogram carries: device, tester, serial
    // number, company, sample texts and the oil-test values. A method applied to a
    // chromatogram that has a sample ("使用该分析方法", process --method): taking the
    // library's device would file its diagnosis under another device.
    Analysis,
    // Only the calculation settings, and the chromatogram becomes a test sample:
    // "选择分析方法计算谱图". The device number and the oil-test values are calculation
    // settings too, but the sample's own are kept for the same reason.
    Calculation,
    // Nothing: a chromatogram read from a file keeps the method it was run with and is only
    // linked to the library again.
    Link,
};

// The ordered method entries of the method folder, with the commands of the method tree.
// Every command that writes keeps the library and the files as they were when it fails.
// Positions shift when an entry is removed; documents that keep a position must re-find it.
class MethodLibrary {
public:
    MethodLibrary() = default;
    explicit MethodLibrary(std::string folder, AskYesNo ask = {}, LogSink log = {});

    void setAsk(AskYesNo ask) { ask_ = std::move(ask); }
    void setLog(LogSink log) { log_ = std::move(log); }
    // Without it a save that finds its file changed on disk is refused with
    // kNotSavedAfterChange: nothing is ever overwritten silently.
    void setResolveConflict(ResolveConflict resolve) { resolve_ = std::move(resolve); }
    // Told after every change of the entries, so that a view of the library can follow;
    // one observer at a time, an empty function removes it.
    void setChangeObserver(std::function<void()> observer) { changed_ = std::move(observer); }
    // For callers that changed an entry in place through entryAt.
    void notifyChanged() const;

    // Replaces the entries by every "*.she" file of `folder`, sorted by file name. Files
    // that cannot be read are left out and reported; the others load.
    std::vector<LoadFailure> loadLibrary(const std::string& folder);

    const std::string& folder() const { return folder_; }
    const std::vector<MethodLibraryEntry>& entries() const { return entries_; }
    size_t size() const { return entries_.size(); }
    const MethodLibraryEntry& at(size_t index) const { return entries_.at(index); }
    // An entry to change in place, for the calibration commands that write its file
    // themselves; null for a position outside the library.
    MethodLibraryEntry* entryAt(int index)
    {
        return index >= 0 && static_cast<size_t>(index) < entries_.size()
            ? &entries_[static_cast<size_t>(index)]
            : nullptr;
    }
    // Writes an entry changed in place (entryAt) back to its file, which must still be the
    // one the library read: MethodChangedOnDisk when another workstation saved it since,
    // FileError when it cannot be written.
    void saveInPlace(const MethodLibraryEntry& entry);
    // Position of the first entry with that name, or -1.
    int indexOf(const std::string& name) const;
    // Where a method of that name is kept in the folder.
    std::string pathFor(const std::string& name) const;

    // Position of the first curve with that name in the entry at `methodIndex`; -1 when
    // there is none, for an empty name, or for a position outside the library.
    int curveIndexOf(int methodIndex, const std::string& curve) const;
    // The first entry with the method name and, in it, the first curve with the curve name;
    // -1 where there is none. An empty name names nothing.
    MethodChoice choiceNamed(const std::string& method, const std::string& curve) const;
    // The method and calibration a channel starts with (0 = A, 1 = B).
    MethodChoice defaultChoice(const MethodDefaults& defaults, int channel) const;

    // Gives a chromatogram the method at `choice` and its curve, taking as much of the
    // method as `take` says. Whenever a curve is given, the chromatogram's component table
    // becomes a copy of the curve's, since that is the table its peaks are identified and
    // quantified with, and a file must hold it to be read the same way later. Without a
    // curve the table is the method's own: the library method's for a whole copy, its
    // default table for the calculation settings, and the chromatogram's for a link.
    // Returns the positions to record: none, with nothing changed, when the method is not
    // in the library; curve -1 when the index is not one of the method's curves.
    MethodChoice give(ChromatogramData& data, MethodChoice choice, MethodTake take) const;

    // Takes an entry already read from its file, without writing anything, for tools that
    // work with one method file rather than a folder; it replaces the entry kept in the
    // same file. Returns its position.
    size_t adopt(MethodLibraryEntry entry);

    // The commands of the method tree. Indexes must be valid positions (std::out_of_range).
    LibraryResult addNew(MethodLibraryEntry entry);
    LibraryResult edit(size_t index, MethodLibraryEntry edited);
    LibraryResult remove(size_t index);
    LibraryResult hide(std::optional<size_t> index);
    // Load (show) of a method file the operator picked.
    LibraryResult show(const std::string& pickedFile);

private:
    bool ask(const std::string& question) const;
    void log(const std::string& line) const;
    // Writes the entry's file and logs the save; the failure text when it could not.
    std::optional<std::string> save(const MethodLibraryEntry& entry);
    // Writes `entry`, the edit of the entry at `index`, when the file that entry was read
    // from is still as it was read; otherwise the operator resolves the conflict. Nothing
    // when it was written, else what the command answers.
    std::optional<LibraryResult> saveEdit(size_t index, MethodLibraryEntry& entry);
    // Reads the entry at `index` again from its file; it leaves the library when the file
    // is gone or unreadable.
    void reload(size_t index);
    // Puts the entry in place of the one kept in the same file, or appends it.
    size_t store(MethodLibraryEntry entry);
    int indexOfPath(const std::string& path) const;
    bool insideFolder(const std::string& path) const;

    std::string folder_;
    std::vector<MethodLibraryEntry> entries_;
    AskYesNo ask_;
    LogSink log_;
    std::function<void()> changed_;
    ResolveConflict resolve_;
    // What each file held when the library last read or wrote it, by path.
    std::map<std::string, FileStamp> stamps_;
};

}  // namespace dgaws
