#pragma once

#include "DatabaseSettings.h"
#include "Result.h"

#include "dga/DgaLimits.h"
#include "dga/DiagnoseCommand.h"
#include "dga/TestRecord.h"

#include <QVariant>

#include <ctime>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QSqlQuery;

namespace dgaws {

// The range choices of the database view, with the seconds they reach back from now.
enum class TestRange { All = 0, Year = 1, Month = 2, Week = 3 };
long long rangeSeconds(TestRange range);
const char* rangeText(TestRange range);

// The test-record database: sending companies, their devices, and one row per oil test.
// One connection per object, opened once and used for every operation in turn. Every
// value goes into its statement as a bound parameter, so no name can change a statement.
// A failure is shown through the message sink as the driver's description followed by the
// operation's text (or as a refusal's text), and the operation answers with a Result that
// holds the same text; nothing is left half written. Confirmations of a change go through
// the sink alone.
class TestRecordDatabase {
public:
    using MessageSink = std::function<void(const std::string&)>;

    struct Company {
        int id = -1;
        std::string name;
        bool operator==(const Company&) const = default;
    };
    struct Device {
        int id = -1;
        std::string name;
        int companyId = -1;
        bool operator==(const Device&) const = default;
    };

    static constexpr const char* kUnknownName = "未知设备";
    static constexpr const char* kConnectFailed = "-数据库连接出现问题，无法正常连接数据库!";
    static constexpr const char* kNotConnected = "Connectin is not available!";
    static constexpr const char* kCloseFailed = "Failed to close the connection!";

    static constexpr const char* kCompanyExists = "存在同名'送样公司'!";
    static constexpr const char* kCompanyAdded = "您已经成功添加了'送样公司'。";
    static constexpr const char* kSelectCompanyToRename = "请先选中要修改的公司名!";
    static constexpr const char* kCompanyRenamed = "您已经更新了一个'送样公司'。";
    static constexpr const char* kSelectCompanyToDelete = "请先选择一家要删除的送样公司!";
    static constexpr const char* kCompanyHasDevices = "有关联设备，不能删除公司名!";
    static constexpr const char* kDeviceAdded = "您已经成功添加了设备。";
    static constexpr const char* kSelectDeviceToModify = "请先选中要修改的设备名!";
    static constexpr const char* kDeviceModified = "您已经更新了一个'设备信息'。";
    static constexpr const char* kSelectDeviceToDelete = "请先选择一个要删除的设备!";
    static constexpr const char* kDeviceDeleted = "您已经删除了设备。";
    static constexpr const char* kNoSuchCompany =
        "不存在对应的送样公司，结果无法保存到数据库，请重新输入公司名和设备名，再点诊断。";
    static constexpr const char* kNoSuchDevice =
        "不存在对应的设备名，结果无法保存到数据库，请重新输入公司名和设备名，再点诊断。";
    static constexpr const char* kTestReplaced = "已经重新已经更新了一行'数据库信息'。";
    // Names must stay unambiguous for lookups: an empty or repeated one is refused.
    static constexpr const char* kEmptyName = "名称不能为空!";
    static constexpr const char* kDeviceExists = "该送样公司已有同名设备!";
    static constexpr const char* kBadVoltageClass = "电压等级应为不小于0的千伏数!";

    TestRecordDatabase();
    ~TestRecordDatabase();
    TestRecordDatabase(const TestRecordDatabase&) = delete;
    TestRecordDatabase& operator=(const TestRecordDatabase&) = delete;

    void setMessageSink(MessageSink sink) { showMessage_ = std::move(sink); }

    // Connects, creates the tables when missing and brings those of an earlier layout up to
    // date in place; a failure is the driver's description followed by kConnectFailed.
    Result<void> open(const DatabaseSettings& settings);
    bool isOpen() const;
    // Fails, without showing, with kNotConnected when nothing is open.
    Result<void> close();
    const DatabaseSettings& settings() const { return settings_; }

