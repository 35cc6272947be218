#include "PeakEngine.h"

#include "IntegrationProposal.h"
#include "PeakGrouping.h"
#include "TimeEventType.h"

#include <algorithm>
#include <climits>

namespace dgaws {

PeakDetector::Context PeakEngine::context()
{
    return {signal_, rows_,     params_, data_->pointsPerSecond,
            events_, schedule_, stream_, observer_};
}

void PeakEngine::runDetection()
{
    if (!data_)
        return;
    resetPass();
    const int count = data_->signal.count();
    const float* samples = data_->signal.data();
    for (int i = 0; i < count;) {
        i += feedQuietStretch(samples + i, count - i);
        if (i < count)
            feedSample(samples[i++]);
    }
    finishPass();
    evaluate(EvaluateStep::All);
    if (settings_.autoDelUnusedPeak != 0)
        deleteExcludedPeaks();
}

// Every index and minute of a pass uses the chromatogram's own rate: a chromatogram
// recorded at 10 or 50 points per second keeps its retention times.
void PeakEngine::resetPass()
{
    if (!data_)
        return;
    params_ = data_->method.integration;
    data_->peaks.clear();
    data_->evaluated = 0;
    rows_.table.clear();
    rows_.touch();
    n_ = 0;
    schedule_.startPass(params_, data_->method.timeProgramEnabled, data_->method.timeProgram,
                        *data_);
    events_ = DetectorEvents{};
    integrationOn_ = false;
    stream_.startPass(params_.smoothWidth, params_.judgeWidth);
    detector_.startPass();
    manual_ = PeakRecord{};
    widthsSeen_ = 0;
    followedWidths_.clear();
    excluded_.clear();
    passOpen_ = true;
    unpublished_ = true;
    publishedValid_ = false;
    measures_.setStableLimit(-1);
    signal_.bind(&data_->signal);
    signal_.setLimit(0);
}

void PeakEngine::resetDetector()
{
    detector_.reset();
    stream_.resetDetector(params_.smoothWidth, params_.judgeWidth);
    // Left on, so that the switch-off runs again at every sample while integration must
    // stay off and no bunch can build up.
    integrationOn_ = true;
}

void PeakEngine::feedSample(float raw)
{
    if (!data_ || !passOpen_ || n_ == INT_MAX)
        return;
    const float sample = SignalView::finite(raw);
    signal_.bind(&data_->signal);
    signal_.setLimit(static_cast<int64_t>(n_) + 1);
    PeakDetector::Context c = context();

    if (const ScheduledEvent* row = schedule_.advance(n_))
        applyTimeEvent(*row);
    if (schedule_.beforeLock() || (events_.bits & EventBit::ForbidIntegration)) {
        if (integrationOn_) {
            detector_.switchOff(c, n_);
            resetDetector();
        }
    } else {
        integrationOn_ = true;
    }

    ++n_;
    if (n_ == 1)
        events_.horizontalLevel = sample;
    if (!integrationOn_)
        return;
    if (stream_.add(sample, n_, schedule_.bunchSize(), schedule_.bunchSize(), schedule_.threshold(),
                    schedule_.centreOffset()))
        detector_.onBunch(c);
    stream_.endSample();
    detector_.riderTangent(c, n_);
    if (events_.bits & EventBit::AutoPeakWidth)
        followPeakWidths();
}

namespace {

// Samples between the half-height crossings of a row as detection left it: the height
// above the straight line from its baseline start to its baseline end.
double halfWidthOf(const PeakRecord& p, const SignalView& s)
{
    if (!(p.startIndex <= p.apexIndex && p.apexIndex <= p.endIndex) ||
        p.baselineEndIndex <= p.baselineStartIndex)
        return 0.0;
    const double base = p.baselineStartValue +
        (static_cast<double>(p.baselineEndValue) - p.baselineStartValue) *
            (p.apexIndex - p.baselineStartIndex) / (p.baselineEndIndex - p.baselineStartIndex);
    const double height = s(p.apexIndex) - base;
    if (!(height > 0.0))
        return 0.0;
    const double half = base + 0.5 * height;
    return PeakMeasures::rearCrossing(s, p.apexIndex, p.endIndex, half) -
        PeakMeasures::frontCrossing(s, p.startIndex, p.apexIndex, half);
}

// The peaks that set the followed width: one odd peak among them does not.
constexpr size_t kFollowedPeaks = 3;

}  // namespace

// A peak found while time event 10 is on sets the bunch size for the next ones from the
// median half width of the newest few, as the proposal sets it from the narrowest peak.
void PeakEngine::followPeakWidths()
{
    const PeakTable& t = rows_.table;
    if (widthsSeen_ > t.size())
        widthsSeen_ = t.size();
    if (widthsSeen_ == t.size())
        return;
    for (; widthsSeen_ < t.size(); ++widthsSeen_) {
        const double w = halfWidthOf(t[widthsSeen_], signal_);
        if (w > 0.0)
            followedWidths_.push_back(w);
    }
    if (followedWidths_.size() > kFollowedPeaks)
        followedWidths_.erase(followedWidths_.begin(),
                              followedWidths_.end() - static_cast<std::ptrdiff_t>(kFollowedPeaks));
    if (followedWidths_.empty())
        return;
    std::vector<double> w = followedWidths_;
    std::sort(w.begin(), w.end());
    const size_t mid = w.size() / 2;
    const double median = w.size() % 2 != 0 ? w[mid] : 0.5 * (w[mid - 1] + w[mid]);
    schedule_.followBunchSize(bunchSizeFor(median));
}

// Between two bunches most samples only join the moving average: nothing in the schedule
// falls on them, integration stays as it is and no rider tangent is followed. Those are
// taken in one stretch; every other sample goes through feedSample.
int PeakEngine::feedQuietStretch(const float* samples, int count)
{
    // A full window (smoothing widths are at least 1) also means the first sample is past.
    if (!passOpen_ || !integrationOn_ || n_ < stream_.smoothWidth() || schedule_.beforeLock() ||
        (events_.bits & EventBit::ForbidIntegration) || detector_.followsRider())
        return 0;
    const int quiet = std::min({count, schedule_.quietSamples(n_), INT_MAX - 1 - n_});
    const int taken = stream_.addQuiet(quiet, schedule_.bunchSize(),
                                       [samples](int i) { return SignalView::finite(samples[i]); });
    n_ += taken;
    return taken;
}

void PeakEngine::finishPass()
{
    if (!data_ || !passOpen_)
        return;
    signal_.bind(&data_->signal);
    signal_.setLimit(n_);
    PeakDetector::Context c = context();
    detector_.finish(c, n_);
    rows_.touch();
    passOpen_ = false;
    unpublished_ = true;
    publishedValid_ = false;
    measures_.setStableLimit(-1);
}

void PeakEngine::applyTimeEvent(const ScheduledEvent& row)
{
    namespace T = TimeEventType;
    const int type = row.event.type;
    switch (type) {
    case T::None: events_.pending = 0; break;
    case T::BaselineNow:
    case T::BaselineAtNextValley:
    case T::NextPeakRides:
    case T::NextPeakNegative: events_.pending = type; break;
    case T::ForceIndependentOn: events_.bits |= EventBit::ForceIndependent; break;
    case T::ForceIndependentOff: events_.bits &= ~EventBit::ForceIndependent; break;
    case T::AutoTailingOn: events_.bits |= EventBit::AutoTailing; break;
    case T::AutoTailingOff: events_.bits &= ~EventBit::AutoTailing; break;
    case T::HorizontalBaselineOn:
        events_.bits |= EventBit::HorizontalBaseline;
        if (!stream_.history().empty())
            events_.horizontalLevel = signal_(stream_.history().newest().centre);
        break;
    case T::HorizontalBaselineOff: events_.bits &= ~EventBit::HorizontalBaseline; break;
    case T::AutoPeakWidthOn:
        // Only the peaks found from here on are followed; until one is, the row's own
        // width holds.
        events_.bits |= EventBit::AutoPeakWidth;
        widthsSeen_ = rows_.table.size();
        followedWidths_.clear();
        break;
    case T::AutoPeakWidthOff: events_.bits &= ~EventBit::AutoPeakWidth; break;
    case T::IntegrationOn: events_.bits &= ~EventBit::ForbidIntegration; break;
    case T::IntegrationOff: events_.bits |= EventBit::ForbidIntegration; break;
    case T::ManualStart:
        if (row.index == n_)
            manualStart();
        break;
    case T::ManualEnd:
        if (row.index == n_)
            manualEnd();
        break;
    default: break;  // an unknown type only changes the width and the threshold
    }
}

void PeakEngine::manualStart()
{
    manual_.startIndex = manual_.baselineStartIndex = n_;
    manual_.startValue = manual_.baselineStartValue = signal_(n_);
    manual_.detectTag = 1;
    manual_.typeFlags = 0;
}

void PeakEngine::manualEnd()
{
    manual_.endIndex = manual_.baselineEndIndex = n_;
    manual_.endValue = manual_.baselineEndValue = signal_(n_);
    // The first strict maximum after the start; the start itself when nothing exceeds it.
    int apex = manual_.startIndex;
    float best = manual_.startValue;
    for (int64_t j = std::max<int64_t>(static_cast<int64_t>(manual_.startIndex) + 1, 0); j < n_;
         ++j) {
        const float v = signal_(j);
        if (v > best) {
            best = v;
            apex = static_cast<int>(j);
        }
    }
    manual_.apexIndex = apex;
    manual_.retentionTime = minutesOf(apex, data_->pointsPerSecond);
    manual_.apexValue = signal_(apex);
    deletePeaksCrossing(manual_.baselineStartIndex, manual_.baselineEndIndex);
    insertPeak(manual_);
}

void PeakEngine::insertPeak(const PeakRecord& peak)
{
    if (!data_)
        return;
    const int at = rows().insertManual(peak);
    if (ownsRows()) {
        detector_.rowInserted(at);
        rows_.touch();
    }
    evaluate(EvaluateStep::All);
}

bool PeakEngine::deletePeak(int row)
{
    if (!data_ || row < 0 || row >= rows().size())
        return false;
    rows().removeAt(row);
    if (ownsRows()) {
        detector_.rowRemoved(row);
        rows_.touch();
    }
    evaluate(EvaluateStep::All);
    return true;
}

void PeakEngine::deletePeaksCrossing(int start, int end)
{
    if (!data_)
        return;
    PeakTable& t = rows();
    const auto inside = [start, end](int i) { return start < i && i < end; };
    for (int i = t.size() - 1; i >= 0; --i) {
        if (!inside(t[i].baselineStartIndex) && !inside(t[i].baselineEndIndex))
            continue;
        t.removeAt(i);
        if (ownsRows()) {
            detector_.rowRemoved(i);
            rows_.touch();
        }
    }
}

// The excluded list changes with every deletion's evaluation, so it is copied first.
void PeakEngine::deleteExcludedPeaks()
{
    const std::vector<double> times = excluded_;
    for (double minutes : times) {
        const int index = data_->timeToIndex(minutes);
        const PeakTable& t = rows();
        int row = -1;
        for (int i = 0; i < t.size(); ++i) {
            if (t[i].startIndex <= index && index <= t[i].endIndex) {
                row = i;
                break;
            }
        }
        if (row < 0)
            continue;
        PeakGrouping::detach(rows(), row);
        deletePeak(row);
    }
}

void PeakEngine::evaluate(int mask)
{
    if (!data_)
        return;
    const int steps =
        mask & (EvaluateStep::Regroup | EvaluateStep::GroupBaselines | EvaluateStep::Measures);
    if (steps != 0) {
        if (ownsRows()) {
            publish(steps);
        } else {
            measures_.setStableLimit(-1);
            runSteps(data_->peaks, steps, SignalView(data_->signal));
        }
    }
    if ((mask & EvaluateStep::Identify) && identify_)
        identify_(*data_);
    if ((mask & EvaluateStep::Quantify) && quantify_)
        quantify_(*data_);
    if (mask != 0) {
        data_->evaluated = 1;
        if (processed_)
            processed_();
    }
}

// The chromatogram's table is the pass's rows, evaluated. While the pass runs, an
// evaluation of the same rows under the same settings is skipped: it would give the same
// table again, and live that happens at almost every sample.
void PeakEngine::publish(int steps)
{
    const IntegrationParams& ip = data_->method.integration;
    const PublishedKey key{rows_.generation,
                           steps,
                           areaDivisor(settings_.cacuFrequence, data_->pointsPerSecond),
                           ip.minArea,
                           ip.minHeight,
                           data_->pointsPerSecond};
    if (passOpen_ && publishedValid_ && !publishedVolatile_ && key == published_)
        return;

    data_->peaks.records() = rows_.table.records();
    SignalView view(data_->signal);
    if (passOpen_) {
        view.setLimit(n_);
        measures_.setStableLimit(n_);
    } else {
        measures_.setStableLimit(-1);
    }
    runSteps(data_->peaks, steps, view);

    published_ = key;
    publishedValid_ = passOpen_;
    // A row reaching the newest sample read what the next sample may still change.
    publishedVolatile_ = false;
    for (const PeakRecord& p : data_->peaks)
        if (std::max({p.startIndex, p.apexIndex, p.endIndex, p.baselineEndIndex}) >= n_)
            publishedVolatile_ = true;
    if (!passOpen_)
        unpublished_ = false;
}

void PeakEngine::runSteps(PeakTable& table, int steps, const SignalView& signal)
{
    if (steps & EvaluateStep::Regroup)
        PeakGrouping::regroup(table);
    if (steps & EvaluateStep::GroupBaselines)
        PeakGrouping::drawGroupBaselines(table, signal);
    if (steps & EvaluateStep::Measures) {
        const IntegrationParams& ip = data_->method.integration;
        const MeasureInputs in{signal, ip.minArea, ip.minHeight,
                               areaDivisor(settings_.cacuFrequence, data_->pointsPerSecond),
                               data_->pointsPerSecond};
        measures_.run(table, in, data_->signalMax, data_->signalMin, excluded_);
    }
}

void PeakEngine::startSignalWatch()
{
    if (!data_)
        return;
    params_ = data_->method.integration;
    n_ = 0;
    schedule_.startPass(params_, false, {}, *data_);
    stream_.startPass(params_.smoothWidth, params_.judgeWidth);
    startSignal_.reset();
    signal_.bind(&data_->signal);
    signal_.setLimit(0);
}

void PeakEngine::feedStartSignal(float raw)
{
    if (!data_ || n_ == INT_MAX)
        return;
    const float sample = SignalView::finite(raw);
    signal_.bind(&data_->signal);
    signal_.setLimit(static_cast<int64_t>(n_) + 1);
    ++n_;
    // A bunch every three smoothed samples, whatever the bunch size divides by.
    if (stream_.add(sample, n_, 3.0, schedule_.bunchSize(), schedule_.threshold(),
                    schedule_.centreOffset()))
        startSignal_.onBunch(stream_, schedule_, signal_, params_.peakWidth,
                             data_->pointsPerSecond);
    stream_.endSample();
}

}  // namespace dgaws
