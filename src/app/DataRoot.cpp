#include "DataRoot.h"

#include <cstdlib>
#include <filesystem>

namespace dgaws {

namespace fs = std::filesystem;

DataRoot::DataRoot(std::string root) : root_(std::move(root))
{
    while (root_.size() > 1 && root_.back() == '/')
        root_.pop_back();
}

DataRoot DataRoot::resolve(const std::string& homeOption)
{
    if (!homeOption.empty())
        return DataRoot(fs::absolute(homeOption).lexically_normal().string());
    if (const char* env = std::getenv(kEnvironmentVariable); env && *env)
        return DataRoot(fs::absolute(env).lexically_normal().string());
    const char* home = std::getenv("HOME");
    const fs::path base = home && *home ? fs::path(home) : fs::current_path();
    return DataRoot((base / kDefaultFolderName).string());
}

std::string DataRoot::homeOption(const std::vector<std::string>& arguments)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--home" && i + 1 < arguments.size())
            return arguments[i + 1];
        if (a.rfind("--home=", 0) == 0)
            return a.substr(7);
    }
    return {};
}

std::string DataRoot::path(const std::string& name) const
{
    return (fs::path(root_) / name).string();
}

std::string DataRoot::settingsFile() const
{
    return settingsFilePath(root_);
}
std::string DataRoot::logFolder() const
{
    return path("QLLog");
}
std::string DataRoot::databaseFile() const
{
    return path("toqlsh.db");
}
std::string DataRoot::defaultProjectPath() const
{
    return path("Data");
}
std::string DataRoot::defaultSchemePath() const
{
    return path("方法库");
}
std::string DataRoot::defaultSimDataPath() const
{
    return path("演示/QLCHGDATA.DMD");
}

std::vector<std::string> DataRoot::installShippedData(const std::string& shippedFolder,
                                                      const std::string& schemePath,
                                                      const std::string& simDataPath)
{
    std::vector<std::string> copied;
    if (shippedFolder.empty())
        return copied;
    auto install = [&](const fs::path& from, const fs::path& to) {
        std::error_code ec;
        if (to.empty() || !fs::is_regular_file(from, ec) || fs::exists(to, ec))
            return;
        fs::create_directories(to.parent_path(), ec);
        if (fs::copy_file(from, to, fs::copy_options::skip_existing, ec) && !ec)
            copied.push_back(to.string());
    };
    const fs::path shipped(shippedFolder);
    if (!schemePath.empty())
        for (const char* name : {"QLDefault.she", "template1.xlsx", "template2.xlsx",
                                 "template3.xlsx", "customer_report_1.xlsx"})
            install(shipped / name, fs::path(schemePath) / name);
    install(shipped / "QLCHGDATA.DMD", fs::path(simDataPath));
    return copied;
}

std::string dataRoot(const std::string& explicitHome)
{
    return DataRoot::resolve(explicitHome).root();
}

std::string settingsFilePath(const std::string& root)
{
    return (fs::path(root) / "dgaws.ini").string();
}

}  // namespace dgaws
