#pragma once

#include "chromatogram/MethodLibrary.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QMenu;
class QTreeWidget;
class QWidget;

namespace dgaws {

class CChrEDoc;
class MethodSheet;
class OperatorPrompts;
class WorkstationApp;

// The method tree's commands on the library: new, edit, delete, hide, load (show) and the
// channels' default methods, with the method sheet, the questions and the messages.
class MethodLibraryCommands : public QObject {
    Q_OBJECT
public:
    MethodLibraryCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    // The context menu of the tree: its commands act on the method under `at` (a method or
    // one of its curves), the commands that need none on nothing.
    void attachTo(QTreeWidget* tree);
    QMenu* menuFor(std::optional<MethodChoice> choice);

    // Each returns true when the library changed.
    bool newMethod();
    bool editMethod(int index);
    bool deleteMethod(int index);
    bool hideMethod(std::optional<int> index);
    bool showMethod();
    bool makeDefault(int index, DefaultChannels channels);

    // The chromatogram of the active window, which the sheet's "建议积分参数" reads; null
    // when there is none.
    void setActiveDocument(std::function<const CChrEDoc*()> active) { active_ = std::move(active); }

signals:
    // Entries were added, removed or rewritten: positions kept elsewhere must be found again.
    void libraryChanged();
    // The channels' default methods changed.
    void defaultsChanged();

private:
    // Shows the text of a library result that has one; true when it succeeded.
    bool report(const LibraryResult& result);
    void offerProposal(MethodSheet& sheet) const;

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
    std::function<const CChrEDoc*()> active_;
};

}  // namespace dgaws
