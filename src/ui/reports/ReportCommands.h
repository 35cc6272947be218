#pragma once

#include "report/Report.h"

#include <QObject>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QPagedPaintDevice;
class QWidget;

namespace dgaws {

class CChildFrame;
class OperatorPrompts;
class WorkstationApp;

// The printing commands of the main frame: print, preview, page set-up, PDF export and the
// DGA print settings. The active chromatogram prints its analysis report; the diagnosis
// dialog previews the DGA report.
class ReportCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kPrint = "打印(&P)...";
    static constexpr const char* kPreview = "打印预览(&V)";
    static constexpr const char* kPageSetup = "打印设置(&R)...";
    static constexpr const char* kExportPdf = "导出PDF(&D)...";
    static constexpr const char* kDgaSettings = "诊断结果的打印设置...";
    static constexpr const char* kPdfFilter = "PDF文件(*.pdf)|*.pdf||";
    static constexpr const char* kPdfFailed = "无法写入PDF文件%s";
    static constexpr const char* kPdfSaved = "报告的PDF文件已经保存到%s";
    // Follows the words naming a linked chromatogram that cannot be read.
    static constexpr const char* kHalfTestRefused = "；报告未生成。";

    enum class Kind { Analysis, Dga };

    ReportCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    // Puts the commands into the file menu before `before`.
    void addTo(QMenu* fileMenu, QAction* before, std::function<CChildFrame*()> activeFrame);
    void update(const CChildFrame* active);

    // The report of the frame's chromatogram, with the time of printing.
    Report reportOf(CChildFrame& frame, Kind kind) const;

    // Print, preview and PDF refuse a chromatogram whose linked one cannot be read.
    bool print(CChildFrame& frame, Kind kind);
    void preview(CChildFrame& frame, Kind kind);
    bool pageSetup();
    // The report as PDF where the operator chooses; the path written, none when cancelled
    // or failed (the failure is shown and no partial file is left).
    std::optional<QString> exportPdf(CChildFrame& frame, Kind kind);
    bool editDgaSettings();

    QPageLayout pageLayout() const;

private:
    std::string settingsFile() const;
    // Half a test is not printed: a linked chromatogram named but unreadable is shown, with
    // its reason, and the report refused.
    bool bothChannelsReadable(CChildFrame& frame);

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    QList<QAction*> documentActions_;
};

}  // namespace dgaws
