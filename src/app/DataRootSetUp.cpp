#include "DataRootSetUp.h"

#include <filesystem>
#include <system_error>

namespace dgaws {

namespace fs = std::filesystem;

namespace {

void makeFolderChain(const std::string& path)
{
    std::error_code ec;
    if (!path.empty())
        fs::create_directories(path, ec);
}

}  // namespace

std::string shippedDataFolder()
{
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    for (const char* candidate : {"data", "../data", "../share/dgaws"}) {
        const fs::path folder = (program.parent_path() / candidate).lexically_normal();
        if (fs::is_regular_file(folder / "QLDefault.she", ec))
            return folder.string();
    }
    return {};
}

void setUpDataRoot(const DataRoot& root, SystemSettings& settings, const std::string& shippedFolder)
{
    makeFolderChain(root.root());
    if (settings.ProjectPath.empty())
        settings.ProjectPath = root.defaultProjectPath();
    if (settings.SchemePath.empty())
        settings.SchemePath = root.defaultSchemePath();
    makeFolderChain(settings.ProjectPath);
    makeFolderChain(settings.SchemePath);
    DataRoot::installShippedData(shippedFolder, settings.SchemePath, root.defaultSimDataPath());
}

}  // namespace dgaws
