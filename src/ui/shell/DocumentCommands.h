#pragma once

#include "chromatogram/DisplayColors.h"
#include "chromatogram/MethodLibrary.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class OperatorPrompts;
class WorkstationApp;

// The commands of a chromatogram document: save, save as, close, colours, sample
// information, background, the method and curve from the library. The document does the work; these add the dialogs and keep the
// window and the file tree in step.
class DocumentCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSaveCaption = "保存谱图文件";
    static constexpr const char* kChromatogramFilter =
        "VeltraGW-5800变压器油专用版谱图文件(*.chg;*.dat)|*.chg;*.dat|所有文件(*.*)|*.*|";
    // The document framework's question before a changed document closes.
    static constexpr const char* kAskToSave = "是否保存对%s的更改？";
    // A running chromatogram is still growing; its contents are not yet a test.
    static constexpr const char* kCannotDiagnoseWhileSampling = "正在采样，不能诊断。";
    static constexpr const char* kMethodSavedLog = "用户保存了一个名为%s的分析方法";

    DocumentCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    static bool canSave(const CChrEDoc& doc);

    // The chromatogram windows open now; the sample information reaches the other channel
    // of the same sample through them.
    void setOpenFrames(std::function<QList<CChildFrame*>()> frames) { frames_ = std::move(frames); }

    // The Save command: the proposed path for a document without one, then the file.
    bool save(CChildFrame& frame);
    // The Save-as command: the proposal in the save dialog; cancel empties the path.
    bool saveAs(CChildFrame& frame);
    // The close rules; true when the window may close.
    bool mayClose(CChildFrame& frame);

    // The dialogs; each returns true when the operator confirmed.
    bool editColors(CChildFrame& frame);
    bool editSampleInfo(CChildFrame& frame);
    bool chooseBackground(CChildFrame& frame);

    // "诊断并查看诊断报告": diagnoses the document, saves the test into the application's
    // test-record database and shows the diagnosis dialog; every question goes to the
    // prompts. False when refused (a run is going) or the company or device is unknown.
    static bool canDiagnose(const CChrEDoc& doc);
    bool diagnose(CChildFrame& frame);

    // A method (or one of its curves) activated in the method tree: after the operator's
    // confirmation the document uses the whole method. True when it did.
    bool useMethod(CChildFrame& frame, const MethodChoice& choice);
    // "选择分析方法计算谱图(&S)" with its dialog.
    bool chooseMethod(CChildFrame& frame);

    // The method sheet of the chromatogram's own method copy; OK applies it once.
    bool editMethod(CChildFrame& frame);
    // "手动积分事件表(&M)": the manual events of the chromatogram's method.
    bool editManualEvents(CChildFrame& frame);
    // "查看峰信息" on the selected peak.
    bool showPeakInfo(CChildFrame& frame);
    // A click on the time scale: a time-program row at that time, edited before it goes in;
    // the program is switched on so that the row takes effect.
    bool addTimeEventAt(CChildFrame& frame, double minutes);

    // What the dialogs' OK does.
    void applyColors(CChildFrame& frame, const DisplayColors& colors);
    void applyBackground(CChildFrame& frame, const QString& file, bool show, int32_t traceColor);
    bool applyMethodChoice(CChildFrame& frame, const MethodChoice& choice);

signals:
    // A file was written or a window closed: the file tree shows the data folder afresh.
    void filesChanged();
    // The document's results were computed again: the result list shows them afresh.
    void resultsChanged(dgaws::CChildFrame* frame);
    // The diagnosis dialog ended through "打印预览": the DGA report is to be previewed.
    void dgaPreviewRequested(dgaws::CChildFrame* frame);
    // The diagnosis dialog's "查看数据库" for the test's company and device.
    void databaseViewRequested(const QString& company, const QString& device);

private:
    // "采样还未停止，无法输出保存！" for a document whose run is still recording.
    bool refusedWhileRecording(const CChrEDoc& doc);

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    std::function<QList<CChildFrame*>()> frames_;
};

}  // namespace dgaws
