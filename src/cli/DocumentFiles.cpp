#include "DocumentFiles.h"

#include "app/DataRoot.h"
#include "app/SettingsStore.h"
#include "chromatogram/ChromatogramFile.h"

#include <filesystem>
#include <ostream>

namespace dgaws::cli {

bool openChromatogram(CChrEDoc& doc, const std::string& path, std::ostream& err)
{
    try {
        doc.data = readChromatogramFile(path);
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot read " << path << ": " << e.what() << '\n';
        return false;
    }
    doc.state = CChrEDoc::FromFile;
    // A standard's run in a curve is known by the file's full path.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    doc.pathName = ec ? path : full.lexically_normal().string();
    doc.linkToLibrary();
    return true;
}

std::string methodFolderOf(const std::string& home)
{
    const DataRoot root = DataRoot::resolve(home);
    SystemSettings settings = SystemSettings::defaults(root, {});
    SettingsStore(root.settingsFile()).load(settings);
    return settings.SchemePath.empty() ? root.defaultSchemePath() : settings.SchemePath;
}

std::string dataFolderOf(const std::string& home)
{
    const DataRoot root = DataRoot::resolve(home);
    SystemSettings settings = SystemSettings::defaults(root, {});
    SettingsStore(root.settingsFile()).load(settings);
    return settings.ProjectPath.empty() ? root.defaultProjectPath() : settings.ProjectPath;
}

bool writeChromatogram(const CChrEDoc& doc, const std::string& path, std::ostream& err)
{
    try {
        writeChromatogramFile(path, doc.data);
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot write " << path << ": " << e.what() << '\n';
        return false;
    }
    return true;
}

}  // namespace dgaws::cli
