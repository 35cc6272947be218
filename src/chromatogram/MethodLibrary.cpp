#include "MethodLibrary.h"

#include "FileIO.h"
#include "FileLock.h"
#include "TextFormat.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace dgaws {
namespace {

constexpr const char* kExtension = ".she";

constexpr const char* kNameClash = "方法文件重名!覆盖原方法文件吗?";
constexpr const char* kConfirmDelete = "您确定要删除该方法文件吗?";
constexpr const char* kNotRemovedAfterChange = "方法文件%s读入后已被另一工作站修改，未删除。";
constexpr const char* kConfirmHide = "您确定要隐藏方法-%s吗?";
constexpr const char* kNothingToHide = "您没有选中要隐藏的方案";
constexpr const char* kNotInFolder = "您要载入的方法不在工作站的指定方法文件夹下，不能载入";
constexpr const char* kNotAMethodFile = "只能载入扩展名为.she的方法文件。";

constexpr const char* kLogNew = "用户新建了一个名为%s的分析方法";
constexpr const char* kLogEdit = "用户编辑了一个名为%s的分析方法";
constexpr const char* kLogDelete = "用户删除了一个名为%s的分析方法";
constexpr const char* kLogSave = "用户保存了一个名为%s的分析方法";

std::string joinPath(const std::string& folder, const std::string& fileName)
{
    if (folder.empty())
        return fileName;
    if (folder.back() == '/')
        return folder + fileName;
    return folder + "/" + fileName;
}

bool hasMethodExtension(const std::string& fileName)
{
    const std::string ext = kExtension;
    return fileName.size() >= ext.size() &&
        fileName.compare(fileName.size() - ext.size(), ext.size(), ext) == 0;
}

// Both sides resolved the same way, so "dir", "dir/" and a link to dir compare equal.
std::optional<fs::path> resolvedFolder(const fs::path& folder)
{
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(folder, ec) / ".", ec);
    if (ec)
        return std::nullopt;
    return p;
}

}  // namespace

bool usableAsMethodName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos &&
        name.find('\0') == std::string::npos;
}

std::string libraryLabel(const MethodLibraryEntry& entry, const MethodDefaults& defaults)
{
    const AnalysisMethod& m = entry.method;
    std::string label = m.name;
    if (m.groupCalc != 0)
        label += "-分组";
    if (m.impurityCalc != 0)
        label += "-杂质";
    label += m.visible ? "-显示" : "-已隐藏";
    // An unnamed entry can never have been made a default, even when a default is empty.
    if (m.name.empty())
        return label;
    const bool a = m.name == defaults.ADefaultProg;
    const bool b = m.name == defaults.BDefaultProg;
    if (a && b)
        label += "－AB通道默认方法";
    else if (a)
        label += "－A通道默认方法";
    else if (b)
        label += "－B通道默认方法";
    return label;
}

LibraryResult makeDefaultMethod(MethodDefaults& defaults, const MethodLibraryEntry& entry,
                                DefaultChannels channels)
{
    const std::string& name = entry.method.name;
    if (name.empty())
        return LibraryResult::refused(kNoNameForDefault);
    if (channels != DefaultChannels::B)
        defaults.ADefaultProg = name;
    if (channels != DefaultChannels::A)
        defaults.BDefaultProg = name;
    return LibraryResult::success();
}

void copyMethod(const AnalysisMethod& from, AnalysisMethod& to)
{
    // Every member is held by value, so assignment duplicates the lists as well.
    to = from;
}

MethodLibrary::MethodLibrary(std::string folder, AskYesNo ask, LogSink log)
    : folder_(std::move(folder)), ask_(std::move(ask)), log_(std::move(log))
{}

std::vector<LoadFailure> MethodLibrary::loadLibrary(const std::string& folder)
{
    folder_ = folder;
    entries_.clear();
    stamps_.clear();
    std::vector<LoadFailure> failures;

    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    if (ec) {
        failures.push_back({folder, ec.message()});
        notifyChanged();
        return failures;
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& e : it) {
        const std::string name = e.path().filename().string();
        std::error_code typeError;
        if (hasMethodExtension(name) && e.is_regular_file(typeError))
            names.push_back(name);
    }
    // Directory order differs between file systems; the tree and the positions that
    // documents keep must not.
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        const std::string path = joinPath(folder, name);
        try {
            FileStamp stamp;
            entries_.push_back(loadMethodFile(path, &stamp));
            stamps_[path] = stamp;
        } catch (const std::exception& e) {
            failures.push_back({path, e.what()});
        }
    }
    notifyChanged();
    return failures;
}

