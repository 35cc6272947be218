#include "ui/shell/DocumentCommands.h"

#include "ui/records/DatabaseCommands.h"

#include "ui/calibration/PeakInfoDialog.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/graph/BackgroundDialog.h"
#include "ui/graph/CChrEGraphView.h"
#include "ui/graph/ManualEventDialog.h"
#include "ui/methods/CPP_DetectParaDlg.h"
#include "ui/methods/MethodChoiceDialog.h"
#include "ui/methods/MethodSheet.h"
#include "ui/records/DiagnosisDialog.h"
#include "ui/records/SampleInfoDialog.h"
#include "ui/settings/ColorSelectDialog.h"
#include "ui/shell/CChildFrame.h"

#include "app/CChrEDoc.h"
#include "app/CloseRules.h"
#include "app/DocumentDiagnosis.h"
#include "app/MethodSelection.h"
#include "app/PreviousTest.h"
#include "app/SamplePair.h"
#include "app/WorkstationApp.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/TextFormat.h"
#include "dga/GasProductionRate.h"
#include "processing/TimeProgramRows.h"

#include <QFileInfo>

namespace dgaws {

DocumentCommands::DocumentCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                   QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

bool DocumentCommands::canSave(const CChrEDoc& doc)
{
    return !doc.acquiring() && doc.data.hasData;
}

bool DocumentCommands::refusedWhileRecording(const CChrEDoc& doc)
{
    if (!doc.acquiring())
        return false;
    prompts_.message(qs(CChrEDoc::kBinaryAcquiring), OperatorPrompts::Icon::Exclamation);
    return true;
}

bool DocumentCommands::save(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (refusedWhileRecording(doc) || !canSave(doc))
        return false;
    const ProposalEnvironment env =
        app_.proposalEnvironment([this](const std::string& q) { return prompts_.askYesNo(qs(q)); });
    const bool ok = doc.save(env).has_value();
    frame.updateTitle();
    emit filesChanged();
    return ok;
}

bool DocumentCommands::saveAs(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (refusedWhileRecording(doc))
        return false;
    const std::string proposed = doc.pathName.empty()
        ? doc.proposeSavePath(app_.proposalEnvironment(
              [this](const std::string& q) { return prompts_.askYesNo(qs(q)); }))
        : doc.pathName;
    const auto chosen =
        prompts_.saveFile(qs(kSaveCaption), qs(proposed),
                          nameFiltersFromStored(kChromatogramFilter), QStringLiteral("chg"));
    if (!chosen) {
        doc.pathName.clear();
        return false;
    }
    const bool ok = doc.saveToFile(ss(*chosen)).has_value();
    frame.updateTitle();
    emit filesChanged();
    return ok;
}

bool DocumentCommands::mayClose(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    bool close = false;
    switch (decideDocumentClose(doc, app_)) {
    case CloseDecision::Refuse:
        prompts_.message(qs(CChrEDoc::kCannotCloseWhileSampling),
                         OperatorPrompts::Icon::Exclamation);
        break;
    case CloseDecision::Close: close = true; break;
    case CloseDecision::AskToSave: {
        const QString name =
            doc.pathName.empty() ? qs(doc.title()) : QFileInfo(qs(doc.pathName)).fileName();
        switch (prompts_.askYesNoCancel(qs(formatText(kAskToSave, ss(name))))) {
        case OperatorPrompts::Answer::Yes:
            close = doc.pathName.empty() ? saveAs(frame) : save(frame);
            break;
        case OperatorPrompts::Answer::No: close = true; break;
        case OperatorPrompts::Answer::Cancel: break;
        }
        break;
    }
    }
    emit filesChanged();
    return close;
}

bool DocumentCommands::editColors(CChildFrame& frame)
{
    ColorSelectDialog dialog(frame.document().data.method.colors, dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    applyColors(frame, dialog.colors());
    return true;
}

void DocumentCommands::applyColors(CChildFrame& frame, const DisplayColors& colors)
{
    CChrEDoc& doc = frame.document();
    doc.data.method.colors = colors;
    doc.setModifiedFlag(true);
    frame.refreshViews();
}

bool DocumentCommands::editSampleInfo(CChildFrame& frame)
{
    SampleInfoDialog dialog(frame.document(), dialogParent_);
    // The names the database knows are offered as the operator types.
    QStringList companies, devices;
    if (app_.database().isOpen()) {
        if (const auto all = app_.database().companies())
            for (const auto& c : *all) {
                companies << qs(c.name);
                if (const auto own = app_.database().devices(c.id))
                    for (const auto& d : *own)
                        devices << qs(d.name);
            }
    }
    dialog.offerKnownNames(companies, devices);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    CChrEDoc& doc = frame.document();
    dialog.writeBack(doc);
    // The amounts and the sample type change the contents.
    doc.quantify();
    frame.refreshViews();
    if (frames_)
        for (CChildFrame* other : frames_())
            if (other != &frame && samePair(doc, other->document()) &&
                shareSampleInformation(doc, other->document()))
                other->refreshViews();
    return true;
}

bool DocumentCommands::canDiagnose(const CChrEDoc& doc)
{
    return !doc.acquiring();
}

bool DocumentCommands::diagnose(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (!canDiagnose(doc)) {
        prompts_.message(qs(kCannotDiagnoseWhileSampling), OperatorPrompts::Icon::Exclamation);
        return false;
    }
    DiagnosisEnvironment env;
    env.outGasRateUsed = app_.settings().OutGasRateUsed != 0;
    env.ask = [this](const std::string& question) {
        return prompts_.askYesNo(qs(question), OperatorPrompts::Icon::Question);
    };
    env.showMessage = [this](const std::string& text) {
        prompts_.message(qs(text), OperatorPrompts::Icon::Exclamation);
    };
    // A fresh installation knows no company or device yet: the operator adds them here
    // rather than being turned away.
    TestRecordDatabase& db = app_.database();
    const std::string& company = doc.data.method.sendingCompany;
    const std::string& device = doc.data.method.deviceNo;
    DatabaseCommands::registerUnknown(db, prompts_, company, device);
    // Without a previous test of its own, the rates go against the device's latest test in
    // the database.
    if (!hasPreviousTest(doc.data.method.testRecord))
        if (const auto previous =
                previousTestFromDatabase(db, company, device, doc.data.injectionTime))
            doc.data.method.testRecord = *previous;
    const auto view = diagnoseDocument(doc, env, &db);
    // The results were recomputed even when nothing could be saved.
    frame.refreshViews();
    emit resultsChanged(&frame);
    if (!view)
        return false;
    frame.updateTitle();
    DiagnosisDialog dialog(doc, *view, prompts_, dialogParent_);
    connect(&dialog, &DiagnosisDialog::databaseRequested, this, [this, &doc] {
        emit databaseViewRequested(qs(doc.data.method.sendingCompany),
                                   qs(doc.data.method.deviceNo));
    });
    dialog.exec();
    if (dialog.changedDocument()) {
        frame.refreshViews();
        frame.updateTitle();
    }
    if (dialog.previewRequested())
        emit dgaPreviewRequested(&frame);
    return true;
}

bool DocumentCommands::chooseBackground(CChildFrame& frame)
{
    BackgroundDialog dialog(frame.document(), dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    applyBackground(frame, dialog.file(), dialog.showBackground(), dialog.traceColor());
    return true;
}

void DocumentCommands::applyBackground(CChildFrame& frame, const QString& file, bool show,
                                       int32_t traceColor)
{
    CChrEDoc& doc = frame.document();
    doc.backgroundFile = ss(file);
    doc.showBackground = show ? 1 : 0;
    doc.backgroundTraceColor = traceColor;
    doc.backgroundData = ChromatogramData{};
    if (!file.isEmpty()) {
        try {
            doc.backgroundData = readChromatogramFile(doc.backgroundFile);
        } catch (const std::exception& e) {
            doc.backgroundData = ChromatogramData{};
            prompts_.message(qs(withReason(CChrEDoc::kLoadFailed, e.what())));
        }
    }
    doc.backgroundData.colors.traceColor = traceColor;
    // The reference is a view setting, not part of the stored chromatogram: it neither marks
    // the document nor clears a mark of changes still unsaved.
    frame.refreshViews();
    frame.updateTitle();
}

bool DocumentCommands::useMethod(CChildFrame& frame, const MethodChoice& choice)
{
    CChrEDoc& doc = frame.document();
    if (!MethodSelection::valid(doc, choice))
        return false;
    const std::string& name =
        doc.methodLibrary()->at(static_cast<size_t>(choice.libraryMethodIndex)).method.name;
    if (!prompts_.confirm(qs(MethodSelection::kUseCaption),
                          qs(formatText(MethodSelection::kUseQuestion, name))))
        return false;
    MethodSelection::use(doc, choice);
    frame.refreshViews();
    frame.graph()->setFocus();
    emit resultsChanged(&frame);
    return true;
}

bool DocumentCommands::chooseMethod(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (!MethodSelection::canChoose(doc) || doc.methodLibrary() == nullptr)
        return false;
    MethodChoiceDialog dialog(*doc.methodLibrary(), MethodSelection::preset(doc), dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return applyMethodChoice(frame, dialog.choice());
}

bool DocumentCommands::applyMethodChoice(CChildFrame& frame, const MethodChoice& choice)
{
    if (!MethodSelection::choose(frame.document(), choice))
        return false;
    frame.refreshViews();
    emit resultsChanged(&frame);
    return true;
}

bool DocumentCommands::editMethod(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    MethodSheet sheet(doc.data.method, MethodSheet::Target::Chromatogram, prompts_, dialogParent_);
    sheet.integrationPage()->setProposalSource(
        &doc.data, areaDivisor(doc.engine.settings().cacuFrequence, doc.data.pointsPerSecond));
    // Looking at the method and confirming it unchanged is no edit.
    if (sheet.exec() != QDialog::Accepted || sheet.method() == doc.data.method)
        return false;
    doc.applyMethod(sheet.method());
    frame.updateTitle();
    emit resultsChanged(&frame);
    return true;
}

bool DocumentCommands::editManualEvents(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    ManualEventDialog dialog(doc.data.method, prompts_, dialogParent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    AnalysisMethod edited = doc.data.method;
    dialog.commitTo(edited);
    if (edited == doc.data.method)
        return false;
    // The table itself changes no peak; it is replayed after the next detection.
    doc.data.method = edited;
    doc.setModifiedFlag(true);
    frame.updateTitle();
    return true;
}

bool DocumentCommands::showPeakInfo(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (doc.selectedPeak < 0 || doc.selectedPeak >= doc.data.peaks.size())
        return false;
    SystemSettings& settings = app_.settings();
    RetentionTimePrompt prompt{settings.ShowUpdateRTimeDlg, settings.LastUpdateRTime};
    PeakInfoContext context = doc.peakInfoContext();
    // A library method written back from here is saved like any other: with its log line.
    context.save = [this, save = context.save](const MethodLibraryEntry& entry) {
        save(entry);
        app_.log(formatText(kMethodSavedLog, QFileInfo(qs(entry.path)).fileName().toStdString()));
    };
    PeakInfoDialog dialog(context, doc.selectedPeak, prompt, prompts_, dialogParent_);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    settings.ShowUpdateRTimeDlg = prompt.ShowUpdateRTimeDlg;
    settings.LastUpdateRTime = prompt.LastUpdateRTime;
    if (!accepted)
        return false;
    PeakInfoResult result = dialog.result();
    result.message.clear();  // the dialog has shown its own texts
    doc.finishPeakInfo(result);
    // A component added or moved in the library method shows in the tree.
    app_.library().notifyChanged();
    doc.setModifiedFlag(true);
    frame.peaksChanged();
    frame.updateTitle();
    emit resultsChanged(&frame);
    return true;
}

bool DocumentCommands::addTimeEventAt(CChildFrame& frame, double minutes)
{
    CChrEDoc& doc = frame.document();
    TimeEventDialog dialog(newTimeEvent(std::max(0.0, minutes)), dialogParent_);
    dialog.setPrompts(&prompts_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    AnalysisMethod edited = doc.data.method;
    insertTimeEvent(edited.timeProgram, dialog.row());
    edited.timeProgramEnabled = true;
    doc.applyMethod(edited);
    frame.updateTitle();
    emit resultsChanged(&frame);
    return true;
}

}  // namespace dgaws
