#include "ui/graph/PeakEditActions.h"

#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace dgaws {

void PeakEditActions::create(QMainWindow* frame, QAction* before, ActiveFrame active)
{
    using Mode = PeakEditSession::Mode;
    auto make = [frame](const char* text) { return new QAction(QString::fromUtf8(text), frame); };
    modes_.clear();
    auto mode = [&](QAction*& action, const char* text, Mode m) {
        action = make(text);
        action->setCheckable(true);
        modes_.push_back({action, m});
    };
    mode(addPeak, "增加峰(&A)", Mode::AddPeak);
    mode(deletePeak, "删除峰", Mode::deletePeak);
    mode(moveStart, "峰起点调整(&S)", Mode::MoveStart);
    mode(moveApex, "峰顶点调整(&T)", Mode::MoveApex);
    mode(moveEnd, "峰终点调整(&E)", Mode::MoveEnd);
    mode(verticalCut, "基线纵切(&Z)", Mode::VerticalCut);
    mode(slantCut, "基线斜切(&X)", Mode::SlantCut);
    mode(horizontalBaseline, "水平基线(&B)", Mode::HorizontalBaseline);
    mode(tailingBehind, "后沿(&1)", Mode::TailingBehind);
    mode(tailingBefore, "前沿(&2)", Mode::TailingBefore);
    negative = make("负峰(&N)");
    undo = make("撤消(&U)");
    redo = make("重做(&R)");
    manualEvents = make("手动积分事件表(&M)");
    peakInfo = make("查看峰信息");
    timeEvent = make("在蓝色的时间刻度坐标上添加时间程序");
    timeEvent->setCheckable(true);

    for (const auto& [action, m] : modes_) {
        const Mode chosen = m;
        QObject::connect(action, &QAction::triggered, frame, [active, chosen] {
            if (CChildFrame* f = active())
                f->chooseEditMode(chosen);
        });
    }
    auto immediate = [&](QAction* action, void (CChildFrame::*command)()) {
        QObject::connect(action, &QAction::triggered, frame, [active, command] {
            if (CChildFrame* f = active())
                (f->*command)();
        });
    };
    immediate(negative, &CChildFrame::toggleNegative);
    immediate(undo, &CChildFrame::undoEdit);
    immediate(redo, &CChildFrame::redoEdit);

    menu = new QMenu(QStringLiteral("峰编辑(&E)"), frame);
    for (int i = 0; i < modes_.size(); ++i) {
        // Adding, deleting, moving a point, then the baseline commands.
        if (i == 2 || i == 5)
            menu->addSeparator();
        menu->addAction(modes_[i].first);
    }
    menu->addAction(negative);
    menu->addSeparator();
    menu->addActions({undo, redo});
    menu->addSeparator();
    menu->addActions({manualEvents, peakInfo, timeEvent});
    if (before)
        frame->menuBar()->insertMenu(before, menu);
    else
        frame->menuBar()->addMenu(menu);

    // A row of its own: beside the other two bars it would fall behind their overflow arrow.
    frame->addToolBarBreak();
    bar = frame->addToolBar(QStringLiteral("峰编辑工具栏"));
    bar->setObjectName(QStringLiteral("peakEditBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto& entry : modes_)
        bar->addAction(entry.first);
    bar->addAction(negative);
    bar->addSeparator();
    bar->addActions({undo, redo});

    update(nullptr);
}

void PeakEditActions::update(CChildFrame* frame)
{
    if (frame)
        frame->endImpossibleMode();
    const PeakEditSession* s = frame ? &frame->editing() : nullptr;
    for (const auto& [action, mode] : modes_) {
        action->setEnabled(s && s->available(mode));
        action->setChecked(s && s->mode() == mode);
    }
    negative->setEnabled(s && s->canToggleNegative());
    undo->setEnabled(s && s->canUndo());
    redo->setEnabled(s && s->canRedo());
    const CChrEDoc* doc = frame ? &frame->document() : nullptr;
    manualEvents->setEnabled(doc != nullptr);
    peakInfo->setEnabled(doc && !doc->acquiring() && doc->selectedPeak >= 0 &&
                         doc->selectedPeak < doc->data.peaks.size());
    timeEvent->setEnabled(doc && !doc->acquiring());
    if (!timeEvent->isEnabled())
        timeEvent->setChecked(false);
}

}  // namespace dgaws
