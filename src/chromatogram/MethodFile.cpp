#include "MethodFile.h"

#include "Archive.h"
#include "FieldArchive.h"
#include "FileIO.h"

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

MethodLibraryEntry loadMethodFile(const std::string& path)
{
    return loadMethodBytes(readWholeFile(path), path);
}

void saveMethodFile(const MethodLibraryEntry& entry)
{
    if (entry.path.empty())
        throw FileError("the method has no file path");
    writeFileAtomically(entry.path, storeMethodFile(entry));
}

}  // namespace dgaws
