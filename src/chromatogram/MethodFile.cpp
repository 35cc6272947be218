#include "MethodFile.h"

#include "Archive.h"
#include "FieldArchive.h"
#include "FileIO.h"
#include "FileLock.h"

namespace dgaws {

std::string storeMethodFile(const MethodLibraryEntry& entry)
{
    return storeRecord(entry);
}

MethodLibraryEntry loadMethodBytes(std::string bytes, const std::string& path)
{
    if (bytes.size() < 3)
        throw ArchiveError("file too short to be a method");
    MethodLibraryEntry e = loadRecord<MethodLibraryEntry>(std::move(bytes));
    e.path = path;
    return e;
}

MethodLibraryEntry loadMethodFile(const std::string& path, FileStamp* stamp)
{
    std::string bytes = readWholeFile(path);
    if (stamp != nullptr)
        *stamp = FileStamp::of(bytes);
    return loadMethodBytes(std::move(bytes), path);
}

void saveMethodFile(const MethodLibraryEntry& entry)
{
    saveMethodFileChecked(entry, nullptr);
}

FileStamp saveMethodFileChecked(const MethodLibraryEntry& entry, const FileStamp* read)
{
    if (entry.path.empty())
        throw FileError("the method has no file path");
    const std::string bytes = storeMethodFile(entry);
    // The check and the write happen under one lock, or two workstations could both find
    // the file unchanged and then write one after the other.
    const FileLock lock(entry.path);
    if (read != nullptr && FileStamp::onDisk(entry.path) != std::optional<FileStamp>(*read))
        throw MethodChangedOnDisk("方法文件" + entry.path + "已被另一工作站修改或删除");
    writeFileAtomically(entry.path, bytes);
    return FileStamp::of(bytes);
}

}  // namespace dgaws
