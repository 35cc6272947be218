#pragma once

#include <string>
#include <vector>

namespace dgaws {

// The one folder under which the program writes everything: settings file, chromatograms,
// methods, demonstration data, event log and database. Moving it (DGAWS_HOME or --home) is
// how tests and scripts run without touching the operator's files.
class DataRoot {
public:
    static constexpr const char* kEnvironmentVariable = "DGAWS_HOME";
    // The data root in the user's home folder when nothing else is chosen.
    static constexpr const char* kDefaultFolderName = "dgaws";

    explicit DataRoot(std::string root);

    // --home wins over DGAWS_HOME, which wins over the folder in the user's home.
    static DataRoot resolve(const std::string& homeOption = {});
    // The value of --home / --home=DIR among the arguments, empty when absent.
    static std::string homeOption(const std::vector<std::string>& arguments);

    const std::string& root() const { return root_; }

    std::string settingsFile() const;        // QSettings INI file
    std::string logFolder() const;           // QLLog
    std::string databaseFile() const;        // toqlsh.db
    std::string defaultProjectPath() const;  // Data
    std::string defaultSchemePath() const;   // 方法库
    std::string defaultSimDataPath() const;  // 演示/QLCHGDATA.DMD

    // Copies the shipped default method, spreadsheet templates and demonstration data into the method folder and
    // the demonstration path when they are missing there; files present are never replaced.
    // Returns the files copied.
    static std::vector<std::string> installShippedData(const std::string& shippedFolder,
                                                       const std::string& schemePath,
                                                       const std::string& simDataPath);

private:
    std::string path(const std::string& name) const;

    std::string root_;
};

// The root of DataRoot::resolve, for tools that need no more than the folder.
std::string dataRoot(const std::string& explicitHome = {});

// The settings file in a data root: INI format, the keys in group "System".
std::string settingsFilePath(const std::string& root);

}  // namespace dgaws