    // Lookups: -1 (or kUnknownName) unless exactly one row matches.
    Result<int> companyId(const std::string& name);
    Result<std::string> companyName(int id);
    Result<int> deviceId(const std::string& name, int companyId);
    Result<std::string> deviceName(int id);
    Result<std::vector<Company>> companies();
    Result<std::vector<Device>> devices(int companyId);

    // Maintenance of the device library; -1 stands for "nothing selected".
    Result<void> addCompany(const std::string& name);
    Result<void> renameCompany(int id, const std::string& newName);
    Result<void> deleteCompany(int id);
    Result<void> addDevice(const std::string& name, int companyId);
    Result<void> modifyDevice(int id, const std::string& name, int companyId);
    Result<void> deleteDevice(int id);
    // The class a device's tests are judged by: its voltage class, whether it breathes
    // openly, its standard. A device never given one, or unknown, has the default class.
    Result<DeviceClass> deviceClass(int deviceId);
    Result<DeviceClass> deviceClass(const std::string& company, const std::string& device);
    Result<void> setDeviceClass(int deviceId, const DeviceClass& device);

    // Saves a diagnosed test: looks the company and its device up by name, then inserts the
    // row, or rewrites the single row of that device and injection time (keeping both), or
    // writes nothing when two or more rows hold them. Lookup and write are one transaction
    // that excludes other writers, so concurrent saves never lose or duplicate a row.
    // Contents are kept to two decimals. Every outcome but Inserted and NothingWritten has
    // been shown through the sink.
    TestSaveResult saveTest(const std::string& company, const std::string& device,
                            TestRecord record);

    // Tests of one device, newest first: all, or those strictly between now less the
    // range and now (local time).
    Result<std::vector<TestRecord>> queryTests(int companyId, int deviceId, TestRange range,
                                               std::time_t now);

private:
    struct Impl;

    // Shows `description` followed by `text` and returns it: a driver error and the
    // operation's words, or (with an empty description) a refusal.
    Failure fail(const std::string& description, const char* text);
    // Shows a text the operation's answer does not carry: a confirmation, or why a test
    // was not saved.
    void tell(const char* text);
    // The connection is open; otherwise the not-connected failure under the operation's text.
    Result<void> requireOpen(const char* failureText);
    // Runs a statement with its values bound in order; a failure is under the text.
    Result<void> execute(QSqlQuery& query, const char* sql, std::initializer_list<QVariant> values,
                         const char* failureText);
    // Column 0 of the only row; nothing for no row or several rows.
    Result<std::optional<QVariant>>
    lookupOne(const char* sql, std::initializer_list<QVariant> values, const char* failureText);
    // The single number a COUNT statement answers.
    Result<long long> countOf(const char* sql, std::initializer_list<QVariant> values,
                              const char* failureText);
    // An update or deletion that must reach one row; none reached fails with `noRowText`.
    Result<void> changeOneRow(const char* sql, std::initializer_list<QVariant> values,
                              const char* failureText, const char* noRowText);
    Impl& impl() const;
    // Closes and forgets the connection, whatever state it is in.
    void release();

    DatabaseSettings settings_;
    MessageSink showMessage_;
    Impl* impl_ = nullptr;
};

// The columns of the database view's report list, and one row of it.
inline constexpr const char* kTestRowColumns[] = {"序号", "实验时间", "H2",   "CH4", "C2H6", "C2H4",
                                                  "C2H2", "CO",       "CO2",  "O2",  "N2",   "总烃",
                                                  "异常", "公司",     "设备", "批号"};
std::vector<std::string> testRowTexts(int rowNumber, const TestRecord& r,
                                      const std::string& company, const std::string& device);

// Injection times between the record's "%Y/%m/%d %H:%M:%S" and the stored
// "YYYY-MM-DD HH:MM:SS", whose text order is the time order on every engine.
std::optional<std::string> storedInjectTime(const std::string& shown);
std::string shownInjectTime(const std::string& stored);
std::string storedLocalTime(std::time_t t);

}  // namespace dgaws
