#include "TestRecordDatabase.h"

#include "RecordSchema.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>

namespace dgaws {
namespace {

constexpr const char* kCompanyLookupFailed =
    "-通过Company在CompanyInfo表查找CompanyID出现问题，即将退出!";
constexpr const char* kCompanyByIdFailed =
    "-通过CompanyID在CompanyInfo表查找Company出现问题，即将退出!";
constexpr const char* kCompanyListFailed = "-查询CompanyInfo表出现问题，即将退出!";
constexpr const char* kCompanySearchFailed = "-查找CompanyInfo表出现问题，即将退出!";
constexpr const char* kCompanyInsertFailed = "-插入CompanyInfo表出现问题，即将退出!";
constexpr const char* kCompanyUpdateFailed = "-从CompanyInfo表更新'送样公司'出现问题，即将退出!";
constexpr const char* kCompanyDeleteFailed = "-从CompanyInfo表删除'送样公司'出现问题，即将退出!";
constexpr const char* kDeviceListFailed = "-查询DeviceInfo表出现问题，即将退出!";
constexpr const char* kDeviceSearchFailed = "-查找DeviceInfo表中DeviceID出现问题!";
constexpr const char* kDeviceInsertFailed = "-插入DeviceInfo表出现问题，即将退出!";
constexpr const char* kDeviceUpdateFailed = "-从DeviceInfo表更新出现问题，即将退出!";
constexpr const char* kDeviceDeleteFailed = "-从DeviceInfo表删除设备出现问题，即将退出!";
constexpr const char* kReportQueryFailed = "-数据库查询ReportInfo表出现问题!";
constexpr const char* kReportWriteFailed = "-数据库ReportInfo表插入数据出现问题!";
// Follows the connection failure when a test could not be saved for want of a database.
constexpr const char* kTestNotSaved = "结果未保存到数据库。";

constexpr const char* kReportColumns =
    "CompanyID, DeviceID, BatchNo, InjectTime, H2, CH4, C2H6, C2H4, C2H2, CO, CO2, O2, N2, "
    "AllC, Broken";

std::atomic<int> connectionCounter{0};

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string descriptionOf(const QSqlError& e)
{
    const std::string text = e.text().toStdString();
    return text.empty() ? std::string("unknown database error") : text;
}

// Prepares, binds every value in order and runs a statement.
bool run(QSqlQuery& query, const char* sql, std::initializer_list<QVariant> values = {})
{
    if (!query.prepare(QString::fromUtf8(sql)))
        return false;
    for (const QVariant& v : values)
        query.addBindValue(v);
    return query.exec();
}

// The access file kept contents as "%.2f" texts; the same two decimals are kept here.
double twoDecimals(double v)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return std::strtod(buf, nullptr);
}

bool allDigits(const std::string& s, size_t from, size_t n)
{
    for (size_t i = from; i < from + n; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

int number(const std::string& s, size_t from, size_t n)
{
    return std::atoi(s.substr(from, n).c_str());
}

}  // namespace

struct TestRecordDatabase::Impl {
    QString connection;
    bool postgres = false;
    // Why the connection could not be opened, in the engine's words.
    std::string unreachable;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    // A write transaction that excludes every other writer until it ends, so a check and
    // the write that depends on it see the same table.
    bool beginExclusive(QSqlQuery& query, const char* table)
    {
        if (!postgres)
            return query.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!query.exec(QStringLiteral("BEGIN")))
            return false;
        return query.exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE")
                              .arg(QString::fromLatin1(table)));
    }
    bool commit(QSqlQuery& query) { return query.exec(QStringLiteral("COMMIT")); }
    void rollback()
    {
        QSqlQuery query(db());
        query.exec(QStringLiteral("ROLLBACK"));
    }
};

long long rangeSeconds(TestRange range)
{
    switch (range) {
    case TestRange::Year: return 31536000;
    case TestRange::Month: return 2592000;
    case TestRange::Week: return 604800;
    case TestRange::All: break;
    }
    return 0;
}

const char* rangeText(TestRange range)
{
    switch (range) {
    case TestRange::Year: return "最近一年";
    case TestRange::Month: return "最近一月";
    case TestRange::Week: return "最近一周";
    case TestRange::All: break;
    }
    return "全部";
}

