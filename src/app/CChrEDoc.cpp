#include "CChrEDoc.h"

#include "chromatogram/Archive.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/LinkedChromatogram.h"
#include "chromatogram/TextFormat.h"
#include "dga/OilContents.h"
#include "processing/EngineSettings.h"
#include "processing/EvaluateStep.h"
#include "processing/SignalSmoothing.h"
#include "quant/Identification.h"

#include <filesystem>

namespace dgaws {

namespace {

// The plain file write, unless replaced, goes through the library when there is one: it
// checks that the file is still the one it read, so that a method another workstation saved
// into the shared folder meanwhile is not overwritten unasked.
MethodSaver savingThrough(const MethodSaver& set, MethodLibrary* library)
{
    const auto* plain = set.target<void (*)(const MethodLibraryEntry&)>();
    if (library == nullptr || plain == nullptr || *plain != &saveMethodFile)
        return set;
    return [library](const MethodLibraryEntry& entry) { library->saveInPlace(entry); };
}

}  // namespace

CChrEDoc::CChrEDoc()
{
    engine.setProcessedHandler([this] { setModifiedFlag(true); });
    editor.setRunningQuery([this] { return acquiring(); });
    editor.setRedrawHandler([this] { redraw(); });
    editor.setSignalCorrection(&signalCorrection);
    pushUndo_ = [this] { editor.pushUndo(); };
    replayManualEvents_ = [this] { editor.replayManualEvents(); };
    engine.setIdentificationStep([this](ChromatogramData& d) { identify(d, calibrationCurve()); });
    engine.setQuantitationStep([this](ChromatogramData&) { quantitationStep(); });
}

void CChrEDoc::redraw() const
{
    if (redrawViews_)
        redrawViews_();
}

void CChrEDoc::forgetEditing()
{
    signalCorrection.forget();
    editor.forgetUndo();
    selectedPeak = -1;
}

void CChrEDoc::signalChanged()
{
    setModifiedFlag(true);
    redraw();
}

bool CChrEDoc::asOneUndoStep(const std::function<bool()>& change)
{
    UndoSnapshot before = editor.snapshot();
    if (!change())
        return false;
    editor.pushUndo(std::move(before));
    signalChanged();
    return true;
}

bool CChrEDoc::smoothSignal(int width)
{
    if (acquiring())
        return false;
    return asOneUndoStep([&] { return SignalSmoothing::smooth(data, width); });
}

bool CChrEDoc::subtractOwnDrift()
{
    if (acquiring())
        return false;
    return asOneUndoStep([&] {
        return signalCorrection.subtractOwnDrift(data) == SignalCorrection::Result::Subtracted;
    });
}

bool CChrEDoc::subtractBaselineChromatogram(const std::string& path)
{
    if (acquiring())
        return false;
    baselineFile = path;
    try {
        baselineData = readChromatogramFile(path);
    } catch (const std::exception& e) {
        message(withReason(kLoadFailed, e.what()));
        return false;
    }
    const bool subtracted = asOneUndoStep([&] {
        return signalCorrection.subtractBaseline(data, baselineData.signal) !=
            SignalCorrection::Result::BaselineTooShort;
    });
    if (!subtracted)
        message(kBaselineTooShort);
    return subtracted;
}

bool CChrEDoc::restoreSignal()
{
    if (acquiring())
        return false;
    return asOneUndoStep(
        [&] { return signalCorrection.restore(data) == SignalCorrection::Result::Restored; });
}

bool CChrEDoc::requestBaselineZero()
{
    if (!acquiring())
        return false;
    run_->zeroRequest = true;
    return true;
}

DisplayRange CChrEDoc::noiseCloseUp() const
{
    const int newest = acquiring() ? acquiredCount - 1 : data.signal.count() - 1;
    return DisplayRange::noiseCloseUp(data, newest);
}

std::string CChrEDoc::linkedPath() const
{
    return linkedChromatogramPath(data.linkedFile, pathName, dataFolder);
}

namespace {

// The same linked chromatogram as the one held: its signal and its peaks, apart from the
// rates a diagnosis computed on them, which no file stores.
bool sameExceptRates(const ChromatogramData& read, const ChromatogramData& held)
{
    if (read.peaks.size() != held.peaks.size() || read.signal.values() != held.signal.values() ||
        read.injectionTime.date != held.injectionTime.date)
        return false;
    for (int i = 0; i < read.peaks.size(); ++i) {
        PeakRecord p = read.peaks[i];
        p.workValue = held.peaks[i].workValue;
        if (!(p == held.peaks[i]))
            return false;
    }
    return true;
}

// Takes a fresh read of the linked chromatogram unless it is the one held, whose rates
// (from the diagnosis just made) the views and the print must keep showing.
void takeLinked(ChromatogramData& held, ChromatogramData read)
{
    if (!sameExceptRates(read, held))
        held = std::move(read);
}

}  // namespace

Result<void> CChrEDoc::readLinkedData()
{
    if (data.linkedFile.empty() || acquiring()) {
        linkedData = ChromatogramData();
        return {};
    }
    const std::string path = linkedPath();
    try {
        takeLinked(linkedData, readChromatogramFile(path));
        return {};
    } catch (const std::exception& e) {
        // A missing other channel leaves only this one drawn.
        linkedData = ChromatogramData();
        return Failure{linkedUnreadableText(path, e.what())};
    }
}

const CalibrationCurve* CChrEDoc::calibrationCurve() const
{
    if (library_ == nullptr)
        return nullptr;
    return linkedCurve(*library_, libraryMethodIndex, libraryCalibrationIndex);
}

bool CChrEDoc::takeLibraryMethod(MethodChoice choice, MethodTake take)
{
    if (library_ == nullptr)
        return false;
    const MethodChoice given = library_->give(data, choice, take);
    if (given.libraryMethodIndex < 0)
        return false;
    libraryMethodIndex = given.libraryMethodIndex;
    libraryCalibrationIndex = given.libraryCalibrationIndex;
    return true;
}

void CChrEDoc::linkToLibrary()
{
    libraryMethodIndex = -1;
    libraryCalibrationIndex = -1;
    if (library_ != nullptr)
        takeLibraryMethod(library_->choiceNamed(data.methodName, data.calibrationName),
                          MethodTake::Link);
}

void CChrEDoc::quantitationStep()
{
    if (data.sampleType == 0) {
        quantifyWithOilContents(data, calibrationCurve());
        return;
    }
    if (data.sampleType != 1 || library_ == nullptr || !standardRunsStored_)
        return;
    // A standard without a place of its own (a new run, or a file saved before its run was
    // entered) takes the place of its file's runs when the curve has them.
    int run = data.standardRun;
    if (run < 0)
        if (const CalibrationCurve* curve = calibrationCurve())
            run = runIndexForFile(*curve, data.standardLevel, pathName);
    const StoreResult stored = storeStandardRun(
        data, pathName, library_->entryAt(libraryMethodIndex), libraryCalibrationIndex, run,
        savingThrough(saveMethod_, library_), areaDivisor(engine.settings().cacuFrequence));
    if (stored.status == StoreResult::Status::SaveFailed)
        message(stored.message);
}

void CChrEDoc::quantify()
{
    quantifyWithOilContents(data, calibrationCurve());
    setModifiedFlag(true);
}

StandardAddStatus CChrEDoc::addStandardChromatogram(
    std::function<std::optional<MethodChoice>(const MethodChoice&)> chooseMethod,
    std::function<std::optional<int>(int, int)> chooseLevel, const ProposalEnvironment& env)
{
    if (library_ == nullptr)
        return StandardAddStatus::Cancelled;
    StandardChromatogramSteps steps;
    steps.chooseMethod = std::move(chooseMethod);
    steps.chooseLevel = std::move(chooseLevel);
    steps.reprocessWithoutQuantitation = [this] {
        engine.evaluate(EvaluateStep::All & ~EvaluateStep::Quantify);
    };
    steps.saveDocument = [this, &env] { return save(env).has_value(); };
    steps.showMessage = [this](const std::string& text) { message(text); };
    steps.saveMethod = savingThrough(saveMethod_, library_);
    steps.oldAreaDivisor = areaDivisor(engine.settings().cacuFrequence);
    return dgaws::addStandardChromatogram(
        {data, libraryMethodIndex, libraryCalibrationIndex, pathName}, *library_, steps);
}

DgaCollection CChrEDoc::collectDgaValues()
{
    ChromatogramData read;
    DgaCollection collected = dgaws::collectDgaValues(data, read, pathName, dataFolder);
    if (collected.linkedRead)
        takeLinked(linkedData, std::move(read));
    return collected;
}

PeakInfoContext CChrEDoc::peakInfoContext()
{
    PeakInfoContext ctx;
    ctx.data = &data;
    ctx.save = savingThrough(saveMethod_, library_);
    if (library_ == nullptr)
        return ctx;
    // A document whose method was copied whole has no recorded position; its method is
    // then found by name.
    int index = libraryMethodIndex;
    if (library_->entryAt(index) == nullptr)
        index = library_->indexOf(data.methodName);
    ctx.libraryMethod = library_->entryAt(index);
    if (index == libraryMethodIndex)
        ctx.curveIndex = libraryCalibrationIndex;
    return ctx;
}

void CChrEDoc::finishPeakInfo(const PeakInfoResult& result)
{
    if (!result.message.empty())
        message(result.message);
    if (!result.saveError.empty())
        message(result.saveError);
    if (result.evaluateMask != 0)
        engine.evaluate(result.evaluateMask);
    if (redrawViews_)
        redrawViews_();
}

namespace {

bool detectionChanged(const AnalysisMethod& a, const AnalysisMethod& b)
{
    return !(a.integration == b.integration) || a.timeProgramEnabled != b.timeProgramEnabled ||
        a.timeProgram != b.timeProgram || a.useManualEvents != b.useManualEvents ||
        a.manualEvents != b.manualEvents;
}

}  // namespace

void CChrEDoc::applyMethod(const AnalysisMethod& edited)
{
    const bool redetect = detectionChanged(data.method, edited) && canDetectPeaks();
    if (pushUndo_)
        pushUndo_();
    data.method = edited;
    if (redetect) {
        engine.runDetection();
        if (data.method.useManualEvents && replayManualEvents_)
            replayManualEvents_();
    } else {
        engine.evaluate(EvaluateStep::All);
    }
    setModifiedFlag(true);
    redraw();
}

PeakDetectionCommand::Outcome CChrEDoc::detectPeaks()
{
    PeakDetectionCommand::Hooks hooks;
    hooks.askOkCancel = ask_;
    hooks.pushUndo = pushUndo_;
    hooks.replayManualEvents = replayManualEvents_;
    hooks.markModified = [this] { setModifiedFlag(true); };
    hooks.redrawViews = redrawViews_;
    return PeakDetectionCommand::run(engine, acquiring(), hooks);
}

void CChrEDoc::reprocess()
{
    PeakDetectionCommand::Hooks hooks;
    hooks.replayManualEvents = replayManualEvents_;
    hooks.markModified = [this] { setModifiedFlag(true); };
    hooks.redrawViews = redrawViews_;
    PeakDetectionCommand::run(engine, acquiring(), hooks);
}

void CChrEDoc::message(const std::string& text) const
{
    if (showMessage_)
        showMessage_(text);
}

void CChrEDoc::log(const std::string& text) const
{
    if (log_)
        log_(text);
}

void CChrEDoc::onNewDocument(const std::string& workDirectory)
{
    data.method.saveFolder = workDirectory;
}

void CChrEDoc::setTitle(const std::string& title)
{
    std::string t = title;
    if (!t.empty()) {
        const bool starred = t.back() == '*';
        if (modified_ && !starred)
            t.push_back('*');
        else if (!modified_ && starred)
            t.pop_back();
    }
    title_ = t;
}

void CChrEDoc::setModifiedFlag(bool modified)
{
    modified_ = modified;
    setTitle(title_);
}

bool CChrEDoc::canCloseFrame()
{
    if (acquiring()) {
        message(kCannotCloseWhileSampling);
        return false;
    }
    return true;
}

Result<void> CChrEDoc::fail(std::string text) const
{
    message(text);
    return Failure{std::move(text)};
}

Result<void> CChrEDoc::saveToFile(const std::string& path)
{
    // Half a run on disk would pass for a whole one; the run saves itself when it ends.
    if (acquiring())
        return fail(kBinaryAcquiring);
    if ((state == ChannelA || state == ChannelB) && acquiredCount < data.signal.count())
        data.signal.resize(acquiredCount);
    try {
        writeChromatogramFile(path, data);
    } catch (const std::exception& e) {
        return fail(withReason(formatText(kSaveFailed, path), e.what()));
    }
    log(formatText(kSavedLog, fileNameOf(path)));
    setModifiedFlag(false);
    pathName = path;
    return {};
}

std::string CChrEDoc::proposeSavePath(const ProposalEnvironment& env)
{
    const int channel = (state == ChannelA || state == ChannelB) ? state : -1;
    const AnalysisMethod& m = data.method;
    data.method.saveFolder =
        proposalFolder(m, data.sampleType, channel, env.now(), env.workDirectory());
    if (!m.namesByHand() && m.autoName2 == 0) {
        std::string path = proposedName;
        if (path.empty() || path.front() != '/') {
            std::string name = proposedName;
            if (name.size() < 4 || name.compare(name.size() - 4, 4, ".chg") != 0)
                name += ".chg";
            path = joinFolder(data.method.saveFolder, name);
        }
        // The same name every time: a second save must not replace the first file.
        if (!env.fileExists || !env.fileExists(path))
            return path;
        const std::filesystem::path p(path);
        return withFreeSuffix({p.parent_path().string(), p.filename().string(), path, false},
                              env.fileExists)
            .path;
    }
    return proposeFileName(m, data.sampleType, channel, env).path;
}

Result<void> CChrEDoc::save(const ProposalEnvironment& env)
{
    if (acquiring())
        return fail(kBinaryAcquiring);
    std::string path = pathName;
    if (path.empty()) {
        path = proposeSavePath(env);
        // A date subfolder of today does not exist yet on the first save of the day.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    return saveToFile(path);
}

Result<void> CChrEDoc::loadFromFile(const std::string& path)
{
    ChromatogramData loaded;
    try {
        loaded = readChromatogramFile(path);
    } catch (const std::exception& e) {
        return fail(withReason(kLoadFailed, e.what()));
    }
    data = std::move(loaded);
    forgetEditing();
    linkToLibrary();
    log(formatText(kOpenedLog, fileNameOf(path)));
    state = FromFile;
    setModifiedFlag(false);
    pathName = path;
    return {};
}

Result<void> CChrEDoc::saveBinary(const std::string& path)
{
    if (!data.hasData || data.signal.count() == 0)
        return fail(kBinaryNoData);
    if (acquiring())
        return fail(kBinaryAcquiring);
    try {
        writeBinaryChromatogram(path, data);
    } catch (const std::exception& e) {
        return fail(withReason(kBinarySaveFailed, e.what()));
    }
    return {};
}

Result<void> CChrEDoc::loadBinary(const std::string& path, int pointsPerSecond)
{
    ChromatogramData loaded;
    try {
        loaded = readBinaryChromatogram(path, pointsPerSecond);
    } catch (const std::exception& e) {
        return fail(withReason(kBinaryLoadFailed, e.what()));
    }
    // Only the samples and what derives from them come from the file; the document's
    // method otherwise stays as it was.
    loaded.method.saveFolder = data.method.saveFolder;
    const double timeEnd = loaded.method.timeEnd, levelMin = loaded.method.levelMin,
                 levelMax = loaded.method.levelMax;
    AnalysisMethod method = data.method;
    data = std::move(loaded);
    data.method = std::move(method);
    data.method.timeEnd = timeEnd;
    data.method.timeStart = 0.0;
    data.method.levelMin = levelMin;
    data.method.levelMax = levelMax;
    forgetEditing();
    state = FromFile;
    log(formatText(kBinaryOpenedLog, fileNameOf(path)));
    return {};
}

}  // namespace dgaws