int MethodLibrary::indexOf(const std::string& name) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].method.name == name)
            return static_cast<int>(i);
    return -1;
}

int MethodLibrary::indexOfPath(const std::string& path) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].path == path)
            return static_cast<int>(i);
    return -1;
}

std::string MethodLibrary::pathFor(const std::string& name) const
{
    return joinPath(folder_, name + kExtension);
}

int MethodLibrary::curveIndexOf(int methodIndex, const std::string& curve) const
{
    if (curve.empty() || methodIndex < 0 || static_cast<size_t>(methodIndex) >= entries_.size())
        return -1;
    const auto& curves = entries_[static_cast<size_t>(methodIndex)].curves;
    for (size_t i = 0; i < curves.size(); ++i)
        if (curves[i].name == curve)
            return static_cast<int>(i);
    return -1;
}

MethodChoice MethodLibrary::choiceNamed(const std::string& method, const std::string& curve) const
{
    if (method.empty())
        return {};
    const int index = indexOf(method);
    return {index, curveIndexOf(index, curve)};
}

MethodChoice MethodLibrary::defaultChoice(const MethodDefaults& defaults, int channel) const
{
    if (channel != 0 && channel != 1)
        return {};
    return channel == 0 ? choiceNamed(defaults.ADefaultProg, defaults.ADefaultCali)
                        : choiceNamed(defaults.BDefaultProg, defaults.BDefaultCali);
}

MethodChoice MethodLibrary::give(ChromatogramData& data, MethodChoice choice, MethodTake take) const
{
    const int index = choice.libraryMethodIndex;
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return {};
    const MethodLibraryEntry& entry = entries_[static_cast<size_t>(index)];
    const int curveIndex = choice.libraryCalibrationIndex;
    const CalibrationCurve* curve =
        curveIndex >= 0 && static_cast<size_t>(curveIndex) < entry.curves.size()
        ? &entry.curves[static_cast<size_t>(curveIndex)]
        : nullptr;
    const AnalysisMethod& from = entry.method;
    AnalysisMethod& to = data.method;
    switch (take) {
    case MethodTake::Whole: copyMethod(from, to); break;
    case MethodTake::Analysis: {
        const AnalysisMethod own = to;
        copyMethod(from, to);
        copyFields(own, to, kSample);
        break;
    }
    case MethodTake::Calculation: {
        // The sample keeps who and what it is; the measuring conditions of the oil test are
        // the calculation's, which the chosen method brings.
        const AnalysisMethod own = to;
        copyFields(from, to, kCalculation);
        to.deviceNo = own.deviceNo;
        to.components = entry.defaultComponents;
        data.sampleType = 0;
        break;
    }
    case MethodTake::Link: break;
    }
    if (take != MethodTake::Link) {
        data.methodName = from.name;
        data.calibrationName.clear();
    }
    if (curve != nullptr) {
        data.calibrationName = curve->name;
        to.components = curve->components;
    }
    return {index, curve != nullptr ? curveIndex : -1};
}

bool MethodLibrary::ask(const std::string& question) const
{
    // Without anyone to answer, nothing is overwritten or removed.
    return ask_ ? ask_(question) : false;
}

void MethodLibrary::notifyChanged() const
{
    if (changed_)
        changed_();
}

void MethodLibrary::log(const std::string& line) const
{
    if (log_)
        log_(line);
}

std::optional<std::string> MethodLibrary::save(const MethodLibraryEntry& entry)
{
    try {
        stamps_[entry.path] = saveMethodFileChecked(entry, nullptr);
    } catch (const std::exception& e) {
        return "方法文件" + entry.path + "保存失败：" + e.what();
    }
    log(formatText(kLogSave, fileNameOf(entry.path)));
    return std::nullopt;
}

