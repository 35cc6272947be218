#include "ui/exchange/SignalCommands.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/DocumentCommands.h"

#include "app/CChrEDoc.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace dgaws {

SignalCommands::SignalCommands(OperatorPrompts& prompts, QWidget* parent)
    : QObject(parent), prompts_(prompts)
{}

void SignalCommands::addTo(QMenu* menu, std::function<CChildFrame*()> activeFrame)
{
    menu->addSeparator();
    const auto add = [&](const char* text, std::function<void(CChildFrame&)> run,
                         QList<QAction*>& group) {
        QAction* action = menu->addAction(qs(text));
        connect(action, &QAction::triggered, this, [activeFrame, run] {
            if (CChildFrame* frame = activeFrame())
                run(*frame);
        });
        group << action;
        return action;
    };
    add(
        kSmooth, [this](CChildFrame& f) { smooth(f); }, changing_);
    add(
        kOwnDrift, [this](CChildFrame& f) { subtractOwnDrift(f); }, changing_);
    add(
        kBaselineChromatogram, [this](CChildFrame& f) { subtractBaseline(f); }, changing_);
    add(
        kRestore, [this](CChildFrame& f) { restore(f); }, changing_);
    add(
        kSeparate, [this](CChildFrame& f) { separate(f); }, changing_);
    add(
        kNoise, [this](CChildFrame& f) { noiseCloseUp(f); }, viewing_);
    linked_ = add(
        kLinked, [](CChildFrame& f) { f.graph()->setLinkedShown(!f.graph()->linkedShown()); },
        viewing_);
    linked_->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, [this, activeFrame] { update(activeFrame()); });
}

void SignalCommands::update(const CChildFrame* active)
{
    const bool idle = active && !active->document().acquiring();
    for (QAction* action : changing_)
        action->setEnabled(idle);
    for (QAction* action : viewing_)
        action->setEnabled(active != nullptr);
    if (linked_)
        linked_->setChecked(active && active->graph()->linkedShown());
}

void SignalCommands::changed(CChildFrame& frame, bool done)
{
    if (!done)
        return;
    frame.refreshViews();
    // The undo command follows the new step.
    emit frame.editingChanged(&frame);
}

bool SignalCommands::smooth(CChildFrame& frame)
{
    const auto width =
        prompts_.askInteger(qs(kSmoothCaption), qs(kSmoothWidth), kSmoothPreset, 1, 100000);
    if (!width)
        return false;
    const bool done = frame.document().smoothSignal(*width);
    changed(frame, done);
    return done;
}

bool SignalCommands::subtractOwnDrift(CChildFrame& frame)
{
    const bool done = frame.document().subtractOwnDrift();
    changed(frame, done);
    return done;
}

bool SignalCommands::subtractBaseline(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    const auto path =
        prompts_.openFile(qs(kBaselineCaption), QFileInfo(qs(doc.baselineFile)).path(),
                          nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
    if (!path)
        return false;
    const bool done = doc.subtractBaselineChromatogram(ss(*path));
    changed(frame, done);
    return done;
}

bool SignalCommands::restore(CChildFrame& frame)
{
    const bool done = frame.document().restoreSignal();
    changed(frame, done);
    return done;
}

bool SignalCommands::separate(CChildFrame& frame)
{
    const bool done = frame.document().editor.separateAllPeaks() == EditStatus::Done;
    if (done) {
        frame.peaksChanged();
        frame.updateTitle();
        emit frame.editingChanged(&frame);
    }
    return done;
}

void SignalCommands::noiseCloseUp(CChildFrame& frame)
{
    const DisplayRange range = frame.document().noiseCloseUp();
    frame.graph()->showRange(range.timeStart, range.timeEnd, range.levelMin, range.levelMax);
}

}  // namespace dgaws
