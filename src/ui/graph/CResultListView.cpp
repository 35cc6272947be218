#include "ui/graph/CResultListView.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"

#include "app/CChrEDoc.h"
#include "quant/ContentStatus.h"
#include "report/TableWorkbook.h"
#include "report/XlsxWorkbook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <cstdio>

namespace dgaws {

namespace {

const char* const kGroupHeaders[] = {"组号", "组名",   "时间窗起点", "时间窗终点",
                                     "峰数", "总面积", "总峰高",     "总含量"};

}  // namespace

CResultListView::CResultListView(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    addCommand("手动刷新结果(&R)", [this] { refreshResults(); });
    addCommand("选中全部(&A)", [this] { selectAllRows(); });
    addCommand("取消选中(&C)", [this] { clearSelectedRows(); });
    addCommand("复制选择内容(&D)", [this] { copySelection(); });
    addCommand("打开EXCEL(&O)", [this] { openSpreadsheet(); });
    efficiencyAction_ = addCommand(
        "显示柱效果指标(&E)", [this] { toggleEfficiency(); }, true);
    allPeaksAction_ = addCommand(
        "显示所有峰(&P)", [this] { toggleAllPeaks(); }, true);
    groupsAction_ = addCommand(
        "显示分组结果(&G)", [this] { toggleGroups(); }, true);

    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { onCellClicked(row); });
    connect(this, &QTableWidget::itemSelectionChanged, this, &CResultListView::trackSelection);
    rebuildColumns();
}

QAction* CResultListView::addCommand(const char* text, std::function<void()> command,
                                     bool checkable)
{
    auto* action = new QAction(QString::fromUtf8(text), this);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    menuActions_ << action;
    return action;
}

void CResultListView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    for (int i = 0; i < menuActions_.size(); ++i) {
        if (i == 4 || i == 5)
            menu.addSeparator();
        menu.addAction(menuActions_[i]);
    }
    menu.exec(event->globalPos());
}

void CResultListView::setDocument(CChrEDoc* doc)
{
    doc_ = doc;
    refreshResults();
}

void CResultListView::rebuildColumns()
{
    QStringList headers;
    std::vector<int> widths;
    if (showGroups_) {
        for (const char* h : kGroupHeaders)
            headers << QString::fromUtf8(h);
        widths.assign(headers.size(), 80);
    } else {
        for (const auto& h : ResultRows::headers(options_.showEfficiency))
            headers << qs(h);
        widths = ResultRows::widths(options_.showEfficiency);
    }
    setColumnCount(headers.size());
    setHorizontalHeaderLabels(headers);
    for (int c = 0; c < headers.size(); ++c)
        if (widths[static_cast<size_t>(c)] > 0)
            setColumnWidth(c, widths[static_cast<size_t>(c)]);
}

void CResultListView::refreshResults()
{
    const QSignalBlocker block(this);
    selectionOrder_.clear();
    clearSelection();
    if (showGroups_)
        fillGroupRows();
    else
        fillPeakRows();
}

void CResultListView::fillPeakRows()
{
    options_.uncalibrated =
        doc_ ? uncalibratedPeaks(doc_->data, doc_->calibrationCurve()) : std::vector<bool>{};
    rows_ = doc_ ? ResultRows::build(doc_->data.peaks, options_)
                 : ResultRows::build(PeakTable{}, options_);
    setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const auto& cells = rows_[static_cast<size_t>(r)].cells;
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            QTableWidgetItem* cell = item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                setItem(r, c, cell);
            }
            cell->setText(qs(cells[static_cast<size_t>(c)]));
        }
    }
    widenToContents();
}

// The stored widths suit the old 9-point font; a number or name that does not fit is
// widened to show whole. Columns never narrow, so the table stays still during a run.
void CResultListView::widenToContents()
{
    const int last = columnCount() - 1;
    for (int c = 0; c < last; ++c) {
        const int wanted = std::max(sizeHintForColumn(c), horizontalHeader()->sectionSizeHint(c));
        if (wanted > columnWidth(c))
            setColumnWidth(c, wanted);
    }
}

