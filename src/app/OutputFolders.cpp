#include "OutputFolders.h"

#include <filesystem>

namespace dgaws {

std::string defaultWorkbookFolder(const DataRoot& root)
{
    return (std::filesystem::path(root.root()) / "工作簿").string();
}

std::string defaultExportFolder(const DataRoot& root)
{
    return (std::filesystem::path(root.root()) / "导出").string();
}

}  // namespace dgaws
