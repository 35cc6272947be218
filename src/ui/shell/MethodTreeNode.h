#pragma once

#include "chromatogram/MethodLibrary.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

namespace dgaws {

// The method library as one top-level node of the method and file tree: a child per
// method of the library, labelled as the library labels it ("-已隐藏" for a hidden one), with
// its calibration curves below it. The node follows every change of the library.
class MethodTreeNode : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "分析方法";

    // The node goes first in `tree`; the defaults decide the labels' default marks.
    MethodTreeNode(QTreeWidget* tree, MethodLibrary& library,
                   std::function<MethodDefaults()> defaults);
    ~MethodTreeNode() override;

    QTreeWidgetItem* node() const { return node_; }
    // The library position a tree item stands for: its method and, for a curve, the curve;
    // nothing for an item outside this node.
    static std::optional<MethodChoice> choiceOf(const QTreeWidgetItem* item);

    void refresh();

signals:
    // Double-click or Enter on a method (curve -1) or on one of its curves.
    void methodActivated(dgaws::MethodChoice choice);

private:
    QTreeWidget* tree_;
    MethodLibrary& library_;
    std::function<MethodDefaults()> defaults_;
    QTreeWidgetItem* node_ = nullptr;
    // Methods the operator opened, by file, so a refresh keeps them open.
    QSet<QString> expanded_;
};

}  // namespace dgaws