std::optional<LibraryResult> MethodLibrary::saveEdit(size_t index, MethodLibraryEntry& entry)
{
    const std::string readPath = entries_.at(index).path;
    const auto read = stamps_.find(readPath);
    bool overwrite = read == stamps_.end();
    for (;;) {
        try {
            // A renamed method removes its old file afterwards, so that file must be
            // unchanged as well as the one written.
            if (!overwrite && readPath != entry.path &&
                FileStamp::onDisk(readPath) != std::optional<FileStamp>(read->second))
                throw MethodChangedOnDisk(readPath);
            const bool sameFile = !overwrite && readPath == entry.path;
            stamps_[entry.path] = saveMethodFileChecked(entry, sameFile ? &read->second : nullptr);
            log(formatText(kLogSave, fileNameOf(entry.path)));
            return std::nullopt;
        } catch (const MethodChangedOnDisk&) {
            const std::string name = entries_[index].method.name;
            const ConflictAnswer answer =
                resolve_ ? resolve_(formatText(kChangedOnDisk, name)) : ConflictAnswer{};
            switch (answer.choice) {
            case ConflictAnswer::Choice::Overwrite: overwrite = true; continue;
            case ConflictAnswer::Choice::Reload: reload(index); return LibraryResult::refused();
            case ConflictAnswer::Choice::SaveAs:
                entry.method.name = answer.newName;
                reload(index);
                return addNew(std::move(entry));
            case ConflictAnswer::Choice::Cancel: break;
            }
            return LibraryResult::refused(formatText(kNotSavedAfterChange, name));
        } catch (const std::exception& e) {
            return LibraryResult::failed("方法文件" + entry.path + "保存失败：" + e.what());
        }
    }
}

void MethodLibrary::saveInPlace(const MethodLibraryEntry& entry)
{
    const auto read = stamps_.find(entry.path);
    stamps_[entry.path] =
        saveMethodFileChecked(entry, read == stamps_.end() ? nullptr : &read->second);
}

void MethodLibrary::reload(size_t index)
{
    const std::string path = entries_.at(index).path;
    try {
        FileStamp stamp;
        entries_[index] = loadMethodFile(path, &stamp);
        stamps_[path] = stamp;
    } catch (const std::exception&) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
        stamps_.erase(path);
    }
    notifyChanged();
}

size_t MethodLibrary::adopt(MethodLibraryEntry entry)
{
    // Read by the caller just before: the file as it is now is the one it read.
    try {
        if (auto stamp = FileStamp::onDisk(entry.path))
            stamps_[entry.path] = *stamp;
    } catch (const std::exception&) {}
    return store(std::move(entry));
}

size_t MethodLibrary::store(MethodLibraryEntry entry)
{
    const int same = indexOfPath(entry.path);
    if (same >= 0) {
        entries_[static_cast<size_t>(same)] = std::move(entry);
        notifyChanged();
        return static_cast<size_t>(same);
    }
    entries_.push_back(std::move(entry));
    notifyChanged();
    return entries_.size() - 1;
}

bool MethodLibrary::insideFolder(const std::string& path) const
{
    const auto parent = resolvedFolder(fs::path(path).parent_path());
    const auto folder = resolvedFolder(folder_.empty() ? fs::path(".") : fs::path(folder_));
    return parent && folder && *parent == *folder;
}

LibraryResult MethodLibrary::addNew(MethodLibraryEntry entry)
{
    const std::string name = entry.method.name;
    if (!usableAsMethodName(name))
        return LibraryResult::refused(kInvalidMethodName);
    const std::string target = pathFor(name);
    // A file of that name that is not in the library (it failed to load) would be lost
    // just the same, so it is asked about too.
    if ((indexOf(name) >= 0 || fileExists(target)) && !ask(kNameClash))
        return LibraryResult::refused();
    entry.path = target;
    if (auto failure = save(entry))
        return LibraryResult::failed(*failure);
    store(std::move(entry));
    log(formatText(kLogNew, name));
    return LibraryResult::success();
}

LibraryResult MethodLibrary::edit(size_t index, MethodLibraryEntry edited)
{
    const MethodLibraryEntry& old = entries_.at(index);
    const std::string name = edited.method.name;
    if (!usableAsMethodName(name))
        return LibraryResult::refused(kInvalidMethodName);
    const std::string oldPath = old.path;
    const bool renamed = name != old.method.name;
    const std::string target = renamed || oldPath.empty() ? pathFor(name) : oldPath;

    if (target != oldPath) {
        bool clash = fileExists(target);
        for (size_t i = 0; i < entries_.size() && !clash; ++i)
            clash = i != index && entries_[i].method.name == name;
        if (clash && !ask(kNameClash))
            return LibraryResult::refused();
    }

    // The new file is complete before the old one goes: a failed save must leave the old
    // method in place, and the old file must go once the new one exists, or the next start
    // would load the method twice.
    edited.path = target;
    if (auto answered = saveEdit(index, edited))
        return *answered;

    std::string warning;
    if (target != oldPath && !oldPath.empty()) {
        std::error_code ec;
        fs::remove(oldPath, ec);
        if (ec)
            warning = "原方法文件" + oldPath + "删除失败：" + ec.message();
        stamps_.erase(oldPath);
    }
    entries_[index] = std::move(edited);
    // The entry of a file that has just been overwritten is now this one.
    for (size_t i = entries_.size(); i-- > 0;)
        if (i != index && entries_[i].path == target)
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    notifyChanged();
    log(formatText(kLogEdit, name));
    return LibraryResult::success(warning);
}

