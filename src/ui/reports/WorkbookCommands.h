#pragma once

#include "report/TemplateWorkbooks.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class OperatorPrompts;
class WorkstationApp;

// The chromatogram window's spreadsheet commands: the device record card (new or appended
// to), the other-situation record, the sample label and the custom report, filled from the
// templates in the method folder and opened with the desktop's spreadsheet program.
class WorkbookCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kNewCard = "填写新设备档案卡片(&C)";
    static constexpr const char* kAppendCard = "追加写入到已有设备档案卡片(&A)";
    static constexpr const char* kOtherRecord = "设备其他情况记录(&O)";
    static constexpr const char* kSampleLabel = "填写样品标签(&T)";
    static constexpr const char* kCustomReport = "自定义报告1";
    // A chromatogram still growing is no test yet.
    static constexpr const char* kNotWhileSampling = "正在采样，不能写入Excel文件。";

    WorkbookCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    static bool canWrite(const CChrEDoc& doc);

    // Puts the commands into `menu` as a submenu; they act on the frame `activeFrame`
    // answers at the time.
    void addTo(QMenu* menu, std::function<CChildFrame*()> activeFrame);
    // Enabled while a chromatogram that is no growing run is active.
    void update(const CChildFrame* active);

    // Each returns the saved workbook's path; nothing when cancelled or refused (the reason
    // has been shown).
    std::optional<QString> write(CChildFrame& frame, WorkbookKind kind);
    std::optional<QString> appendToCard(CChildFrame& frame);

private:
    std::optional<int> chooseColumn();
    // Shows where the workbook went and hands it to the desktop's spreadsheet program.
    void announce(WorkbookKind kind, const QString& path);

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    QList<QAction*> actions_;
};

}  // namespace dgaws