std::optional<std::string> storedInjectTime(const std::string& shown)
{
    // "YYYY/MM/DD HH:MM:SS", every field its full width, so the stored text sorts in time.
    if (shown.size() != 19 || shown[4] != '/' || shown[7] != '/' || shown[10] != ' ' ||
        shown[13] != ':' || shown[16] != ':')
        return std::nullopt;
    for (size_t at : {0, 5, 8, 11, 14, 17})
        if (!allDigits(shown, at, at == 0 ? 4 : 2))
            return std::nullopt;
    const int month = number(shown, 5, 2), day = number(shown, 8, 2);
    const int hour = number(shown, 11, 2), minute = number(shown, 14, 2),
              second = number(shown, 17, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::string stored = shown;
    stored[4] = stored[7] = '-';
    return stored;
}

std::string shownInjectTime(const std::string& stored)
{
    std::string shown = stored;
    if (shown.size() == 19 && shown[4] == '-' && shown[7] == '-')
        shown[4] = shown[7] = '/';
    return shown;
}

std::string storedLocalTime(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::vector<std::string> testRowTexts(int rowNumber, const TestRecord& r,
                                      const std::string& company, const std::string& device)
{
    std::vector<std::string> row;
    row.push_back(std::to_string(rowNumber));
    row.push_back(r.injectTime);
    for (double v : r.values) {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.2f", v);
        row.emplace_back(buf);
    }
    row.emplace_back(r.status != 0 ? "是" : "否");
    row.push_back(company);
    row.push_back(device);
    row.push_back(r.batchNo);
    return row;
}

TestRecordDatabase::TestRecordDatabase() = default;

TestRecordDatabase::~TestRecordDatabase()
{
    release();
}

void TestRecordDatabase::release()
{
    if (impl_ == nullptr)
        return;
    const QString name = impl_->connection;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    delete impl_;
    impl_ = nullptr;
    QSqlDatabase::removeDatabase(name);
}

TestRecordDatabase::Impl& TestRecordDatabase::impl() const
{
    return *impl_;
}

Failure TestRecordDatabase::fail(const std::string& description, const char* text)
{
    std::string shown = description + text;
    if (showMessage_)
        showMessage_(shown);
    return Failure{std::move(shown)};
}

void TestRecordDatabase::tell(const char* text)
{
    if (showMessage_)
        showMessage_(text);
}

bool TestRecordDatabase::isOpen() const
{
    return impl_ != nullptr && impl_->db().isOpen();
}

Result<void> TestRecordDatabase::open(const DatabaseSettings& settings)
{
    release();
    settings_ = settings;
    impl_ = new Impl;
    impl_->postgres = settings.engine == DatabaseSettings::Engine::PostgreSQL;
    impl_->connection = QStringLiteral("dgaws-tests-%1").arg(++connectionCounter);

    QSqlDatabase db = QSqlDatabase::addDatabase(
        impl_->postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), impl_->connection);
    if (impl_->postgres) {
        db.setHostName(q(settings.host));
        db.setPort(settings.port);
        db.setDatabaseName(q(settings.databaseName));
        db.setUserName(q(settings.user));
        db.setPassword(q(settings.password));
    } else {
        std::error_code ec;
        const auto folder = std::filesystem::path(settings.sqliteFile).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder, ec);
        db.setDatabaseName(q(settings.sqliteFile));
        // Several programs may share the file; a writer waits for another one to finish.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    }

    const auto openFailed = [this](const std::string& description) -> Result<void> {
        impl_->unreachable = description;
        const Failure failure = fail(description, kConnectFailed);
        QSqlDatabase::database(impl_->connection, false).close();
        return failure;
    };
    if (!db.isValid())
        return openFailed(descriptionOf(db.lastError()));
    if (!db.open())
        return openFailed(descriptionOf(db.lastError()));

    QSqlQuery query(db);
    if (!impl_->postgres && !query.exec(QStringLiteral("PRAGMA foreign_keys = ON")))
        return openFailed(descriptionOf(query.lastError()));

    // Two programs starting on an empty server must not both create the tables.
    bool ok = impl_->postgres ? query.exec(QStringLiteral("BEGIN")) &&
            query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(5400755)"))
                              : query.exec(QStringLiteral("BEGIN IMMEDIATE"));
    ok = ok && upgradeRecordSchema(query, impl_->postgres);
    ok = ok && impl_->commit(query);
    if (!ok) {
        const std::string description = descriptionOf(query.lastError());
        impl_->rollback();
        return openFailed(description);
    }
    return {};
}

Result<void> TestRecordDatabase::close()
{
    if (!isOpen())
        return Failure{kNotConnected};
    {
        QSqlDatabase db = impl_->db();
        db.close();
        if (db.isOpen())
            return Failure{kCloseFailed};
    }
    release();
    return {};
}

// ---- lookups -------------------------------------------------------------------------

namespace {

enum class Lookup { One, NotOne, Failed };

// Reads column 0 of the only row; NotOne for none or several.
Lookup onlyRow(QSqlQuery& query, QVariant& value)
{
    if (!query.next())
        return query.lastError().isValid() ? Lookup::Failed : Lookup::NotOne;
    value = query.value(0);
    if (query.next())
        return Lookup::NotOne;
    return query.lastError().isValid() ? Lookup::Failed : Lookup::One;
}

}  // namespace

Result<void> TestRecordDatabase::requireOpen(const char* failureText)
{
    if (isOpen())
        return {};
    return fail(kNotConnected, failureText);
}

Result<void> TestRecordDatabase::execute(QSqlQuery& query, const char* sql,
                                         std::initializer_list<QVariant> values,
                                         const char* failureText)
{
    if (run(query, sql, values))
        return {};
    return fail(descriptionOf(query.lastError()), failureText);
}

Result<std::optional<QVariant>>
TestRecordDatabase::lookupOne(const char* sql, std::initializer_list<QVariant> values,
                              const char* failureText)
{
    QSqlQuery query(impl().db());
    QVariant value;
    Lookup found = Lookup::Failed;
    if (run(query, sql, values))
        found = onlyRow(query, value);
    if (found == Lookup::Failed)
        return fail(descriptionOf(query.lastError()), failureText);
    return found == Lookup::One ? std::optional<QVariant>(value) : std::optional<QVariant>();
}

Result<long long> TestRecordDatabase::countOf(const char* sql,
                                              std::initializer_list<QVariant> values,
                                              const char* failureText)
{
    QSqlQuery query(impl().db());
    if (!run(query, sql, values) || !query.next())
        return fail(descriptionOf(query.lastError()), failureText);
    return query.value(0).toLongLong();
}

Result<void> TestRecordDatabase::changeOneRow(const char* sql,
                                              std::initializer_list<QVariant> values,
                                              const char* failureText, const char* noRowText)
{
    QSqlQuery query(impl().db());
    if (auto done = execute(query, sql, values, failureText); !done)
        return done;
    // The row the operator chose has gone since the list was shown.
    if (query.numRowsAffected() < 1)
        return fail({}, noRowText);
    return {};
}

Result<int> TestRecordDatabase::companyId(const std::string& name)
{
    if (auto open = requireOpen(kCompanyLookupFailed); !open)
        return Failure{open.error()};
    const auto id = lookupOne("SELECT CompanyID FROM CompanyInfo WHERE Company = ?", {q(name)},
                              kCompanyLookupFailed);
    if (!id)
        return Failure{id.error()};
    return *id ? (*id)->toInt() : -1;
}

Result<std::string> TestRecordDatabase::companyName(int id)
{
    if (auto open = requireOpen(kCompanyByIdFailed); !open)
        return Failure{open.error()};
    const auto name =
        lookupOne("SELECT Company FROM CompanyInfo WHERE CompanyID = ?", {id}, kCompanyByIdFailed);
    if (!name)
        return Failure{name.error()};
    return *name ? (*name)->toString().toStdString() : std::string(kUnknownName);
}

Result<int> TestRecordDatabase::deviceId(const std::string& name, int company)
{
    if (auto open = requireOpen(kDeviceSearchFailed); !open)
        return Failure{open.error()};
    const auto id = lookupOne("SELECT DeviceID FROM DeviceInfo WHERE Device = ? AND CompanyID = ?",
                              {q(name), company}, kDeviceSearchFailed);
    if (!id)
        return Failure{id.error()};
    return *id ? (*id)->toInt() : -1;
}

Result<std::string> TestRecordDatabase::deviceName(int id)
{
    if (auto open = requireOpen(kDeviceSearchFailed); !open)
        return Failure{open.error()};
    const auto name =
        lookupOne("SELECT Device FROM DeviceInfo WHERE DeviceID = ?", {id}, kDeviceSearchFailed);
    if (!name)
        return Failure{name.error()};
    return *name ? (*name)->toString().toStdString() : std::string(kUnknownName);
}

Result<std::vector<TestRecordDatabase::Company>> TestRecordDatabase::companies()
{
    if (auto open = requireOpen(kCompanyListFailed); !open)
        return Failure{open.error()};
    QSqlQuery query(impl().db());
    if (auto done = execute(query, "SELECT CompanyID, Company FROM CompanyInfo ORDER BY CompanyID",
                            {}, kCompanyListFailed);
        !done)
        return Failure{done.error()};
    std::vector<Company> list;
    while (query.next())
        list.push_back({query.value(0).toInt(), query.value(1).toString().toStdString()});
    if (query.lastError().isValid())
        return fail(descriptionOf(query.lastError()), kCompanyListFailed);
    return list;
}

Result<std::vector<TestRecordDatabase::Device>> TestRecordDatabase::devices(int company)
{
    if (auto open = requireOpen(kDeviceListFailed); !open)
        return Failure{open.error()};
    QSqlQuery query(impl().db());
    if (auto done =
            execute(query,
                    "SELECT DeviceID, Device, CompanyID FROM DeviceInfo WHERE CompanyID = ? "
                    "ORDER BY DeviceID",
                    {company}, kDeviceListFailed);
        !done)
        return Failure{done.error()};
    std::vector<Device> list;
    while (query.next())
        list.push_back({query.value(0).toInt(), query.value(1).toString().toStdString(),
                        query.value(2).toInt()});
    if (query.lastError().isValid())
        return fail(descriptionOf(query.lastError()), kDeviceListFailed);
    return list;
}

// ---- maintenance ---------------------------------------------------------------------

Result<void> TestRecordDatabase::addCompany(const std::string& name)
{
    if (name.empty())
        return fail({}, kEmptyName);
    if (auto open = requireOpen(kCompanySearchFailed); !open)
        return open;
    const auto same = countOf("SELECT COUNT(*) FROM CompanyInfo WHERE Company = ?", {q(name)},
                              kCompanySearchFailed);
    if (!same)
        return Failure{same.error()};
    if (*same > 0)
        return fail({}, kCompanyExists);
    // A name added elsewhere since the check is refused by the table's unique key.
    QSqlQuery query(impl().db());
    if (auto done = execute(query, "INSERT INTO CompanyInfo (Company) VALUES (?)", {q(name)},
                            kCompanyInsertFailed);
        !done)
        return done;
    tell(kCompanyAdded);
    return {};
}

Result<void> TestRecordDatabase::renameCompany(int id, const std::string& newName)
{
    if (id < 0)
        return fail({}, kSelectCompanyToRename);
    if (newName.empty())
        return fail({}, kEmptyName);
    if (auto open = requireOpen(kCompanyUpdateFailed); !open)
        return open;
    const auto same =
        countOf("SELECT COUNT(*) FROM CompanyInfo WHERE Company = ? AND CompanyID <> ?",
                {q(newName), id}, kCompanySearchFailed);
    if (!same)
        return Failure{same.error()};
    if (*same > 0)
        return fail({}, kCompanyExists);
    if (auto done = changeOneRow("UPDATE CompanyInfo SET Company = ? WHERE CompanyID = ?",
                                 {q(newName), id}, kCompanyUpdateFailed, kSelectCompanyToRename);
        !done)
        return done;
    tell(kCompanyRenamed);
    return {};
}

Result<void> TestRecordDatabase::deleteCompany(int id)
{
    if (id < 0)
        return fail({}, kSelectCompanyToDelete);
    if (auto open = requireOpen(kDeviceListFailed); !open)
        return open;
    const auto devices =
        countOf("SELECT COUNT(*) FROM DeviceInfo WHERE CompanyID = ?", {id}, kDeviceListFailed);
    if (!devices)
        return Failure{devices.error()};
    if (*devices > 0)
        return fail({}, kCompanyHasDevices);
    // By key, not by name: the company the operator chose and no other. A device added
    // elsewhere since the check makes the foreign key refuse the deletion.
    return changeOneRow("DELETE FROM CompanyInfo WHERE CompanyID = ?", {id}, kCompanyDeleteFailed,
                        kSelectCompanyToDelete);
}

Result<void> TestRecordDatabase::addDevice(const std::string& name, int company)
{
    if (name.empty())
        return fail({}, kEmptyName);
    if (auto open = requireOpen(kDeviceInsertFailed); !open)
        return open;
    const auto existing = deviceId(name, company);
    if (!existing)
        return Failure{existing.error()};
    if (*existing >= 0)
        return fail({}, kDeviceExists);
    QSqlQuery query(impl().db());
    if (auto done = execute(query, "INSERT INTO DeviceInfo (Device, CompanyID) VALUES (?, ?)",
                            {q(name), company}, kDeviceInsertFailed);
        !done)
        return done;
    tell(kDeviceAdded);
    return {};
}

Result<void> TestRecordDatabase::modifyDevice(int id, const std::string& name, int company)
{
    if (id < 0)
        return fail({}, kSelectDeviceToModify);
    if (name.empty())
        return fail({}, kEmptyName);
    if (auto open = requireOpen(kDeviceUpdateFailed); !open)
        return open;
    const auto existing = deviceId(name, company);
    if (!existing)
        return Failure{existing.error()};
    if (*existing >= 0 && *existing != id)
        return fail({}, kDeviceExists);
    if (auto done =
            changeOneRow("UPDATE DeviceInfo SET Device = ?, CompanyID = ? WHERE DeviceID = ?",
                         {q(name), company, id}, kDeviceUpdateFailed, kSelectDeviceToModify);
        !done)
        return done;
    tell(kDeviceModified);
    return {};
}

Result<void> TestRecordDatabase::deleteDevice(int id)
{
    if (id < 0)
        return fail({}, kSelectDeviceToDelete);
    if (auto open = requireOpen(kDeviceDeleteFailed); !open)
        return open;
    if (auto done = changeOneRow("DELETE FROM DeviceInfo WHERE DeviceID = ?", {id},
                                 kDeviceDeleteFailed, kSelectDeviceToDelete);
        !done)
        return done;
    tell(kDeviceDeleted);
    return {};
}

Result<DeviceClass> TestRecordDatabase::deviceClass(int deviceId)
{
    if (auto open = requireOpen(kDeviceSearchFailed); !open)
        return Failure{open.error()};
    QSqlQuery query(impl().db());
    if (auto done = execute(query,
                            "SELECT VoltageKv, OpenBreathing, Standard FROM DeviceInfo "
                            "WHERE DeviceID = ?",
                            {deviceId}, kDeviceSearchFailed);
        !done)
        return Failure{done.error()};
    DeviceClass c;
    if (query.next()) {
        c.voltageKv = query.value(0).toDouble();
        c.openBreathing = query.value(1).toInt() != 0;
        // A standard this program does not know judges by the default one.
        c.standard = judgingStandardFromKey(query.value(2).toString().toStdString())
                         .value_or(JudgingStandard::Dlt722);
    }
    return c;
}

Result<DeviceClass> TestRecordDatabase::deviceClass(const std::string& company,
                                                    const std::string& device)
{
    const auto companyKey = companyId(company);
    if (!companyKey)
        return Failure{companyKey.error()};
    const auto deviceKey = *companyKey < 0 ? Result<int>(-1) : deviceId(device, *companyKey);
    if (!deviceKey)
        return Failure{deviceKey.error()};
    return deviceClass(*deviceKey);
}

Result<void> TestRecordDatabase::setDeviceClass(int deviceId, const DeviceClass& device)
{
    if (deviceId < 0)
        return fail({}, kSelectDeviceToModify);
    if (!(std::isfinite(device.voltageKv) && device.voltageKv >= 0.0))
        return fail({}, kBadVoltageClass);
    if (auto open = requireOpen(kDeviceUpdateFailed); !open)
        return open;
    return changeOneRow(
        "UPDATE DeviceInfo SET VoltageKv = ?, OpenBreathing = ?, Standard = ? WHERE DeviceID = ?",
        {device.voltageKv, device.openBreathing ? 1 : 0,
         QString::fromUtf8(judgingStandardKey(device.standard)), deviceId},
        kDeviceUpdateFailed, kSelectDeviceToModify);
}

// ---- tests ---------------------------------------------------------------------------

TestSaveResult TestRecordDatabase::saveTest(const std::string& company, const std::string& device,
                                            TestRecord record)
{
    // An unreachable database is no proof that the company does not exist.
    if (!isOpen()) {
        const std::string why = impl_ != nullptr && !impl_->unreachable.empty()
            ? impl_->unreachable
            : std::string(kNotConnected);
        if (showMessage_)
            showMessage_(why + kConnectFailed + kTestNotSaved);
        return TestSaveResult::Failed;
    }
    // A lookup the database failed has been shown; as the operator sees it, the name was
    // not found either.
    record.companyId = companyId(company).value_or(-1);
    if (record.companyId < 0) {
        tell(kNoSuchCompany);
        return TestSaveResult::CompanyNotFound;
    }
    record.deviceId = deviceId(device, record.companyId).value_or(-1);
    if (record.deviceId < 0) {
        tell(kNoSuchDevice);
        return TestSaveResult::DeviceNotFound;
    }
    const auto time = storedInjectTime(record.injectTime);
    if (!time) {
        fail("invalid injection time \"" + record.injectTime + "\"", kReportWriteFailed);
        return TestSaveResult::Failed;
    }
    for (double v : record.values)
        if (!std::isfinite(v)) {
            fail("a content is not a finite number", kReportWriteFailed);
            return TestSaveResult::Failed;
        }

    QVariantList values;
    for (double v : record.values)
        values.push_back(twoDecimals(v));
    const int broken = record.status == -2 ? 1 : 0;

    QSqlQuery query(impl().db());
    const auto failed = [&](const char* text) {
        const std::string description = descriptionOf(query.lastError());
        query.finish();
        impl().rollback();
        fail(description, text);
        return TestSaveResult::Failed;
    };
    if (!impl().beginExclusive(query, "ReportInfo"))
        return failed(kReportWriteFailed);
    // A test is one device's: another device sampled in the same second is another test.
    if (!run(query, "SELECT COUNT(*) FROM ReportInfo WHERE DeviceID = ? AND InjectTime = ?",
             {record.deviceId, q(*time)}) ||
        !query.next())
        return failed(kReportQueryFailed);
    const long long existing = query.value(0).toLongLong();
    query.finish();

    TestSaveResult result = TestSaveResult::NothingWritten;
    if (existing == 0) {
        if (!run(query,
                 "INSERT INTO ReportInfo (CompanyID, DeviceID, BatchNo, InjectTime, H2, CH4, "
                 "C2H6, C2H4, C2H2, CO, CO2, O2, N2, AllC, Broken) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                 {record.companyId, record.deviceId, q(record.batchNo), q(*time), values[0],
                  values[1], values[2], values[3], values[4], values[5], values[6], values[7],
                  values[8], values[9], broken}))
            return failed(kReportWriteFailed);
        result = TestSaveResult::Inserted;
    } else if (existing == 1) {
        if (!run(query,
                 "UPDATE ReportInfo SET CompanyID = ?, BatchNo = ?, H2 = ?, CH4 = ?, C2H6 = ?, "
                 "C2H4 = ?, C2H2 = ?, CO = ?, CO2 = ?, O2 = ?, N2 = ?, AllC = ?, Broken = ? "
                 "WHERE DeviceID = ? AND InjectTime = ?",
                 {record.companyId, q(record.batchNo), values[0], values[1], values[2], values[3],
                  values[4], values[5], values[6], values[7], values[8], values[9], broken,
                  record.deviceId, q(*time)}))
            return failed(kReportWriteFailed);
        result = TestSaveResult::Replaced;
    }
    if (!impl().commit(query))
        return failed(kReportWriteFailed);
    if (result == TestSaveResult::Replaced)
        tell(kTestReplaced);
    return result;
}

