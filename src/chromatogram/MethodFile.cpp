#include "MethodFile.h"

#include "Archive.h"
#include "FileIO.h"
#include "MethodSerializer.h"

namespace dgaws {

std::string storeMethodFile(const MethodLibraryEntry& entry)
{
    MethodLibraryEntry copy = entry;
    Archive ar = Archive::forStoring();
    serializeMethod(ar, copy.method);
    serializeCalibrationList(ar, copy.curves);
    serializeComponentList(ar, copy.defaultComponents);
    return ar.takeBytes();
}

MethodLibraryEntry loadMethodBytes(std::string bytes, const std::string& path)
{
    if (bytes.size() < 3)
        throw ArchiveError("file too short to be a method");
    Archive ar = Archive::forLoading(std::move(bytes));
    MethodLibraryEntry e;
    e.method.version = FormatVersion(ar.readFormatNumber());
    serializeMethod(ar, e.method);
    serializeCalibrationList(ar, e.curves);
    serializeComponentList(ar, e.defaultComponents);
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
