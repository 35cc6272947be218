#include "PeakEditor.h"

#include "BaselineCuts.h"
#include "BoundaryMoves.h"
#include "EditLimits.h"
#include "ManualEventKind.h"
#include "ManualEventReplay.h"
#include "PeakGrouping.h"
#include "PeakSeparation.h"
#include "TailingCuts.h"

#include <cstring>

namespace dgaws {

int PeakEditor::selectAt(int sample)
{
    int found = -1;
    if (const ChromatogramData* d = data()) {
        for (int i = 0; i < d->peaks.size(); ++i) {
            if (d->peaks[i].startIndex <= sample && sample <= d->peaks[i].endIndex) {
                found = i;
                break;
            }
        }
    }
    select(found);
    return found;
}

// A pass still open owns the rows it is building; an edit would be overwritten by them.
bool PeakEditor::canEdit() const
{
    return data() && !(running_ && running_()) && !engine_.passOpen();
}

bool PeakEditor::canAddPeak() const
{
    return canEdit() && data()->hasData;
}

bool PeakEditor::canEditSelected() const
{
    return canEdit() && validRow(selection());
}

bool PeakEditor::validRow(int row) const
{
    return data() && row >= 0 && row < data()->peaks.size();
}

bool PeakEditor::onSignal(int sample) const
{
    return data() && sample >= 0 && sample < data()->signal.count();
}

std::shared_ptr<const std::vector<float>> PeakEditor::currentSamples() const
{
    const std::vector<float>& now = data()->signal.values();
    // Bytes, not values: a NaN sample is still the same sample.
    const bool same = samples_ && samples_->size() == now.size() &&
        (now.empty() || std::memcmp(samples_->data(), now.data(), now.size() * sizeof(float)) == 0);
    if (!same)
        samples_ = std::make_shared<const std::vector<float>>(now);
    return samples_;
}

UndoSnapshot PeakEditor::current() const
{
    const AnalysisMethod& m = data()->method;
    return {
        data()->peaks,     DisplayRange::of(m),  m.manualEvents,
        m.integration,     m.timeProgramEnabled, m.timeProgram,
        m.useManualEvents, currentSamples(),     correction_ ? *correction_ : SignalCorrection()};
}

void PeakEditor::pushUndo(UndoSnapshot before)
{
    if (!canEdit() || !data()->hasData)
        return;
    undo_.push(std::move(before));
}

void PeakEditor::pushUndo()
{
    if (!canEdit() || !data()->hasData)
        return;
    undo_.push(current());
}

// The snapshot was an evaluated table; evaluating it again gives the same rows and brings
// what is derived from them (contents, group totals) back in line.
void PeakEditor::restore(const UndoSnapshot& snapshot)
{
    data()->peaks = snapshot.peaks;
    AnalysisMethod& m = data()->method;
    m.manualEvents = snapshot.manualEvents;
    m.integration = snapshot.integration;
    m.timeProgramEnabled = snapshot.timeProgramEnabled;
    m.timeProgram = snapshot.timeProgram;
    m.useManualEvents = snapshot.useManualEvents;
    if (snapshot.samples && currentSamples() != snapshot.samples) {
        data()->signal.assign(*snapshot.samples);
        samples_ = snapshot.samples;
        data()->scanExtrema(-2000000.0F, 2000000.0F);
    }
    if (correction_)
        *correction_ = snapshot.correction;
    snapshot.range.applyTo(data()->method);
    engine_.evaluate(EvaluateStep::All);
    if (!validRow(selection()))
        select(-1);
    redraw();
}

bool PeakEditor::undo()
{
    if (!canEdit())
        return false;
    const auto snapshot = undo_.undo(current());
    if (!snapshot)
        return false;
    restore(*snapshot);
    return true;
}

bool PeakEditor::redo()
{
    if (!canEdit())
        return false;
    const auto snapshot = undo_.redo();
    if (!snapshot)
        return false;
    restore(*snapshot);
    return true;
}

void PeakEditor::redraw() const
{
    if (redraw_)
        redraw_();
}

void PeakEditor::record(int row, int kind, double time)
{
    ManualEvent e;
    e.peak = data()->peaks[row];
    e.kind = kind;
    e.time = time;
    data()->method.manualEvents.push_back(std::move(e));
}

void PeakEditor::finish(const RangeEdit::EventRows& rows, int movedSample)
{
    engine_.evaluate(EvaluateStep::All);
    for (const RangeEdit::EventRow& r : rows) {
        const double time = movedSample >= 0 ? minutesOf(movedSample, data()->pointsPerSecond)
                                             : data()->peaks[r.row].retentionTime;
        record(r.row, r.kind, time);
    }
    redraw();
}

EditStatus PeakEditor::addPeak(const AddPeakClicks& clicks)
{
    if (!canAddPeak())
        return EditStatus::Unavailable;
    const PeakTable& t = data()->peaks;
    const int n = data()->signal.count();
    // The table may have changed since the clicks were checked.
    for (EditStatus s : {AddPeakClicks::checkStart(t, n, clicks.start()),
                         AddPeakClicks::checkApex(t, n, clicks.start(), clicks.apex()),
                         AddPeakClicks::checkEnd(t, n, clicks.apex(), clicks.end())})
        if (s != EditStatus::Done)
            return s;

    const SignalView y(data()->signal);
    PeakRecord p;
    p.startIndex = p.baselineStartIndex = clicks.start();
    p.startValue = p.baselineStartValue = y(clicks.start());
    p.apexIndex = clicks.apex();
    p.retentionTime = minutesOf(clicks.apex(), data()->pointsPerSecond);
    p.apexValue = y(clicks.apex());
    p.endIndex = p.baselineEndIndex = clicks.end();
    p.endValue = p.baselineEndValue = y(clicks.end());
    p.detectTag = 1;

    pushUndo();
    int row = 0;
    while (row < t.size() && t[row].startIndex < p.endIndex)
        ++row;
    engine_.insertPeak(p);
    record(row, ManualEventKind::AddPeak, data()->peaks[row].retentionTime);
    redraw();
    return EditStatus::Done;
}

EditStatus PeakEditor::deletePeak(int row)
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    pushUndo();
    select(row);
    PeakGrouping::detach(data()->peaks, row);
    record(row, ManualEventKind::deletePeak, data()->peaks[row].retentionTime);
    engine_.deletePeak(row);
    select(-1);
    redraw();
    return EditStatus::Done;
}