Result<std::vector<TestRecord>> TestRecordDatabase::queryTests(int company, int device,
                                                               TestRange range, std::time_t now)
{
    if (auto open = requireOpen(kReportQueryFailed); !open)
        return Failure{open.error()};
    QSqlQuery query(impl().db());
    const std::string select = std::string("SELECT ") + kReportColumns +
        " FROM ReportInfo WHERE CompanyID = ? AND DeviceID = ?";
    bool ok;
    if (range == TestRange::All) {
        ok = run(query, (select + " ORDER BY InjectTime DESC").c_str(), {company, device});
    } else {
        const std::string from =
            storedLocalTime(now - static_cast<std::time_t>(rangeSeconds(range)));
        const std::string to = storedLocalTime(now);
        ok = run(
            query,
            (select + " AND InjectTime > ? AND InjectTime < ? ORDER BY InjectTime DESC").c_str(),
            {company, device, q(from), q(to)});
    }
    if (!ok)
        return fail(descriptionOf(query.lastError()), kReportQueryFailed);
    std::vector<TestRecord> rows;
    while (query.next()) {
        TestRecord r;
        r.companyId = query.value(0).toInt();
        r.deviceId = query.value(1).toInt();
        r.batchNo = query.value(2).toString().toStdString();
        r.injectTime = shownInjectTime(query.value(3).toString().toStdString());
        for (int i = 0; i < static_cast<int>(TestRecord::ValueCount); ++i)
            r.values[static_cast<size_t>(i)] = query.value(4 + i).toDouble();
        r.status = query.value(14).toInt();
        rows.push_back(std::move(r));
    }
    if (query.lastError().isValid())
        return fail(descriptionOf(query.lastError()), kReportQueryFailed);
    return rows;
}

}  // namespace dgaws
