#include "ChannelRuns.h"

#include "CChrEDoc.h"
#include "SamplePair.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/MethodLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <vector>

namespace dgaws {
namespace {

std::string formatNumber(const char* pattern, double value)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

}  // namespace

ChannelRuns::ChannelRuns(const AcquisitionSettings& settings, const MethodLibrary* library,
                         RunCallbacks callbacks)
    : settings_(settings), library_(library), cb_(std::move(callbacks)),
      env_(systemProposalEnvironment())
{}

ChannelRuns::~ChannelRuns() = default;

std::string ChannelRuns::timeText(double minutes)
{
    return formatNumber(kTimeText, minutes);
}

std::string ChannelRuns::voltageText(float microvolts)
{
    return formatNumber(kVoltageText, microvolts * 0.001);
}

void ChannelRuns::message(const std::string& text) const
{
    if (cb_.message)
        cb_.message(text);
}

bool ChannelRuns::ask(const std::string& text) const
{
    return cb_.ask ? cb_.ask(text) : false;
}

void ChannelRuns::changed(CChrEDoc& doc) const
{
    if (cb_.changed)
        cb_.changed(doc);
}

int ChannelRuns::channelOf(const CChrEDoc& doc) const
{
    for (int c = 0; c < 2; ++c)
        if (slots_[static_cast<size_t>(c)] == &doc)
            return c;
    return -1;
}

void ChannelRuns::setCollector(CCollector* collector)
{
    for (int c = 0; c < 2; ++c) {
        CChrEDoc* doc = slots_[static_cast<size_t>(c)];
        if (doc == nullptr)
            continue;
        if (collector == nullptr) {
            doc->attachRun(nullptr);
            continue;
        }
        const ChannelRun* before = doc->channelRun();
        collector->attach(c);
        ChannelRun& run = collector->run(c);
        if (before)
            run = *before;
        doc->attachRun(&run);
        // A run in progress goes on with the new collector.
        if (run.acquiring)
            collector->resumeRunning(c, doc->acquiredCount);
    }
    collector_ = collector;
}

void ChannelRuns::adoptChannelDocument(CChrEDoc& doc, int channel)
{
    const auto ci = static_cast<size_t>(channel);
    slots_.at(ci) = &doc;
    awaitingJoin_.at(ci) = false;
    unpair(channel);
    runId_[ci] = 0;
    doc.state = channel;
    doc.data.channel = channel;
    if (collector_ && doc.channelRun() == nullptr && collector_->attach(channel))
        doc.attachRun(&collector_->run(channel));
}

void ChannelRuns::releaseChannelDocument(CChrEDoc& doc)
{
    for (size_t c = 0; c < slots_.size(); ++c)
        if (slots_[c] == &doc) {
            slots_[c] = nullptr;
            awaitingJoin_[c] = false;
            unpair(static_cast<int>(c));
            runId_[c] = 0;
        }
    if (collector_ && doc.channelRun())
        for (int c = 0; c < 2; ++c)
            if (&collector_->run(c) == doc.channelRun())
                collector_->detach(c);
    doc.attachRun(nullptr);
}

CChrEDoc* ChannelRuns::ensureChannel(int channel)
{
    const auto ci = static_cast<size_t>(channel);
    if (slots_[ci] == nullptr && cb_.openChannel) {
        if (CChrEDoc* doc = cb_.openChannel(channel))
            adoptChannelDocument(*doc, channel);
    }
    return slots_[ci];
}

bool ChannelRuns::hasValidMethod(const CChrEDoc& doc) const
{
    return library_ != nullptr && doc.libraryMethodIndex >= 0 &&
        static_cast<size_t>(doc.libraryMethodIndex) < library_->size();
}

bool ChannelRuns::canRun(const CChrEDoc& doc) const
{
    return collector_ != nullptr && doc.channelRun() != nullptr && !doc.acquiring();
}

bool ChannelRuns::canWatchStart(const CChrEDoc& doc) const
{
    // Without the engine's start detector a watch could never end by itself.
    return detection_ != nullptr && canRun(doc) && !doc.watchingStart();
}

void ChannelRuns::resetForRun(CChrEDoc& doc)
{
    const int rate = settings_.pointsPerSecond;
    ChromatogramData& d = doc.data;
    // The buffer grows as points arrive: a stop time of days must not take the memory of
    // days before the first point, and a run that is cancelled early never needed it.
    const double samples =
        std::min<double>(rate * d.method.integration.stopTime * 60.0, SignalBuffer::kGrowStep);
    d.resetForRun(samples > 0 ? static_cast<int>(samples) : 0, rate);
    d.signalMin = 2000000.0f;
    d.signalMax = -2000000.0f;
    d.peaks.clear();
    d.groupResults.clear();
    d.resetResults();
    // A new run holds no place in a standard's curve until it is saved and entered.
    d.standardRun = -1;
    d.injectionTime = OleDateTime::now();
    doc.acquiredCount = 0;
    doc.forgetEditing();
    doc.pathName.clear();
    const int c = channelOf(doc);
    if (c == 0 || c == 1)
        levelling_[static_cast<size_t>(c)] = BaselineLevelling::fromSettings(settings_, c, rate);
}

void ChannelRuns::runStart(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (c != 0 && c != 1)
        return;
    saveAwaitingJoin(c);
    if (hasValidMethod(doc)) {
        const MethodLibraryEntry& entry = library_->at(static_cast<size_t>(doc.libraryMethodIndex));
        doc.data.methodName = entry.method.name;
        const int cal = doc.libraryCalibrationIndex;
        doc.data.calibrationName = cal >= 0 && static_cast<size_t>(cal) < entry.curves.size()
            ? entry.curves[static_cast<size_t>(cal)].name
            : std::string();
    }
    if (ChannelRun* state = doc.channelRun()) {
        state->startWatch = false;
        state->acquiring = true;
    }
    // A run that starts while the other channel records a run of its own, not yet joined to
    // another, is the same injection's: the two are joined when both have ended.
    const auto ci = static_cast<size_t>(c);
    const auto oi = static_cast<size_t>(1 - c);
    runId_[ci] = ++lastRunId_;
    partner_[ci] = 0;
    const CChrEDoc* other = slots_[oi];
    if (other && other->acquiring() && !other->watchingStart() && partner_[oi] == 0) {
        partner_[ci] = runId_[oi];
        partner_[oi] = runId_[ci];
    }
    if (collector_)
        collector_->startRunning(c);
    resetForRun(doc);
    // The name carries the injection time, so it is taken now, not when the run ends.
    doc.proposedName = proposeFileName(doc.data.method, doc.data.sampleType, c, env_).fileName;
    if (detection_)
        detection_->beginRun(doc);

    // A copy left by an earlier run that was never saved stays on disk for recovery.
    auto& writer = autosave_[static_cast<size_t>(c)];
    writer = std::make_unique<AutosaveWriter>(autosaveClock_);
    if (!settings_.autosaveFolder.empty() &&
        !writer->begin(autosavePathFor(settings_.autosaveFolder, doc.proposedName), doc.data))
        message(formatText(kAutosaveFailed, writer->path()));
    changed(doc);
}

bool ChannelRuns::run(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (!canRun(doc) || (c != 0 && c != 1))
        return false;
    if (!hasValidMethod(doc)) {
        message(kNoMethod);
        return false;
    }
    CChrEDoc* other = nullptr;
    if (settings_.AllStart) {
        other = ensureChannel(1 - c);
        if (other && !hasValidMethod(*other)) {
            message(c == 0 ? kNoMethodB : kNoMethodA);
            return false;
        }
    }
    const bool startOther = other != nullptr && !other->acquiring();
    // On the simulated connection the demonstration restarts at its injection for each
    // channel started here, so the retention times are the demonstration's whenever the
    // run is started after connecting.
    if (collector_) {
        collector_->rewindDemo(c);
        if (startOther)
            collector_->rewindDemo(1 - c);
    }
    runStart(doc);
    if (startOther) {
        runStart(*other);
        // One injection, one sample: the other channel names what this one names.
        shareSampleInformation(doc, *other);
    }
    return true;
}

bool ChannelRuns::watchStart(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (!canWatchStart(doc) || (c != 0 && c != 1))
        return false;
    saveAwaitingJoin(c);
    // A watch is no run: what it records is never joined to anything.
    unpair(c);
    runId_[static_cast<size_t>(c)] = ++lastRunId_;
    resetForRun(doc);
    ChannelRun& state = *doc.channelRun();
    state.acquiring = true;
    state.startWatch = true;
    if (collector_)
        collector_->startRunning(c);
    if (detection_)
        detection_->beginStartWatch(doc);
    changed(doc);
    return true;
}

bool ChannelRuns::cancel(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (!doc.acquiring() || (c != 0 && c != 1))
        return false;
    if (doc.watchingStart()) {
        doc.channelRun()->startWatch = false;
    } else {
        if (!ask(kCancelQuestion))
            return false;
        // The operator gave the run up knowing it is not saved; its safety copy goes too.
        if (auto& writer = autosave_[static_cast<size_t>(c)])
            writer->remove();
    }
    if (collector_)
        collector_->stopRunning(c);
    if (ChannelRun* state = doc.channelRun())
        state->acquiring = false;
    unpair(c);
    changed(doc);
    // Nothing is left to join the other channel's ended run with.
    saveAwaitingJoin(1 - c);
    return true;
}

void ChannelRuns::endRun(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (collector_ && (c == 0 || c == 1))
        collector_->stopRunning(c);
    if (ChannelRun* state = doc.channelRun()) {
        state->acquiring = false;
        state->startWatch = false;
    }
    doc.data.signal.resize(doc.acquiredCount);
    doc.data.hasData = doc.acquiredCount > 0;
    doc.setModifiedFlag(true);
    if (c == 0 || c == 1)
        if (auto& writer = autosave_[static_cast<size_t>(c)])
            writer->close();
    if (detection_)
        detection_->finishRun(doc);
}

void ChannelRuns::stop(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    if (!doc.acquiring() || (c != 0 && c != 1))
        return;
    // Watching for the start signal is not a run: there is nothing to keep.
    if (doc.watchingStart()) {
        cancel(doc);
        return;
    }
    endRun(doc);
    CChrEDoc* other = slots_[static_cast<size_t>(1 - c)];
    const bool otherStopped = settings_.AllStop && other && other->acquiring();
    if (otherStopped)
        endRun(*other);
    if (settings_.StopWarning == 0 && cb_.beep)
        cb_.beep();

    // With joining on, a run that ends while the other channel still records waits for it:
    // its file then holds the joined chromatogram, and each channel's file is written once.
    if (settings_.Merge && other && other->acquiring() && runsPaired()) {
        awaitingJoin_[static_cast<size_t>(c)] = true;
        changed(doc);
        return;
    }

    if (settings_.Merge && runsPaired() && !slots_[0]->acquiring() && !slots_[1]->acquiring() &&
        slots_[0]->acquiredCount > 0 && slots_[1]->acquiredCount > 0)
        merge();
    // Joined or not, these runs are done with each other.
    if (!other || !other->acquiring())
        unpair(c);

    // Saved in the order the runs ended.
    std::vector<CChrEDoc*> ended;
    if (awaitingJoin_[static_cast<size_t>(1 - c)] && other)
        ended.push_back(other);
    ended.push_back(&doc);
    if (otherStopped)
        ended.push_back(other);
    awaitingJoin_ = {};
    for (CChrEDoc* d : ended)
        save(*d);
    for (CChrEDoc* d : ended)
        finishSaved(*d);
}

void ChannelRuns::stopAllUnattended()
{
    const bool before = saveWithoutDialog_;
    saveWithoutDialog_ = true;
    for (CChrEDoc* doc : slots_) {
        if (doc == nullptr || !doc->acquiring())
            continue;
        if (doc->watchingStart())
            cancel(*doc);
        else
            stop(*doc);
    }
    saveWithoutDialog_ = before;
}

void ChannelRuns::saveAwaitingJoin(int channel)
{
    const auto ci = static_cast<size_t>(channel);
    if (!awaitingJoin_.at(ci))
        return;
    awaitingJoin_[ci] = false;
    if (CChrEDoc* doc = slots_[ci]) {
        save(*doc);
        finishSaved(*doc);
    }
}

bool ChannelRuns::runsPaired() const
{
    return slots_[0] && slots_[1] && runId_[0] != 0 && runId_[1] != 0 && partner_[0] == runId_[1] &&
        partner_[1] == runId_[0];
}

void ChannelRuns::unpair(int channel)
{
    const auto ci = static_cast<size_t>(channel);
    const auto oi = static_cast<size_t>(1 - channel);
    if (partner_[oi] != 0 && partner_[oi] == runId_[ci])
        partner_[oi] = 0;
    partner_[ci] = 0;
}

void ChannelRuns::finishSaved(CChrEDoc& doc)
{
    const bool saved = !doc.isModified() && !doc.pathName.empty();
    const std::string before = saved ? storeChromatogram(doc.data) : std::string();
    if (detection_)
        detection_->evaluate(doc);
    // The evaluation marks the document changed. When it changed nothing that is stored
    // the file is still the document; when it did (a standard's run entered in its curve
    // requantifies), the file takes the results the operator now sees.
    if (saved) {
        if (storeChromatogram(doc.data) == before)
            doc.setModifiedFlag(false);
        else
            (void)doc.saveToFile(doc.pathName);
    }
    changed(doc);
}

void ChannelRuns::merge()
{
    CChrEDoc& keep = *slots_[settings_.MergeAB ? 1 : 0];
    const CChrEDoc& add = *slots_[settings_.MergeAB ? 0 : 1];
    std::vector<float> joined = keep.data.signal.values();
    joined.resize(static_cast<size_t>(keep.acquiredCount));
    const auto& tail = add.data.signal.values();
    const size_t n = std::min(tail.size(), static_cast<size_t>(add.acquiredCount));
    // The appended part continues from the last point of the first, so the join has no step.
    const float shift = joined.back() - tail.front();
    joined.reserve(joined.size() + n - 1);
    for (size_t i = 1; i < n; ++i)
        joined.push_back(tail[i] + shift);
    keep.data.signal.assign(std::move(joined));
    keep.acquiredCount = keep.data.signal.count();
    keep.data.scanExtrema(-std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
    keep.data.method.timeEnd = keep.data.duration();
    keep.setModifiedFlag(true);
    if (detection_)
        detection_->redetect(keep);
}

bool ChannelRuns::save(CChrEDoc& doc)
{
    const int c = channelOf(doc);
    std::string path = doc.pathName.empty() ? doc.proposeSavePath(env_) : doc.pathName;
    if (!settings_.DirectSave && !saveWithoutDialog_) {
        std::optional<std::string> chosen;
        if (cb_.chooseSavePath)
            chosen = cb_.chooseSavePath(path);
        if (!chosen) {
            // As a cancelled save dialog: nothing written, and the safety copy stays.
            doc.pathName.clear();
            if (cb_.runSaved)
                cb_.runSaved(doc, {});
            return false;
        }
        path = *chosen;
    }
    std::error_code ec;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    const bool ok = doc.saveToFile(path).has_value();
    if (ok && (c == 0 || c == 1))
        if (auto& writer = autosave_[static_cast<size_t>(c)])
            writer->remove();
    if (cb_.runSaved)
        cb_.runSaved(doc, ok ? path : std::string());
    return ok;
}

void ChannelRuns::openChannel(int channel)
{
    ensureChannel(channel);
}

bool ChannelRuns::hasValidMethod(int channel) const
{
    const CChrEDoc* doc = slots_.at(static_cast<size_t>(channel));
    return doc != nullptr && hasValidMethod(*doc);
}

void ChannelRuns::runStart(int channel)
{
    if (CChrEDoc* doc = slots_.at(static_cast<size_t>(channel)))
        runStart(*doc);
}

void ChannelRuns::noMethodAtStart(int channel)
{
    auto& warned = warnedNoMethod_.at(static_cast<size_t>(channel));
    if (warned)
        return;
    warned = true;
    message(channel == 0 ? kNoMethodAtStartA : kNoMethodAtStartB);
}

void ChannelRuns::ignitionChanged(int channel)
{
    if (CChrEDoc* doc = slots_.at(static_cast<size_t>(channel)))
        changed(*doc);
}

void ChannelRuns::append(int channel, float value)
{
    if (CChrEDoc* doc = slots_.at(static_cast<size_t>(channel)))
        append(*doc, value);
}

void ChannelRuns::append(CChrEDoc& doc, float value)
{
    if (!doc.acquiring())
        return;
    const int c = channelOf(doc);
    ChromatogramData& d = doc.data;
    if (doc.acquiredCount >= d.signal.count())
        d.signal.grow();
    float v = value;
    if (!doc.watchingStart() && (c == 0 || c == 1))
        v = levelling_[static_cast<size_t>(c)].apply(doc.acquiredCount + 1, v);
    if (v > d.signalMax)
        d.signalMax = v;
    if (v < d.signalMin)
        d.signalMin = v;
    d.signal.set(doc.acquiredCount, v);
    ++doc.acquiredCount;
    doc.setModifiedFlag(true);
    if (!doc.watchingStart() && (c == 0 || c == 1))
        if (auto& writer = autosave_[static_cast<size_t>(c)]; writer && writer->isOpen())
            if (!writer->append(v))
                message(formatText(kAutosaveFailed, writer->path()));
    if (cb_.pointAdded)
        cb_.pointAdded(doc, v);
    if (cb_.status)
        cb_.status(doc, timeText(d.indexToTime(doc.acquiredCount)), voltageText(v));

    if (doc.watchingStart()) {
        if (!detection_)
            return;
        const std::optional<StartRise> rise = detection_->feedStartWatch(doc, v);
        if (!rise)
            return;
        const double height = std::fabs(static_cast<double>(rise->endValue) - rise->startValue);
        if (height < settings_.autoStartHeightMicrovolts()) {
            detection_->rejectRise(doc);
            return;
        }
        cancel(doc);
        run(doc);
        return;
    }
    if (detection_) {
        const int before = d.peaks.size();
        detection_->feed(doc, v);
        if (d.peaks.size() != before)
            changed(doc);
    }
    if (d.indexToTime(doc.acquiredCount) >= d.method.integration.stopTime)
        stop(doc);
}

}  // namespace dgaws