EditStatus PeakEditor::moveStart(int row, int sample)
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    if (!EditLimits::start(data()->peaks, row, data()->signal.count()).contains(sample))
        return EditStatus::OutsideLimits;
    pushUndo();
    finish(BoundaryMoves::start(data()->peaks, row, sample, SignalView(data()->signal)), sample);
    return EditStatus::Done;
}

EditStatus PeakEditor::moveApex(int row, int sample)
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    if (!EditLimits::apex(data()->peaks, row, data()->signal.count()).contains(sample))
        return EditStatus::OutsideLimits;
    pushUndo();
    finish(BoundaryMoves::apex(data()->peaks, row, sample, SignalView(data()->signal),
                               data()->pointsPerSecond),
           sample);
    return EditStatus::Done;
}

EditStatus PeakEditor::moveEnd(int row, int sample)
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    if (!EditLimits::end(data()->peaks, row, data()->signal.count()).contains(sample))
        return EditStatus::OutsideLimits;
    pushUndo();
    finish(BoundaryMoves::end(data()->peaks, row, sample, SignalView(data()->signal)), sample);
    return EditStatus::Done;
}

EditStatus PeakEditor::checkRange(int row, int sample) const
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    if (!onSignal(sample))
        return EditStatus::OutsideSignal;
    return EditStatus::Done;
}

EditStatus PeakEditor::verticalCut(int row, int sample)
{
    if (const EditStatus s = checkRange(row, sample); s != EditStatus::Done)
        return s;
    pushUndo();
    PeakTable& t = data()->peaks;
    finish(
        BaselineCuts::vertical(t, RangeEdit::behind(t, row, sample), SignalView(data()->signal)));
    return EditStatus::Done;
}

EditStatus PeakEditor::slantCut(int row, int sample)
{
    if (const EditStatus s = checkRange(row, sample); s != EditStatus::Done)
        return s;
    pushUndo();
    PeakTable& t = data()->peaks;
    finish(BaselineCuts::slant(t, RangeEdit::behind(t, row, sample), SignalView(data()->signal)));
    return EditStatus::Done;
}

EditStatus PeakEditor::horizontalBaseline(int row, int sample)
{
    if (const EditStatus s = checkRange(row, sample); s != EditStatus::Done)
        return s;
    pushUndo();
    PeakTable& t = data()->peaks;
    finish(BaselineCuts::horizontal(t, RangeEdit::behind(t, row, sample)));
    return EditStatus::Done;
}

EditStatus PeakEditor::tailingBehind(int row, int sample)
{
    if (const EditStatus s = checkRange(row, sample); s != EditStatus::Done)
        return s;
    PeakTable& t = data()->peaks;
    const RangeEdit::Rows range = RangeEdit::behind(t, row, sample);
    if (range.last <= range.first)
        return EditStatus::NoRiders;
    pushUndo();
    finish(TailingCuts::behind(t, range, sample, SignalView(data()->signal)));
    return EditStatus::Done;
}

EditStatus PeakEditor::tailingBefore(int row, int sample)
{
    if (const EditStatus s = checkRange(row, sample); s != EditStatus::Done)
        return s;
    PeakTable& t = data()->peaks;
    const RangeEdit::Rows range = RangeEdit::before(t, row, sample);
    if (range.last <= range.first)
        return EditStatus::NoRiders;
    pushUndo();
    finish(TailingCuts::before(t, range, sample, SignalView(data()->signal)));
    return EditStatus::Done;
}

// Toggling off leaves no type bits at all, whatever the peak carried before it was made
// negative. Both ways are recorded (there is one kind for both; the record tells which), so
// that a replay ends with the peak as the operator left it.
EditStatus PeakEditor::toggleNegative(int row)
{
    if (!canEdit())
        return EditStatus::Unavailable;
    if (!validRow(row))
        return EditStatus::NoSuchPeak;
    pushUndo();
    PeakRecord& p = data()->peaks[row];
    const bool makeNegative = p.typeFlags != PeakFlag::Negative;
    p.typeFlags = makeNegative ? PeakFlag::Negative : 0;
    finish({{row, ManualEventKind::NegativePeak}});
    return EditStatus::Done;
}

EditStatus PeakEditor::separateAllPeaks()
{
    if (!canEdit())
        return EditStatus::Unavailable;
    pushUndo();
    PeakSeparation::separate(data()->peaks, SignalView(data()->signal));
    finish({});
    return EditStatus::Done;
}

int PeakEditor::replayManualEvents()
{
    const int acted = dgaws::replayManualEvents(engine_);
    select(-1);
    return acted;
}

}  // namespace dgaws
