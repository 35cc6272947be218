#pragma once

#include "chromatogram/TextChromatogram.h"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;
class QRadioButton;
class QWidget;

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class OperatorPrompts;
class WorkstationApp;

// "选择谱图组合的次序": whether the file just chosen goes before or after the open
// chromatogram; after unless the operator says otherwise.
class MergeOrderDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "选择谱图组合的次序";
    static constexpr const char* kChosenFirst = "刚选择的图在前";
    static constexpr const char* kChosenAfter = "刚选择的图在后";

    explicit MergeOrderDialog(QWidget* parent = nullptr);
    bool chosenFirst() const;

private:
    QRadioButton* first_;
    QRadioButton* after_;
};

// The "数据服务中心" menu: AIA and text chromatograms in and out, and merging a stored
// chromatogram into the open one. An import opens a window of its own; an export or a
// merge acts on the active window.
class DataServiceCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kMenu = "数据服务中心";
    static constexpr const char* kCdfFilter = "国际通用色谱格式/中药指纹图谱格式(*.cdf)|*.cdf||";
    static constexpr const char* kPlainFilter = "色谱谱图文本格式(*.txt)|*.txt||";
    static constexpr const char* kStandardFilter = "标准色谱谱图文本文件(*.txt)|*.txt||";
    static constexpr const char* kCsvFilter = "EXCEL逗号分隔值文件(*.csv)|*.csv||";
    static constexpr const char* kMerge = "合并谱图文件(&M)";
    static constexpr const char* kRateNotTaken =
        "该文本谱图的采样频率为每秒%s点，采集卡只支持每秒10、20或50点，新的采样频率保持不变。";

    // Creates a document the way the frame does, and shows one in a window of its own.
    using MakeDocument = std::function<std::unique_ptr<CChrEDoc>()>;
    using ShowDocument = std::function<CChildFrame*(std::unique_ptr<CChrEDoc>)>;

    DataServiceCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent,
                        MakeDocument make, ShowDocument show);

    // The menu goes into the bar before `before`.
    void addTo(QMenuBar* bar, QAction* before, std::function<CChildFrame*()> activeFrame);
    // The export and merge commands need an active chromatogram.
    void update(const CChildFrame* active);

    // Each import asks for the file; the window it opened, or null when cancelled or the
    // file could not be read (which leaves no window behind).
    CChildFrame* importCdf();
    CChildFrame* importText(TextLayout layout);
    // A file already chosen (dropped, given on the command line).
    CChildFrame* openCdf(const QString& path);
    CChildFrame* openText(const QString& path, TextLayout layout);

    // A file dropped on the window or given on the command line, by its extension: .cdf
    // as AIA, .csv comma-separated, .txt in whichever text layout its first line shows.
    // Null for any other kind, or when it cannot be read.
    CChildFrame* openByKind(const QString& path);
    static bool handles(const QString& path);
    // The text layout of a .txt file, decided as the command line and the batch decide it.
    static TextLayout sniffTextLayout(const QString& path);

    // True when a file was written.
    bool exportCdf(CChildFrame& frame);
    bool exportText(CChildFrame& frame, TextLayout layout);
    // True when the chosen file joined the open chromatogram.
    bool merge(CChildFrame& frame);

private:
    // The refusals that come before the save dialog; true when the export may go on.
    bool mayExport(const CChrEDoc& doc);
    CChildFrame* showLoaded(std::unique_ptr<CChrEDoc> doc, const QString& path);

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    MakeDocument make_;
    ShowDocument show_;
    QList<QAction*> documentActions_;
};

}  // namespace dgaws
