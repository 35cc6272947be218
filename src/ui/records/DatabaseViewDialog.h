#pragma once

#include "app/TestRecordDatabase.h"
#include "dga/DgaLimits.h"

#include <QDialog>
#include <QSharedPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QButtonGroup;
class QCPAxisTickerText;
class QCustomPlot;
class QListWidget;
class QTableWidget;

namespace dgaws {

class OperatorPrompts;

// "查看数据库": the tests of one device of one sending company, newest first, over a chosen
// range, as a list and as a trend of each gas with its attention value.
class DatabaseViewDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "查看数据库";
    static constexpr const char* kNoCompany = "没有选中送样公司!";
    static constexpr const char* kNoDevice = "您没有选中任何设备，请重新选择!";
    static constexpr const char* kCsvFilter = "逗号分隔文件(*.csv)|*.csv||";
    static constexpr const char* kCsvFailed = "无法写入文件%s";
    static constexpr const char* kNoTest = "请先在列表中选中一次实验。";

    // What the dialog's buttons do outside it: the custom report of a test, and opening a
    // test's chromatogram (none found: say so).
    struct Actions {
        std::function<void(const TestRecord&, const QString& company, const QString& device)>
            printReport;
        std::function<void(const TestRecord&)> openChromatogram;
    };

    DatabaseViewDialog(TestRecordDatabase& db, OperatorPrompts& prompts, Actions actions,
                       QWidget* parent = nullptr);

    // The folder the CSV export proposes (none: the dialog's own choice).
    void setExportFolder(const QString& folder) { exportFolder_ = folder; }

    // Chooses the company and the device by name, as the diagnosis dialog asks.
    void select(const QString& company, const QString& device);

    QListWidget* companies() const { return companies_; }
    QListWidget* devices() const { return devices_; }
    QButtonGroup* ranges() const { return ranges_; }
    QTableWidget* tests() const { return table_; }
    QCustomPlot* trend() const { return trend_; }
    const std::vector<TestRecord>& shownTests() const { return rows_; }

    // The listed tests to a CSV file the operator chooses; false when cancelled or failed.
    bool exportCsv();
    void printCurrentReport();

private:
    void fillDevices();
    void query();
    void fillTable();
    void drawTrend();
    int companyId() const;
    int deviceId() const;
    DeviceClass deviceClass() const;
    // The test of row `r` judged by its device's limits, with the listed test before it.
    LimitsJudgement judgementOf(size_t r, const DeviceClass& device) const;

    TestRecordDatabase& db_;
    OperatorPrompts& prompts_;
    Actions actions_;
    QListWidget* companies_;
    QListWidget* devices_;
    QButtonGroup* ranges_;
    QTableWidget* table_;
    QCustomPlot* trend_;
    std::vector<TestRecord> rows_;
    QSharedPointer<QCPAxisTickerText> dateTicks_;
    QString exportFolder_;
};

// The columns of the list, and one test's cells as it shows them; the last is the test's
// status against its device's limits.
QStringList databaseViewHeaders();
// The trend's time axis: one tick per test day, at the day's first test, "yyyy-MM-dd", at
// most `maxTicks` of them (the first and last test days always among them). `keys` are the
// tests' times in seconds since 1970, oldest first.
std::vector<std::pair<double, QString>> trendDateTicks(const std::vector<double>& keys,
                                                       int maxTicks = 8);
QStringList databaseViewCells(int rowNumber, const TestRecord& test, const QString& company,
                              const QString& device, const QString& status);

}  // namespace dgaws
