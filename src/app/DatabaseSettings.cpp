#include "DatabaseSettings.h"

#include <QSettings>
#include <QString>

#include <charconv>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace dgaws {
namespace {

int parsePort(const std::string& text)
{
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535)
        throw std::runtime_error("not a port number: " + text);
    return port;
}

}  // namespace

DatabaseSettings DatabaseSettings::sqliteIn(const std::string& dataRoot)
{
    DatabaseSettings s;
    s.engine = Engine::SQLite;
    s.sqliteFile = (std::filesystem::path(dataRoot) / kSqliteFileName).string();
    return s;
}

DatabaseSettings DatabaseSettings::fromSettingsFile(const std::string& settingsFile,
                                                    const std::string& dataRoot)
{
    DatabaseSettings s = sqliteIn(dataRoot);
    if (!std::filesystem::exists(settingsFile))
        return s;
    QSettings ini(QString::fromStdString(settingsFile), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("System"));
    const QString driver = ini.value(QStringLiteral("DbDriver"), QStringLiteral("QSQLITE"))
                               .toString()
                               .trimmed()
                               .toUpper();
    if (driver == QStringLiteral("QSQLITE"))
        return s;
    if (driver != QStringLiteral("QPSQL"))
        throw std::runtime_error("unknown database driver " + driver.toStdString() +
                                 " (QSQLITE or QPSQL)");
    s.engine = Engine::PostgreSQL;
    s.host = ini.value(QStringLiteral("DbHost")).toString().toStdString();
    s.port = parsePort(ini.value(QStringLiteral("DbPort"), 5432).toString().toStdString());
    s.databaseName =
        ini.value(QStringLiteral("DbName"), QStringLiteral("toqlsh")).toString().toStdString();
    s.user = ini.value(QStringLiteral("DbUser")).toString().toStdString();
    return s;
}

DatabaseSettings DatabaseSettings::fromConnectionText(const std::string& text,
                                                      const std::string& dataRoot)
{
    DatabaseSettings s = sqliteIn(dataRoot);
    std::istringstream in(text);
    std::string item;
    bool any = false;
    while (in >> item) {
        const auto eq = item.find('=');
        if (eq == std::string::npos || eq == 0)
            throw std::runtime_error("not a key=value pair: " + item);
        const std::string key = item.substr(0, eq);
        const std::string value = item.substr(eq + 1);
        if (key == "host")
            s.host = value;
        else if (key == "port")
            s.port = parsePort(value);
        else if (key == "dbname")
            s.databaseName = value;
        else if (key == "user")
            s.user = value;
        else if (key == "password")
            s.password = value;
        else
            throw std::runtime_error("unknown connection keyword " + key);
        any = true;
    }
    if (any)
        s.engine = Engine::PostgreSQL;
    return s;
}

std::string DatabaseSettings::describe() const
{
    if (engine == Engine::SQLite)
        return sqliteFile;
    return (user.empty() ? std::string() : user + "@") + (host.empty() ? "localhost" : host) + ":" +
        std::to_string(port) + "/" + databaseName;
}

}  // namespace dgaws
