#include "ui/exchange/CMultiDatChildFrame.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/exchange/ComparisonDialogs.h"
#include "ui/reports/ReportOutput.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FrameActions.h"

#include "app/CChrEDoc.h"
#include "chromatogram/FileIO.h"
#include "processing/ComparisonOperations.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

namespace dgaws {

namespace {

QString entryName(const ComparisonEntry& e)
{
    return QFileInfo(qs(e.path)).fileName();
}

}  // namespace

CMultiDatListView::CMultiDatListView(CMultiDatDoc& doc, QWidget* parent)
    : QTreeWidget(parent), doc_(doc)
{
    setRootIsDecorated(false);
    setHeaderLabels({QStringLiteral("谱图文件"), QStringLiteral("显示"),
                     QStringLiteral("时间偏移(分)"), QStringLiteral("基线偏移(mV)"),
                     QStringLiteral("路径")});
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (filling_ || column != 0)
            return;
        const int row = indexOfTopLevelItem(item);
        if (row >= 0 && row < static_cast<int>(doc_.set.entries.size()))
            doc_.set.entries[row].checked = item->checkState(0) == Qt::Checked ? 1 : 0;
        emit checksChanged();
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!filling_)
            doc_.set.current = item ? indexOfTopLevelItem(item) : -1;
    });
}

void CMultiDatListView::refresh()
{
    filling_ = true;
    clear();
    for (size_t k = 0; k < doc_.set.entries.size(); ++k) {
        const ComparisonEntry& e = doc_.set.entries[k];
        auto* item = new QTreeWidgetItem(this);
        item->setText(0, entryName(e));
        item->setForeground(0, CMultiDatView::colorOf(static_cast<int>(k)));
        item->setCheckState(0, e.checked ? Qt::Checked : Qt::Unchecked);
        item->setText(1, e.shown ? QStringLiteral("是") : QStringLiteral("否"));
        item->setText(2, QString::number(e.timeShift, 'f', 3));
        item->setText(3, QString::number(e.levelShift, 'f', 3));
        item->setText(4, qs(e.path));
    }
    if (doc_.set.current >= 0 && doc_.set.current < topLevelItemCount())
        setCurrentItem(topLevelItem(doc_.set.current));
    for (int c = 0; c < columnCount(); ++c)
        resizeColumnToContents(c);
    filling_ = false;
}

