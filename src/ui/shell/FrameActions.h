#pragma once

#include <QList>

class QAction;
class QMainWindow;
class QMenu;
class QObject;
class QToolBar;

namespace dgaws {

// The main frame's commands with their texts and keys, and the menus and two toolbars
// that carry them. Which command does what is the frame's business.
struct FrameActions {
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* close = nullptr;
    QAction* loadBinary = nullptr;
    QAction* saveBinary = nullptr;
    QAction* exit = nullptr;

    QAction* openChannelA = nullptr;
    QAction* openChannelB = nullptr;
    QAction* run = nullptr;
    QAction* stop = nullptr;
    QAction* cancel = nullptr;
    QAction* watchStart = nullptr;
    QAction* zero = nullptr;
    QAction* connectCollector = nullptr;
    QAction* simulate = nullptr;

    QAction* detectPeaks = nullptr;
    QAction* chooseMethod = nullptr;
    QAction* editMethod = nullptr;
    QAction* colors = nullptr;
    QAction* sampleInfo = nullptr;
    QAction* background = nullptr;
    QAction* resetRange = nullptr;
    QAction* diagnose = nullptr;
    QAction* addStandard = nullptr;
    QAction* newCurve = nullptr;
    QAction* editCurve = nullptr;
    QList<QAction*> labels;  // the label commands, in display-flag order, hide last

    QAction* systemOptions = nullptr;
    QAction* password = nullptr;
    QAction* viewLog = nullptr;

    QAction* viewStandardBar = nullptr;
    QAction* viewPeakBar = nullptr;
    QAction* viewStatusBar = nullptr;
    QAction* viewTree = nullptr;
    QAction* viewResult = nullptr;

    QAction* cascade = nullptr;
    QAction* tile = nullptr;

    QMenu* fileMenu = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* acquisitionMenu = nullptr;
    QMenu* processMenu = nullptr;
    QMenu* systemMenu = nullptr;
    QMenu* windowMenu = nullptr;
    QToolBar* standardBar = nullptr;
    QToolBar* peakBar = nullptr;

    // The display-flag value of each label command.
    static const int kLabelValues[];
    static const int kLabelCount;

    void create(QObject* owner);
    void buildMenusAndBars(QMainWindow* frame);
};

}  // namespace dgaws
