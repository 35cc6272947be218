#pragma once

#include "BunchStream.h"
#include "DetectionRows.h"
#include "DetectorState.h"
#include "EngineSettings.h"
#include "EvaluateStep.h"
#include "ParameterSchedule.h"
#include "PeakDetector.h"
#include "PeakMeasures.h"
#include "SignalView.h"
#include "StartSignalDetector.h"

#include "chromatogram/ChromatogramData.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace dgaws {

// The peak engine of one chromatogram: streaming detection over its signal, live or over
// the stored samples, and the evaluation of its peak table.
//
// While a pass runs, the engine keeps the rows as detection makes them and the
// chromatogram's table is evaluated from those rows. Evaluating never feeds back into
// detection, so a run evaluated after every sample and a stored signal evaluated once
// give the same table. The pass hands its rows over at the first evaluation after
// finishPass; from then on the chromatogram's table is evaluated where it stands.
//
// Live feeding: write the sample into the signal first, then feedSample it. Samples a
// pass has consumed must not change until the pass is finished.
class PeakEngine {
public:
    // Identification and quantitation, filled in by the layers that own them.
    using EvaluationStep = std::function<void(ChromatogramData&)>;

    PeakEngine() = default;
    explicit PeakEngine(ChromatogramData& data) : data_(&data) {}
    PeakEngine(const PeakEngine&) = delete;
    PeakEngine& operator=(const PeakEngine&) = delete;

    void attach(ChromatogramData& data) { data_ = &data; }
    ChromatogramData* chromatogram() const { return data_; }

    void setSettings(const EngineSettings& settings) { settings_ = settings; }
    const EngineSettings& settings() const { return settings_; }
    void setIdentificationStep(EvaluationStep step) { identify_ = std::move(step); }
    void setQuantitationStep(EvaluationStep step) { quantify_ = std::move(step); }
    // Called by every non-empty evaluate(): the document marks itself modified.
    void setProcessedHandler(std::function<void()> handler) { processed_ = std::move(handler); }
    // Live marks of peak starts, apexes, valleys and ends.
    void setMarkObserver(MarkObserver observer) { observer_ = std::move(observer); }

    // Full pass over the stored signal, evaluation, then the deletion of excluded peaks
    // when the setting asks for it.
    void runDetection();
    void resetPass();
    void resetDetector();
    void feedSample(float sample);
    void finishPass();

    // 0x2 regroup, 0x4 group baselines, 0x8 measures, 0x10 identification, 0x20
    // quantitation, in that order; any non-zero mask marks the chromatogram processed.
    void evaluate(int mask);
    // Inserts before the first peak starting at or after the new peak's end; evaluates.
    void insertPeak(const PeakRecord& peak);
    // Removes a row and evaluates; false (and nothing done) for a row that does not exist.
    bool deletePeak(int row);
    // Removes every peak whose baseline start or end lies strictly between the two indexes.
    void deletePeaksCrossing(int start, int end);

    // Start-signal watch: a fresh stream with the second detector in state 1.
    void startSignalWatch();
    void feedStartSignal(float sample);
    const StartSignalDetector& startSignal() const { return startSignal_; }
    bool confirmStartSignal(double autoStartHeightMillivolts)
    {
        return startSignal_.confirm(autoStartHeightMillivolts);
    }

    // What the engine holds, for the live views and for tests.
    int sampleCount() const { return n_; }
    bool passOpen() const { return passOpen_; }
    DetectorState detectorState() const { return detector_.state(); }
    const DetectorEvents& events() const { return events_; }
    double workingBunchSize() const { return schedule_.bunchSize(); }
    // The bunch size time event 10 follows the peaks with; 0 when it does not.
    double followedBunchSize() const { return schedule_.followedBunchSize(); }
    double workingThreshold() const { return schedule_.threshold(); }
    int doublingCount() const { return schedule_.doublingCount(); }
    bool integrationOn() const { return integrationOn_; }
    bool beforeLock() const { return schedule_.beforeLock(); }
    const BunchStream& stream() const { return stream_; }
    const PeakRecord& workingPeak() const { return detector_.working(); }
    const PeakRecord& manualPeak() const { return manual_; }
    const TailState& tail() const { return detector_.tail(); }
    float riderLevel() const { return detector_.riderLevel(); }
    // Rows of the current pass as detection made them.
    const PeakTable& detectedRows() const { return rows_.table; }
    // Retention times of the peaks the last measures excluded.
    const std::vector<double>& excludedTimes() const { return excluded_; }

private:
    PeakDetector::Context context();
    // Takes up to `count` stored samples that change nothing but the moving average and the
    // bunch accumulator; returns how many.
    int feedQuietStretch(const float* samples, int count);
    bool ownsRows() const { return passOpen_ || unpublished_; }
    PeakTable& rows() { return ownsRows() ? rows_.table : data_->peaks; }
    void applyTimeEvent(const ScheduledEvent& row);
    void manualStart();
    void manualEnd();
    void deleteExcludedPeaks();
    void followPeakWidths();
    void publish(int steps);
    void runSteps(PeakTable& table, int steps, const SignalView& signal);

    // What a published table was evaluated from; the same again evaluates to the same.
    struct PublishedKey {
        uint64_t generation = 0;
        int steps = 0;
        int divisor = 0;
        double minArea = 0.0;
        double minHeight = 0.0;
        int pointsPerSecond = 0;
        bool operator==(const PublishedKey&) const = default;
    };

    ChromatogramData* data_ = nullptr;
    EngineSettings settings_;
    EvaluationStep identify_;
    EvaluationStep quantify_;
    std::function<void()> processed_;
    MarkObserver observer_;

    IntegrationParams params_;  // as the pass started
    int n_ = 0;
    ParameterSchedule schedule_;
    DetectorEvents events_;
    bool integrationOn_ = false;
    SignalView signal_;
    BunchStream stream_;
    PeakDetector detector_;
    PeakRecord manual_;
    StartSignalDetector startSignal_;
    // Time event 10: rows of the table already measured, and the half widths (samples) of
    // the newest peaks found since the event.
    int widthsSeen_ = 0;
    std::vector<double> followedWidths_;

    DetectionRows rows_;
    bool passOpen_ = false;
    bool unpublished_ = false;
    bool publishedValid_ = false;
    bool publishedVolatile_ = false;
    PublishedKey published_;
    PeakMeasures measures_;
    std::vector<double> excluded_;
};

}  // namespace dgaws
