#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace dgaws {

class CChildFrame;
class OperatorPrompts;
class TestRecordDatabase;
class WorkstationApp;

// The test-record database in the window: the device library, the database view, inserting
// the active test and its previous test for the gas production rates.
class DatabaseCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDeviceLibrary = "设备库(&D)...";
    static constexpr const char* kViewDatabase = "查看数据库(&V)...";
    static constexpr const char* kInsert = "插入数据库";
    static constexpr const char* kPreviousTest = "查看上次采样数据的产气率";
    static constexpr const char* kAddCompanyQuestion =
        "送样公司“%1”还不在数据库中，要把它加入数据库吗?";
    static constexpr const char* kAddDeviceQuestion =
        "设备“%1”还不在送样公司“%2”的设备库中，要把它加入数据库吗?";
    static constexpr const char* kNoChromatogram = "在数据文件夹中没有找到这次实验的谱图。";
    static constexpr const char* kTestInserted = "已经插入了一行'数据库信息'。";
    // Follows the words naming a linked chromatogram that cannot be read.
    static constexpr const char* kHalfTestRefused = "；结果未保存到数据库。";

    DatabaseCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    // The library and view into `systemMenu`, the document commands into `processMenu`.
    void addTo(QMenu* systemMenu, QMenu* processMenu, std::function<CChildFrame*()> activeFrame,
               std::function<void(const QString& path)> openChromatogram);
    void update(const CChildFrame* active);

    // A company or device the database does not know yet: asks whether to add it and does.
    // True when both are known afterwards; false (nothing more asked) otherwise.
    static bool registerUnknown(TestRecordDatabase& db, OperatorPrompts& prompts,
                                const std::string& company, const std::string& device);

    void showDeviceLibrary();
    // The view, with the company and device chosen when given.
    void showDatabase(const QString& company = {}, const QString& device = {});
    // "插入数据库": both channels' contents, or nothing written; says what it did.
    bool insertTest(CChildFrame& frame);
    bool editPreviousTest(CChildFrame& frame);

private:
    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    std::function<void(const QString&)> open_;
    QList<QAction*> documentActions_;
};

}  // namespace dgaws
