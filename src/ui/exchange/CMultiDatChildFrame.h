#pragma once

#include "ui/exchange/CMultiDatView.h"

#include "processing/ComparisonEntry.h"
#include "report/Report.h"

#include <QPageLayout>

#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QToolBar;

namespace dgaws {

class OperatorPrompts;

// The document of the multi-chromatogram window: its entries, the one in focus, the one
// the window was matched to and the normalised display's settings.
struct CMultiDatDoc {
    ComparisonSet set;
};

// The list of the window's chromatograms: a check box for taking part in the combining
// operations, the alignments and the deletion, and the entry's shifts.
class CMultiDatListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CMultiDatListView(CMultiDatDoc& doc, QWidget* parent = nullptr);
    void refresh();

signals:
    void checksChanged();

private:
    CMultiDatDoc& doc_;
    bool filling_ = false;
};

// The multi-chromatogram window: the list over the overlaid graph, and its commands.
// Every combining operation asks for a new file, writes the result there and appends it;
// the sources are never changed.
class CMultiDatChildFrame : public QWidget {
    Q_OBJECT
public:
    enum class DeleteAnswer { Delete, DeleteAll, Keep, Cancel };
    // Asked for each checked entry before it leaves the window.
    using DeleteQuestion = std::function<DeleteAnswer(const QString& text)>;

    CMultiDatChildFrame(OperatorPrompts& prompts, QWidget* parent = nullptr);

    CMultiDatDoc& document() { return doc_; }
    CMultiDatListView* list() const { return list_; }
    CMultiDatView* graph() const { return graph_; }
    void setDeleteQuestion(DeleteQuestion ask) { askDelete_ = std::move(ask); }

    // "增加谱图文件(&L)...": the files asked for, or these when given.
    void addFiles(const QStringList& given = {});
    // "删除谱图文件(&E)".
    void deleteChecked();
    void toggleShown();
    void matchWindow();
    // The combining operations; each returns the index of the new entry, or nothing when
    // cancelled or refused (the reason has been shown).
    std::optional<int> sum();
    std::optional<int> difference();
    std::optional<int> derivative();
    std::optional<int> invert();
    std::optional<int> smooth();
    void alignBaselines();
    void alignPeaks();
    void editNormalisation();
    void setLabels(int value);

    // Everything drawn and listed again.
    void refresh();

    // "多谱图打印": the overlaid graph as shown and the list of its chromatograms, on the
    // paper of the print settings (`layout`, A4 until set).
    void setPageLayout(std::function<QPageLayout()> layout) { pageLayout_ = std::move(layout); }
    // The folder the PDF export proposes (none: the dialog's own choice).
    void setExportFolder(const QString& folder) { exportFolder_ = folder; }
    Report report() const;
    bool print();
    void preview();
    // The PDF where the operator chooses; the path written, none when cancelled or failed
    // (the failure is shown and no partial file is left).
    std::optional<QString> exportPdf();
    static constexpr const char* kPdfFilter = "PDF文件(*.pdf)|*.pdf||";
    static constexpr const char* kPdfFailed = "无法写入PDF文件%s";
    static constexpr const char* kPdfSaved = "报告的PDF文件已经保存到%s";

private:
    std::optional<int> store(ChromatogramData result, const QString& proposed);
    const ComparisonEntry* currentEntry() const;
    DeleteAnswer askDelete(const QString& text);
    QPageLayout paper() const;

    OperatorPrompts& prompts_;
    CMultiDatDoc doc_;
    QToolBar* bar_;
    CMultiDatListView* list_;
    CMultiDatView* graph_;
    QComboBox* distribution_;
    DeleteQuestion askDelete_;
    std::function<QPageLayout()> pageLayout_;
    QString exportFolder_;
};

}  // namespace dgaws