void CResultListView::fillGroupRows()
{
    rows_.clear();
    if (doc_) {
        for (const GroupResult& g : doc_->data.groupResults) {
            ResultRows::Row row;
            row.peakIndex = -1;
            row.cells = {std::to_string(g.groupNo),
                         g.groupName,
                         printfNumber("%1.3lf", g.windowStart).toStdString(),
                         printfNumber("%1.3lf", g.windowEnd).toStdString(),
                         std::to_string(g.peakCount),
                         printfNumber("%1.1lf", g.totalArea).toStdString(),
                         printfNumber("%1.1lf", g.totalHeight).toStdString(),
                         printfNumber("%1.4lf", g.totalContent).toStdString()};
            rows_.push_back(std::move(row));
        }
    }
    setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setItem(r, c,
                    new QTableWidgetItem(
                        qs(rows_[static_cast<size_t>(r)].cells[static_cast<size_t>(c)])));
    widenToContents();
}

void CResultListView::trackSelection()
{
    std::vector<int> now;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        now.push_back(index.row());
    std::sort(now.begin(), now.end());
    // Rows that left the selection leave the order; rows that joined go to its end.
    std::erase_if(selectionOrder_,
                  [&](int r) { return !std::binary_search(now.begin(), now.end(), r); });
    for (int r : now)
        if (std::find(selectionOrder_.begin(), selectionOrder_.end(), r) == selectionOrder_.end())
            selectionOrder_.push_back(r);
}

void CResultListView::selectAllRows()
{
    selectAll();
}

void CResultListView::clearSelectedRows()
{
    clearSelection();
    selectionOrder_.clear();
}

void CResultListView::copySelection()
{
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) {
        if (prompts_)
            prompts_->message(QString::fromUtf8(kCannotOpenClipboard));
        return;
    }
    std::string text;
    if (showGroups_) {
        // The group rows copy the same way, under their own header.
        for (const char* h : kGroupHeaders)
            text += std::string(h) + "\t";
        text += "\n";
        for (int r : selectionOrder_) {
            for (const auto& cell : rows_[static_cast<size_t>(r)].cells)
                text += cell + "\t";
            text += "\n";
        }
    } else {
        text = ResultRows::copyText(rows_, selectionOrder_, options_.showEfficiency);
    }
    clipboard->clear();
    if (!clipboard->text().isEmpty()) {
        if (prompts_)
            prompts_->message(QString::fromUtf8(kCannotEmptyClipboard));
        return;
    }
    clipboard->setText(qs(text));
    if (clipboard->text() != qs(text) && prompts_)
        prompts_->message(QString::fromUtf8(kCannotSetClipboard));
    clearSelectedRows();
}

bool CResultListView::openSpreadsheet()
{
    // The table goes to a workbook that the desktop's spreadsheet program opens visible,
    // and the operator carries on there.
    const QString folder = spreadsheetFolder_.isEmpty() ? QDir::tempPath() : spreadsheetFolder_;
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/结果表.xlsx");
    std::vector<std::string> headers;
    for (int c = 0; c < columnCount(); ++c)
        headers.push_back(ss(horizontalHeaderItem(c)->text()));
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows_)
        cells.push_back(row.cells);
    bool ok = true;
    try {
        writeTableWorkbook(ss(path), "结果表", headers, cells);
    } catch (const WorkbookError&) {
        ok = false;
    }
    ok = ok && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!ok && prompts_)
        prompts_->message(QString::fromUtf8(kNoSpreadsheet));
    return ok;
}

void CResultListView::toggleEfficiency()
{
    options_.showEfficiency = !options_.showEfficiency;
    efficiencyAction_->setChecked(options_.showEfficiency);
    rebuildColumns();
    refreshResults();
}

void CResultListView::toggleAllPeaks()
{
    options_.showAllPeaks = !options_.showAllPeaks;
    allPeaksAction_->setChecked(options_.showAllPeaks);
    rebuildColumns();
    refreshResults();
}

void CResultListView::toggleGroups()
{
    showGroups_ = !showGroups_;
    groupsAction_->setChecked(showGroups_);
    rebuildColumns();
    refreshResults();
}

void CResultListView::onCellClicked(int row)
{
    if (showGroups_ || !doc_ || row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    const auto& r = rows_[static_cast<size_t>(row)];
    if (r.isTotals())
        return;
    // The row names its peak by number; the selected peak is that number's position.
    const int peak = std::stoi(r.cells[1]) - 1;
    doc_->selectedPeak = peak;
    emit peakSelected(peak);
}

}  // namespace dgaws