CMultiDatChildFrame::CMultiDatChildFrame(OperatorPrompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), bar_(new QToolBar(this)),
      list_(new CMultiDatListView(doc_, this)), graph_(new CMultiDatView(this)),
      distribution_(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("多谱图处理"));
    graph_->setSet(&doc_.set);
    bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menus = new QMenuBar(this);
    QMenu* menu = nullptr;
    // Every command sits in the window's menu; those with a short name also on its bar.
    const auto add = [this, &menu](const char* text, auto run) {
        const QStringList parts = qs(text).split(QLatin1Char('\n'));
        QAction* action = menu->addAction(parts.value(0));
        action->setStatusTip(parts.value(0));
        connect(action, &QAction::triggered, this, run);
        if (parts.size() > 1) {
            QAction* shortcut = bar_->addAction(parts.value(1));
            shortcut->setToolTip(parts.value(0));
            connect(shortcut, &QAction::triggered, action, &QAction::trigger);
        }
        return action;
    };
    menu = menus->addMenu(QStringLiteral("谱图文件(&F)"));
    add("增加谱图文件(&L)...\n增加", [this] { addFiles(); });
    add("删除谱图文件(&E)\n删除", [this] { deleteChecked(); });
    add("显示或隐藏该谱图\n显示或应藏谱图", [this] { toggleShown(); });
    add("按所选择的谱图匹配窗口大小\n匹配谱图", [this] { matchWindow(); });
    menu->addSeparator();
    add("打印(&P)...", [this] { print(); });
    add("打印预览(&V)", [this] { preview(); });
    add("导出PDF(&D)...", [this] { exportPdf(); });
    bar_->addSeparator();
    menu = menus->addMenu(QStringLiteral("谱图运算(&C)"));
    add("谱图叠加(&A)\n叠加", [this] { sum(); });
    add("谱图相减(&S)\n相减", [this] { difference(); });
    // Multiplying and dividing chromatograms has no meaning the laboratory uses.
    add("谱图相乘(&M)", [] {})->setEnabled(false);
    add("谱图相除(&D)", [] {})->setEnabled(false);
    add("一阶导数谱(&1)\n导数", [this] { derivative(); });
    add("谱图翻转\n谱图翻转", [this] { invert(); });
    add("谱图平滑操作\n平滑", [this] { smooth(); });
    bar_->addSeparator();
    menu = menus->addMenu(QStringLiteral("对齐与显示(&D)"));
    add("将谱图基线移动到同一位置\n基线同一", [this] { alignBaselines(); });
    add("将谱图按选择的色谱峰水平移动对齐\n水平对齐", [this] { alignPeaks(); });
    add("归一化显示设置(&N)", [this] { editNormalisation(); });
    menu->addSeparator();
    const char* labelTexts[] = {"标注保留时间", "标注峰号",   "标注组份名",   "标注峰高",
                                "标注峰面积",   "标注峰类型", "标注百分含量", "隐藏峰标志"};
    for (int i = 0; i < FrameActions::kLabelCount; ++i) {
        const int value = FrameActions::kLabelValues[i];
        add(labelTexts[i], [this, value] { setLabels(value); });
    }
    bar_->addSeparator();
    distribution_->addItems(
        {QStringLiteral("自由分布"), QStringLiteral("水平分布"), QStringLiteral("垂直分布")});
    bar_->addWidget(new QLabel(QStringLiteral("谱图分布:"), this));
    bar_->addWidget(distribution_);
    connect(distribution_, &QComboBox::currentIndexChanged, this, [this](int i) {
        graph_->setDistribution(static_cast<CMultiDatView::Distribution>(i));
    });

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(list_);
    splitter->addWidget(graph_);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menus);
    layout->addWidget(bar_);
    layout->addWidget(splitter);

    // A click on the graph picks the current entry's peak under it, for the peak alignment.
    connect(graph_, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* event) {
        const int index = doc_.set.current;
        if (index < 0 || index >= static_cast<int>(doc_.set.entries.size()))
            return;
        ComparisonEntry& e = doc_.set.entries[index];
        const double t = graph_->xAxis->pixelToCoord(event->position().x()) - e.timeShift;
        const int sample = e.data.timeToIndex(t);
        for (int p = 0; p < e.data.peaks.size(); ++p) {
            const PeakRecord& peak = e.data.peaks[p];
            if (peak.startIndex <= sample && sample <= peak.endIndex) {
                e.selectedPeak = p;
                return;
            }
        }
    });
}

Report CMultiDatChildFrame::report() const
{
    Report r;
    r.title = "多谱图处理";
    r.printedAt = ss(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // Drawn at a fixed size, so the page does not depend on how large the window is, and at
    // twice the resolution, so its labels stay readable on paper.
    QImage overlay = graph_->toPixmap(900, 500, 2.0).toImage();
    r.blocks.push_back(ReportPicture{std::move(overlay)});
    r.blocks.push_back(ReportHeading{"谱图列表"});
    ReportTable table;
    for (int c = 0; c < list_->columnCount(); ++c)
        table.headers.push_back(ss(list_->headerItem()->text(c)));
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        std::vector<std::string> cells;
        for (int c = 0; c < list_->columnCount(); ++c)
            cells.push_back(ss(list_->topLevelItem(row)->text(c)));
        table.rows.push_back(std::move(cells));
    }
    r.blocks.push_back(std::move(table));
    return r;
}

