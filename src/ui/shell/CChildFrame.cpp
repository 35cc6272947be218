#include "ui/shell/CChildFrame.h"

#include "ui/common/QtText.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/CResultListView.h"

#include "app/CChrEDoc.h"

#include <QCloseEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace dgaws {

CChildFrame::CChildFrame(std::unique_ptr<CChrEDoc> doc, QWidget* parent)
    : QWidget(parent), doc_(std::move(doc)), splitter_(new QSplitter(Qt::Vertical, this)),
      graph_(new CChrEGraphView(splitter_)), results_(new CResultListView(splitter_)),
      editing_(std::make_unique<PeakEditSession>(*doc_))
{
    splitter_->addWidget(graph_);
    splitter_->addWidget(results_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    graph_->setDocument(doc_.get());
    results_->setDocument(doc_.get());
    connect(results_, &CResultListView::peakSelected, graph_, [this] {
        graph_->refreshPeaks();
        emit editingChanged(this);
    });
    connect(graph_, &CChrEGraphView::peakClicked, this, [this](int peak) {
        doc_->selectedPeak = peak;
        graph_->refreshPeaks();
        emit editingChanged(this);
    });
    connect(graph_, &CChrEGraphView::editClicked, this, &CChildFrame::editClick);
    updateTitle();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::refreshViews()
{
    doc_->readLinkedData();
    graph_->rebuild();
    // The indicator tells of the collector attached now; a document without one (a stored
    // file put in the window) has no flame to show.
    graph_->setIgnition(doc_->ignited());
    results_->refreshResults();
    updateTitle();
}

void CChildFrame::pointsAdded()
{
    graph_->appendAcquired();
}

void CChildFrame::peaksChanged()
{
    graph_->refreshPeaks();
    results_->refreshResults();
}

template <typename Edit> void CChildFrame::keepingRange(Edit edit)
{
    const QCPRange x = graph_->xAxis->range();
    const QCPRange y = graph_->yAxis->range();
    edit();
    // Only a redraw that moved the range is undone; setting it marks the range as the
    // operator's, which would stop a run's graph following its newest point.
    if (graph_->xAxis->range() == x && graph_->yAxis->range() == y)
        return;
    graph_->xAxis->setRange(x);
    graph_->yAxis->setRange(y);
    graph_->replot(QCustomPlot::rpQueuedReplot);
}

void CChildFrame::editingDone()
{
    graph_->setEditing(editing_->active());
    updateTitle();
    emit editingChanged(this);
}

void CChildFrame::chooseEditMode(PeakEditSession::Mode mode)
{
    editing_->choose(mode);
    editingDone();
}

void CChildFrame::endImpossibleMode()
{
    if (editing_->active() && !editing_->available(editing_->mode())) {
        editing_->end();
        graph_->setEditing(false);
    }
}

void CChildFrame::editClick(int sample)
{
    keepingRange([&] { editing_->click(sample); });
    editingDone();
}

void CChildFrame::toggleNegative()
{
    keepingRange([&] { editing_->toggleNegative(); });
    editingDone();
}

// undo() brings back the display range stored with its step, so the graph takes it.
void CChildFrame::undoEdit()
{
    editing_->undo();
    editingDone();
}

void CChildFrame::redoEdit()
{
    editing_->redo();
    editingDone();
}

void CChildFrame::updateTitle()
{
    const QString title = qs(doc_->title());
    if (windowTitle() == title)
        return;
    setWindowTitle(title);
    emit titleChanged(this);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (closeGuard_ && !closeGuard_(*this)) {
        event->ignore();
        return;
    }
    emit closing(this);
    event->accept();
}

}  // namespace dgaws
