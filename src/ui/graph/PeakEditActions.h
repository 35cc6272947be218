#pragma once

#include "app/PeakEditSession.h"

#include <QList>

#include <functional>
#include <utility>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace dgaws {

class CChildFrame;

// The graph's peak-editing commands, their menu and toolbar. The mode commands are
// checkable and show the active window's mode; each command acts on the active window.
class PeakEditActions {
public:
    using ActiveFrame = std::function<CChildFrame*()>;

    QAction* addPeak = nullptr;
    QAction* deletePeak = nullptr;
    QAction* moveStart = nullptr;
    QAction* moveApex = nullptr;
    QAction* moveEnd = nullptr;
    QAction* verticalCut = nullptr;
    QAction* slantCut = nullptr;
    QAction* horizontalBaseline = nullptr;
    QAction* tailingBehind = nullptr;
    QAction* tailingBefore = nullptr;
    QAction* negative = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    // Commands the frame carries out with its dialogs.
    QAction* manualEvents = nullptr;
    QAction* peakInfo = nullptr;
    QAction* timeEvent = nullptr;  // checkable: the next click on the time scale adds a row

    QMenu* menu = nullptr;
    QToolBar* bar = nullptr;

    // The actions, the menu before `before` (appended when null) and the toolbar; the
    // commands act on what `active` returns.
    void create(QMainWindow* frame, QAction* before, ActiveFrame active);
    // Enabled and checked states for the active window (null for none).
    void update(CChildFrame* frame);

    const QList<std::pair<QAction*, PeakEditSession::Mode>>& modes() const { return modes_; }

private:
    QList<std::pair<QAction*, PeakEditSession::Mode>> modes_;
};

}  // namespace dgaws
