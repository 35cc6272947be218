#pragma once

#include "app/PeakEditSession.h"

#include <QWidget>

#include <functional>
#include <memory>

class QSplitter;

namespace dgaws {

class CChrEDoc;
class CChrEGraphView;
class CResultListView;

// One chromatogram window: it owns its document (a document lives as long as its window)
// and shows it in the graph with the result table below.
class CChildFrame : public QWidget {
    Q_OBJECT
public:
    // Asked before the window closes; false keeps it open.
    using CloseGuard = std::function<bool(CChildFrame&)>;

    explicit CChildFrame(std::unique_ptr<CChrEDoc> doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CChrEDoc& document() { return *doc_; }
    const CChrEDoc& document() const { return *doc_; }
    CChrEGraphView* graph() const { return graph_; }
    CResultListView* results() const { return results_; }

    void setCloseGuard(CloseGuard guard) { closeGuard_ = std::move(guard); }

    // The graph's peak editing: the active mode and the immediate commands. Each edit
    // keeps the part of the graph the operator zoomed to.
    PeakEditSession& editing() { return *editing_; }
    const PeakEditSession& editing() const { return *editing_; }
    void chooseEditMode(PeakEditSession::Mode mode);
    // Ends a mode the document no longer allows (a run started, the selection went), so
    // the left button is the graph's again.
    void endImpossibleMode();
    void editClick(int sample);
    void toggleNegative();
    void undoEdit();
    void redoEdit();

    // Everything drawn again from the document.
    void refreshViews();
    // Points acquired since the last call, for the graph.
    void pointsAdded();
    // The peak table changed: marks, labels and the result table.
    void peaksChanged();
    // The window title follows the document's title and its "*".
    void updateTitle();

signals:
    void titleChanged(CChildFrame* frame);
    // The editing mode, the selection or the undo steps changed: the commands' states.
    void editingChanged(CChildFrame* frame);
    // The window is going away; its document with it.
    void closing(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CChrEDoc> doc_;
    QSplitter* splitter_;
    CChrEGraphView* graph_;
    CResultListView* results_;
    CloseGuard closeGuard_;
    std::unique_ptr<PeakEditSession> editing_;

    // Runs an edit whose redraw would bring the method's range back.
    template <typename Edit> void keepingRange(Edit edit);
    void editingDone();
};

}  // namespace dgaws
