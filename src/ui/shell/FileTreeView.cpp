#include "ui/shell/FileTreeView.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

namespace dgaws {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kMaxDepth = 8;
}  // namespace

FileTreeView::FileTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const QString path = item->data(0, kPathRole).toString();
        if (QFileInfo(path).isFile())
            emit openRequested(path);
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        // Items of other nodes (the methods) have no path and are not this view's to keep.
        if (const QString path = item->data(0, kPathRole).toString(); !path.isEmpty())
            expanded_.insert(path);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        expanded_.remove(item->data(0, kPathRole).toString());
    });
}

void FileTreeView::setRoot(const QString& folder)
{
    root_ = folder;
    expanded_ = {folder};
    refresh();
}

void FileTreeView::refresh()
{
    const QSignalBlocker block(this);
    delete top_;
    top_ = nullptr;
    if (root_.isEmpty())
        return;
    top_ = new QTreeWidgetItem(this, {QDir(root_).dirName()});
    top_->setData(0, kPathRole, root_);
    top_->setToolTip(0, root_);
    fill(top_, root_, 0);
    top_->setExpanded(true);
}

void FileTreeView::fill(QTreeWidgetItem* parent, const QString& folder, int depth)
{
    const QDir dir(folder);
    if (depth < kMaxDepth) {
        for (const QFileInfo& sub :
             dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            auto* item = new QTreeWidgetItem(parent, {sub.fileName()});
            item->setData(0, kPathRole, sub.absoluteFilePath());
            fill(item, sub.absoluteFilePath(), depth + 1);
            if (expanded_.contains(sub.absoluteFilePath()))
                item->setExpanded(true);
        }
    }
    for (const QFileInfo& file : dir.entryInfoList(
             {QStringLiteral("*.chg"), QStringLiteral("*.dat")}, QDir::Files, QDir::Name)) {
        auto* item = new QTreeWidgetItem(parent, {file.fileName()});
        item->setData(0, kPathRole, file.absoluteFilePath());
        item->setToolTip(0, file.absoluteFilePath());
    }
}

QStringList FileTreeView::files() const
{
    QStringList out;
    const QDir rootDir(root_);
    QTreeWidgetItemIterator it(const_cast<FileTreeView*>(this));
    for (; *it; ++it) {
        const QString path = (*it)->data(0, kPathRole).toString();
        if (QFileInfo(path).isFile())
            out << rootDir.relativeFilePath(path);
    }
    return out;
}

}  // namespace dgaws
