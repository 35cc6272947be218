#pragma once

#include <QSet>
#include <QTreeWidget>

namespace dgaws {

// The chromatogram files under the data folder, as a tree of folders. Rebuilt on request
// (after saves and closes), keeping the folders the operator has opened. The data folder is
// one top-level node; other nodes of the tree (the method library) are left alone.
class FileTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit FileTreeView(QWidget* parent = nullptr);

    void setRoot(const QString& folder);
    const QString& root() const { return root_; }
    void refresh();

    // The files shown, as paths relative to the root, in tree order.
    QStringList files() const;

signals:
    void openRequested(const QString& path);

private:
    void fill(QTreeWidgetItem* parent, const QString& folder, int depth);

    QString root_;
    QTreeWidgetItem* top_ = nullptr;
    QSet<QString> expanded_;
};

}  // namespace dgaws
