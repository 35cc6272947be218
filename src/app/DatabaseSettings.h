#pragma once

#include <string>

namespace dgaws {

// Where the test-record database lives. By default an SQLite file in the data root; a
// laboratory whose workstations share one database names a PostgreSQL server instead.
// Passwords are never kept in the settings file: the PostgreSQL client library takes
// them from PGPASSWORD or the user's ~/.pgpass.
struct DatabaseSettings {
    enum class Engine { SQLite, PostgreSQL };

    Engine engine = Engine::SQLite;
    std::string sqliteFile;  // full path of toqlsh.db
    std::string host;        // server name, or the folder of its Unix socket
    int port = 5432;
    std::string databaseName;
    std::string user;
    std::string password;  // only ever set in memory (tests, callers with a prompt)

    static constexpr const char* kSqliteFileName = "toqlsh.db";

    // The SQLite default for a data root.
    static DatabaseSettings sqliteIn(const std::string& dataRoot);

    // From the settings file of a data root, keys of group "System": DbDriver ("QSQLITE",
    // the default, or "QPSQL"), DbHost, DbPort, DbName, DbUser. Throws std::runtime_error
    // for a driver or port it cannot use.
    static DatabaseSettings fromSettingsFile(const std::string& settingsFile,
                                             const std::string& dataRoot);

    // From a libpq-style keyword list, "host=/tmp/x port=5433 dbname=d user=u"; an empty
    // text is the SQLite default of `dataRoot`. Throws std::runtime_error on a bad list.
    static DatabaseSettings fromConnectionText(const std::string& text,
                                               const std::string& dataRoot);

    // For messages: the file, or user@host:port/database.
    std::string describe() const;
};

}  // namespace dgaws