LibraryResult MethodLibrary::remove(size_t index)
{
    const std::string path = entries_.at(index).path;
    if (!ask(kConfirmDelete))
        return LibraryResult::refused();
    try {
        // Another workstation's edit since this one read the file is not deleted unseen:
        // the entry is read again, and a second delete takes the file as it is now.
        const FileLock lock(path);
        const auto read = stamps_.find(path);
        if (read != stamps_.end() && fileExists(path) &&
            FileStamp::onDisk(path) != std::optional<FileStamp>(read->second)) {
            const std::string name = entries_[index].method.name;
            reload(index);
            return LibraryResult::refused(formatText(kNotRemovedAfterChange, name));
        }
        std::error_code ec;
        fs::remove(path, ec);  // a file that is already gone is no failure
        if (ec)
            return LibraryResult::failed("方法文件" + path + "删除失败：" + ec.message());
    } catch (const std::exception& e) {
        return LibraryResult::failed("方法文件" + path + "删除失败：" + e.what());
    }
    stamps_.erase(path);
    const std::string name = entries_[index].method.name;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    notifyChanged();
    log(formatText(kLogDelete, name));
    return LibraryResult::success();
}

LibraryResult MethodLibrary::hide(std::optional<size_t> index)
{
    if (!index || *index >= entries_.size())
        return LibraryResult::refused(kNothingToHide);
    MethodLibraryEntry hidden = entries_[*index];
    if (!ask(formatText(kConfirmHide, hidden.method.name)))
        return LibraryResult::refused();
    hidden.method.visible = false;
    if (auto answered = saveEdit(*index, hidden))
        return *answered;
    entries_[*index] = std::move(hidden);
    notifyChanged();
    return LibraryResult::success();
}

LibraryResult MethodLibrary::show(const std::string& pickedFile)
{
    const std::string fileName = fileNameOf(pickedFile);
    if (!hasMethodExtension(fileName))
        return LibraryResult::refused(kNotAMethodFile);
    const std::string title = fs::path(fileName).stem().string();
    const std::string target = joinPath(folder_, fileName);

    if (!insideFolder(pickedFile)) {
        std::string bytes;
        MethodLibraryEntry loaded;
        try {
            bytes = readWholeFile(pickedFile);
            loaded = loadMethodBytes(bytes, target);
        } catch (const std::exception& e) {
            return LibraryResult::failed("方法文件" + pickedFile + "载入失败：" + e.what());
        }
        // Decided before anything moves: a file that would not make a method of its title
        // visible is refused, and it stays where it was.
        bool named = loaded.method.name == title;
        for (size_t i = 0; i < entries_.size() && !named; ++i)
            named = entries_[i].method.name == title && entries_[i].path != target;
        if (!named)
            return LibraryResult::refused(kNotInFolder);
        if (fileExists(target) && !ask(kNameClash))
            return LibraryResult::refused();
        // The copy in the folder is complete on disk before the picked file is removed.
        try {
            writeFileAtomically(target, bytes);
            stamps_[target] = FileStamp::of(bytes);
        } catch (const std::exception& e) {
            return LibraryResult::failed("方法文件" + target + "保存失败：" + e.what());
        }
        // The method is in the folder now; a source that cannot be removed (read-only
        // media) merely stays where it was.
        std::error_code ec;
        fs::remove(pickedFile, ec);
        store(std::move(loaded));
    } else if (indexOfPath(target) < 0) {
        // Put into the folder after start-up: the next start would load it anyway.
        try {
            FileStamp stamp;
            store(loadMethodFile(target, &stamp));
            stamps_[target] = stamp;
        } catch (const std::exception& e) {
            return LibraryResult::failed("方法文件" + target + "载入失败：" + e.what());
        }
    }

    const int found = indexOf(title);
    if (found < 0)
        return LibraryResult::refused(kNotInFolder);
    MethodLibraryEntry shown = entries_[static_cast<size_t>(found)];
    shown.method.visible = true;
    if (auto answered = saveEdit(static_cast<size_t>(found), shown))
        return *answered;
    entries_[static_cast<size_t>(found)] = std::move(shown);
    notifyChanged();
    return LibraryResult::success();
}

}  // namespace dgaws
