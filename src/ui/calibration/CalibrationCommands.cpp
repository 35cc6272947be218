#include "ui/calibration/CalibrationCommands.h"

#include "ui/calibration/CalibrationTableDialog.h"
#include "ui/common/ExportPath.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/methods/MethodChoiceDialog.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/DocumentCommands.h"
#include "ui/shell/FileTreeView.h"
#include "ui/shell/MethodTreeNode.h"

#include "app/CChrEDoc.h"
#include "app/WorkstationApp.h"
#include "processing/EvaluateStep.h"
#include "quant/CalibrationTableEditor.h"

#include <QAction>

#include <algorithm>

namespace dgaws {

CalibrationCommands::CalibrationCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                         QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

void CalibrationCommands::connectTo(CMainFrame& frame)
{
    const auto chosen = [&frame] {
        if (auto c = MethodTreeNode::choiceOf(frame.fileTree()->currentItem()))
            return *c;
        if (CChildFrame* f = frame.activeFrame())
            return MethodChoice{f->document().libraryMethodIndex,
                                f->document().libraryCalibrationIndex};
        return MethodChoice{};
    };
    const FrameActions& a = frame.actions();
    connect(a.addStandard, &QAction::triggered, this, [this, &frame] {
        if (CChildFrame* f = frame.activeFrame())
            addStandard(*f);
        frame.updateCommandStates();
    });
    connect(a.newCurve, &QAction::triggered, this, [this, &frame, chosen] {
        newCurve(chosen().libraryMethodIndex, frame.activeFrame(), frame.frames());
    });
    connect(a.editCurve, &QAction::triggered, this,
            [this, &frame, chosen] { editCurve(chosen(), frame.activeFrame(), frame.frames()); });
    connect(this, &CalibrationCommands::filesChanged, frame.fileTree(), &FileTreeView::refresh);
    // The result list follows the documents' results whichever command changed them.
    connect(this, &CalibrationCommands::resultsChanged, &frame.documentCommands(),
            &DocumentCommands::resultsChanged);
}

bool CalibrationCommands::canAddStandard(const CChrEDoc& doc)
{
    return !doc.acquiring() && doc.data.hasData && doc.methodLibrary() != nullptr;
}

bool CalibrationCommands::addStandard(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (!canAddStandard(doc))
        return false;
    const auto chooseMethod = [this,
                               &doc](const MethodChoice& preset) -> std::optional<MethodChoice> {
        MethodChoiceDialog dialog(*doc.methodLibrary(), preset, dialogParent_);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    };
    const auto chooseLevel = [this, &doc](int levels, int preset) -> std::optional<int> {
        const auto level =
            prompts_.askInteger(qs(kChooseLevelCaption), qs(kChooseLevelLabel),
                                std::clamp(preset + 1, 1, std::max(levels, 1)), 1, levels);
        if (!level)
            return std::nullopt;
        // The peaks are processed again once a level is chosen: one step back.
        doc.editor.pushUndo();
        return *level - 1;
    };
    const StandardAddStatus status = doc.addStandardChromatogram(
        chooseMethod, chooseLevel, app_.proposalEnvironment([this](const std::string& q) {
            return prompts_.askYesNo(qs(q));
        }));
    frame.refreshViews();
    frame.updateTitle();
    emit filesChanged();
    emit resultsChanged(&frame);
    return status == StandardAddStatus::Added;
}

bool CalibrationCommands::newCurve(int method, CChildFrame* active, const QList<CChildFrame*>& open)
{
    const NewCurve made = newCalibrationCurve(app_.library().entryAt(method));
    if (!made.curve) {
        prompts_.message(qs(made.message), OperatorPrompts::Icon::Exclamation);
        return false;
    }
    return runTable(method, -1, true, active, open);
}

bool CalibrationCommands::editCurve(MethodChoice choice, CChildFrame* active,
                                    const QList<CChildFrame*>& open)
{
    const MethodLibraryEntry* entry = app_.library().entryAt(choice.libraryMethodIndex);
    if (entry == nullptr || choice.libraryCalibrationIndex < 0 ||
        choice.libraryCalibrationIndex >= static_cast<int>(entry->curves.size())) {
        prompts_.message(qs(kChooseMethodFirst), OperatorPrompts::Icon::Exclamation);
        return false;
    }
    return runTable(choice.libraryMethodIndex, choice.libraryCalibrationIndex, false, active, open);
}

bool CalibrationCommands::runTable(int method, int curve, bool isNew, CChildFrame* active,
                                   const QList<CChildFrame*>& open)
{
    MethodLibrary& library = app_.library();
    const MethodLibraryEntry& entry = library.at(static_cast<size_t>(method));
    CalibrationCurve start =
        isNew ? *newCalibrationCurve(&entry).curve : entry.curves[static_cast<size_t>(curve)];
    CalibrationTableDialog::Context context;
    context.isNewCurve = isNew;
    for (size_t i = 0; i < entry.curves.size(); ++i)
        if (static_cast<int>(i) != curve)
            context.otherCurveNames.push_back(entry.curves[i].name);
    // The chromatogram's name, never the window's title with its modified mark.
    context.sampleName = active ? ss(documentBaseName(active->document())) : std::string();
    context.dataFolder = qs(app_.settings().ProjectPath);
    context.setDefaultTable = [this, method](const std::vector<ComponentEntry>& table) {
        MethodLibraryEntry edited = app_.library().at(static_cast<size_t>(method));
        edited.defaultComponents = table;
        const LibraryResult r = app_.library().edit(static_cast<size_t>(method), edited);
        if (!r.ok() && !r.message.empty())
            prompts_.message(qs(r.message));
        return r.ok();
    };

    FitSettings fit = FitSettings::of(entry.method);
    fit.oldAreaDivisor = app_.settings().areaDivisor();
    CalibrationTableDialog dialog(std::move(start), fit, std::move(context), prompts_,
                                  dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    MethodLibraryEntry edited = library.at(static_cast<size_t>(method));
    int position = curve;
    if (isNew) {
        edited.curves.push_back(dialog.curve());
        position = static_cast<int>(edited.curves.size()) - 1;
    } else {
        edited.curves[static_cast<size_t>(curve)] = dialog.curve();
    }
    const LibraryResult saved = library.edit(static_cast<size_t>(method), edited);
    if (!saved.ok()) {
        if (!saved.message.empty())
            prompts_.message(qs(saved.message));
        return false;
    }
    retake({method, position}, isNew, active, open);
    return true;
}

void CalibrationCommands::retake(MethodChoice choice, bool activeOnly, CChildFrame* active,
                                 const QList<CChildFrame*>& open)
{
    QList<CChildFrame*> frames = open;
    if (active != nullptr && !frames.contains(active))
        frames.prepend(active);
    for (CChildFrame* frame : frames) {
        CChrEDoc& doc = frame->document();
        const bool uses = doc.libraryMethodIndex == choice.libraryMethodIndex &&
            (activeOnly ? frame == active
                        : doc.libraryCalibrationIndex == choice.libraryCalibrationIndex);
        if (!uses || doc.acquiring())
            continue;
        if (frame == active)
            doc.editor.pushUndo();
        if (!doc.takeLibraryMethod(choice, MethodTake::Link))
            continue;
        doc.setModifiedFlag(true);
        doc.engine.evaluate(EvaluateStep::All);
        frame->refreshViews();
        frame->updateTitle();
        emit resultsChanged(frame);
    }
}

}  // namespace dgaws
