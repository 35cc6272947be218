#include "ui/shell/MethodTreeNode.h"

#include "ui/common/QtText.h"

#include <QTreeWidget>

namespace dgaws {

namespace {
// Both kept on the method and curve items only, so that the file items of the same tree
// never read as library positions.
constexpr int kMethodRole = Qt::UserRole + 10;
constexpr int kCurveRole = Qt::UserRole + 11;
}  // namespace

MethodTreeNode::MethodTreeNode(QTreeWidget* tree, MethodLibrary& library,
                               std::function<MethodDefaults()> defaults)
    : QObject(tree), tree_(tree), library_(library), defaults_(std::move(defaults))
{
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (const auto choice = choiceOf(item))
            emit methodActivated(*choice);
    });
    const auto remember = [this](QTreeWidgetItem* item, bool open) {
        if (!choiceOf(item) || item->parent() != node_)
            return;
        if (open)
            expanded_.insert(item->toolTip(0));
        else
            expanded_.remove(item->toolTip(0));
    };
    connect(tree_, &QTreeWidget::itemExpanded, this,
            [remember](QTreeWidgetItem* item) { remember(item, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [remember](QTreeWidgetItem* item) { remember(item, false); });
    library_.setChangeObserver([this] { refresh(); });
    refresh();
}

MethodTreeNode::~MethodTreeNode()
{
    library_.setChangeObserver({});
}

std::optional<MethodChoice> MethodTreeNode::choiceOf(const QTreeWidgetItem* item)
{
    if (item == nullptr || !item->data(0, kMethodRole).isValid())
        return std::nullopt;
    return MethodChoice{item->data(0, kMethodRole).toInt(), item->data(0, kCurveRole).toInt()};
}

void MethodTreeNode::refresh()
{
    const QSignalBlocker block(tree_);
    const bool open = node_ == nullptr || node_->isExpanded();
    delete node_;
    node_ = new QTreeWidgetItem(QStringList{QString::fromUtf8(kCaption)});
    tree_->insertTopLevelItem(0, node_);

    const MethodDefaults defaults = defaults_ ? defaults_() : MethodDefaults{};
    for (size_t i = 0; i < library_.size(); ++i) {
        const MethodLibraryEntry& entry = library_.at(i);
        auto* method = new QTreeWidgetItem(node_, {qs(libraryLabel(entry, defaults))});
        method->setData(0, kMethodRole, static_cast<int>(i));
        method->setData(0, kCurveRole, -1);
        method->setToolTip(0, qs(entry.path));
        for (size_t c = 0; c < entry.curves.size(); ++c) {
            auto* curve = new QTreeWidgetItem(method, {qs(entry.curves[c].name)});
            curve->setData(0, kMethodRole, static_cast<int>(i));
            curve->setData(0, kCurveRole, static_cast<int>(c));
        }
        method->setExpanded(expanded_.contains(qs(entry.path)));
    }
    node_->setExpanded(open);
}

}  // namespace dgaws