QPageLayout CMultiDatChildFrame::paper() const
{
    return pageLayout_ ? pageLayout_()
                       : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

bool CMultiDatChildFrame::print()
{
    return printReport(report(), paper(), this);
}

void CMultiDatChildFrame::preview()
{
    previewReport(report(), paper(), this);
}

std::optional<QString> CMultiDatChildFrame::exportPdf()
{
    // In the folder the program keeps its exports in, not wherever it was started.
    QString proposed = QStringLiteral("多谱图.pdf");
    if (!exportFolder_.isEmpty() && QDir().mkpath(exportFolder_))
        proposed = QDir(exportFolder_).filePath(proposed);
    const std::optional<QString> path =
        prompts_.saveFile(QStringLiteral("导出PDF"), proposed, nameFiltersFromStored(kPdfFilter),
                          QStringLiteral("pdf"));
    if (!path)
        return std::nullopt;
    if (!writeReportPdf(report(), paper(), *path)) {
        prompts_.message(qs(kPdfFailed).replace(QStringLiteral("%s"), *path));
        return std::nullopt;
    }
    prompts_.message(qs(kPdfSaved).replace(QStringLiteral("%s"), *path),
                     OperatorPrompts::Icon::Information);
    return path;
}

void CMultiDatChildFrame::refresh()
{
    list_->refresh();
    graph_->rebuild();
}

const ComparisonEntry* CMultiDatChildFrame::currentEntry() const
{
    const int i = doc_.set.current;
    if (i < 0 || i >= static_cast<int>(doc_.set.entries.size()))
        return nullptr;
    return &doc_.set.entries[i];
}

void CMultiDatChildFrame::addFiles(const QStringList& given)
{
    QStringList paths = given;
    if (paths.isEmpty()) {
        paths = prompts_.openFiles(QString(), QString(),
                                   nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
        if (paths.isEmpty())
            return;
    }
    // Many long files take a while: the operator sees how far it got and may stop; the
    // files read so far stay in the window.
    QProgressDialog progress(QStringLiteral("正在载入谱图文件..."), QStringLiteral("取消"), 0,
                             static_cast<int>(paths.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    std::vector<std::string> unread;
    for (qsizetype i = 0; i < paths.size() && !progress.wasCanceled(); ++i) {
        progress.setValue(static_cast<int>(i));
        for (std::string& path : comparison::addFiles(doc_.set, {ss(paths[i])}))
            unread.push_back(std::move(path));
    }
    progress.setValue(static_cast<int>(paths.size()));
    if (doc_.set.current < 0 && !doc_.set.entries.empty())
        doc_.set.current = 0;
    for (const std::string& path : unread)
        prompts_.message(qs(withReason(CChrEDoc::kLoadFailed, path)));
    refresh();
}

CMultiDatChildFrame::DeleteAnswer CMultiDatChildFrame::askDelete(const QString& text)
{
    if (askDelete_)
        return askDelete_(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("删除谱图文件"), text,
                    QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("删除(&Y)"), QMessageBox::YesRole);
    QPushButton* all = box.addButton(QStringLiteral("删除所有(&A)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("不删除(&N)"), QMessageBox::NoRole);
    box.addButton(QStringLiteral("取消(&C)"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == yes)
        return DeleteAnswer::Delete;
    if (box.clickedButton() == all)
        return DeleteAnswer::DeleteAll;
    if (box.clickedButton() == no)
        return DeleteAnswer::Keep;
    return DeleteAnswer::Cancel;
}

void CMultiDatChildFrame::deleteChecked()
{
    bool all = false;
    // From the back, so the indexes still to ask about stay valid.
    for (int i = static_cast<int>(doc_.set.entries.size()) - 1; i >= 0; --i) {
        if (!doc_.set.entries[i].checked)
            continue;
        if (!all) {
            const DeleteAnswer a =
                askDelete(qs(comparison::kDeleteQuestion)
                              .replace(QStringLiteral("%s"), qs(doc_.set.entries[i].path)));
            if (a == DeleteAnswer::Cancel)
                break;
            if (a == DeleteAnswer::Keep)
                continue;
            all = a == DeleteAnswer::DeleteAll;
        }
        comparison::removeEntry(doc_.set, i);
    }
    refresh();
}

void CMultiDatChildFrame::toggleShown()
{
    comparison::toggleShown(doc_.set);
    refresh();
}

void CMultiDatChildFrame::matchWindow()
{
    if (!currentEntry())
        return;
    comparison::matchWindowTo(doc_.set, doc_.set.current);
    graph_->matchTo(doc_.set.current);
}

std::optional<int> CMultiDatChildFrame::store(ChromatogramData result, const QString& proposed)
{
    const auto path = prompts_.saveFile(
        QString(), proposed, nameFiltersFromStored(DocumentCommands::kChromatogramFilter),
        QStringLiteral("chg"));
    if (!path)
        return std::nullopt;
    try {
        const int index = comparison::appendResult(doc_.set, ss(*path), std::move(result));
        refresh();
        return index;
    } catch (const std::exception& e) {
        prompts_.message(qs(withReason(comparison::kSaveFailed, e.what())));
        return std::nullopt;
    }
}

std::optional<int> CMultiDatChildFrame::sum()
{
    if (comparison::checkedEntries(doc_.set.entries).size() < 2)
        return std::nullopt;
    const bool average = prompts_.askYesNo(qs(comparison::kAverageQuestion));
    return store(comparison::sumOfChecked(doc_.set.entries, average), QString());
}

std::optional<int> CMultiDatChildFrame::difference()
{
    const std::vector<int> checked = comparison::checkedEntries(doc_.set.entries);
    if (checked.size() < 2)
        return std::nullopt;
    const ChromatogramData& a = doc_.set.entries[checked[0]].data;
    const ChromatogramData& b = doc_.set.entries[checked[1]].data;
    DifferenceDialog dialog(a.duration(), b.duration(), this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    ChromatogramData result;
    try {
        result = comparison::differenceOfChecked(doc_.set.entries, dialog.options());
    } catch (const comparison::ComparisonError& e) {
        prompts_.message(qs(e.what()));
        return std::nullopt;
    }
    return store(std::move(result), QString());
}

std::optional<int> CMultiDatChildFrame::derivative()
{
    const ComparisonEntry* e = currentEntry();
    if (!e)
        return std::nullopt;
    return store(comparison::firstDerivative(e->data),
                 qs(comparison::proposedResultPath(e->path, comparison::kDerivativeSuffix)));
}

std::optional<int> CMultiDatChildFrame::invert()
{
    const ComparisonEntry* e = currentEntry();
    if (!e)
        return std::nullopt;
    return store(comparison::inverted(e->data),
                 qs(comparison::proposedResultPath(e->path, comparison::kInversionSuffix)));
}

std::optional<int> CMultiDatChildFrame::smooth()
{
    const ComparisonEntry* e = currentEntry();
    if (!e)
        return std::nullopt;
    const auto width = prompts_.askInteger(QStringLiteral("谱图平滑参数"),
                                           QStringLiteral("归并点数:"), 4, 1, 100000);
    if (!width)
        return std::nullopt;
    std::optional<ChromatogramData> result = comparison::smoothed(e->data, *width);
    if (!result)
        return std::nullopt;
    return store(std::move(*result), QString());
}

void CMultiDatChildFrame::alignBaselines()
{
    comparison::alignBaselines(doc_.set);
    refresh();
}

void CMultiDatChildFrame::alignPeaks()
{
    comparison::alignPeaks(doc_.set);
    refresh();
}

void CMultiDatChildFrame::editNormalisation()
{
    NormalisationDialog dialog(this);
    dialog.setValues(doc_.set.normalize != 0, doc_.set.normStart, doc_.set.normEnd);
    if (dialog.exec() != QDialog::Accepted)
        return;
    doc_.set.normalize = dialog.normalize() ? 1 : 0;
    doc_.set.normStart = dialog.start();
    doc_.set.normEnd = dialog.end();
    refresh();
}

void CMultiDatChildFrame::setLabels(int value)
{
    comparison::setPeakLabels(doc_.set, value);
    refresh();
}

}  // namespace dgaws
