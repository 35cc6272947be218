#include "ExistingDatabase.h"

#include "QtRuntime.h"

#include "app/DataRoot.h"
#include "app/DatabaseSettings.h"

#include <exception>
#include <filesystem>

namespace dgaws::cli {

std::unique_ptr<TestRecordDatabase> existingDatabase(const std::string& dataRoot)
{
    try {
        const DatabaseSettings settings =
            DatabaseSettings::fromSettingsFile(settingsFilePath(dataRoot), dataRoot);
        if (settings.engine == DatabaseSettings::Engine::SQLite &&
            !std::filesystem::exists(settings.sqliteFile))
            return nullptr;
        ensureCoreRuntime();
        auto db = std::make_unique<TestRecordDatabase>();
        db->setMessageSink([](const std::string&) {});
        if (db->open(settings))
            return db;
    } catch (const std::exception&) {
        // An unusable settings file leaves the defaults, as no database does.
    }
    return nullptr;
}

}  // namespace dgaws::cli
