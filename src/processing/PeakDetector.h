#pragma once

#include "BunchStream.h"
#include "DetectionRows.h"
#include "DetectorState.h"
#include "ParameterSchedule.h"
#include "SignalView.h"

#include "chromatogram/IntegrationParams.h"
#include "chromatogram/PeakRecord.h"

namespace dgaws {

// Bookkeeping of a tailing (solvent) peak whose tail carries riders.
struct TailState {
    bool active = false;
    int tailingRow = -1;      // row of the tailing peak in the pass's table
    int groupFirstRow = -1;   // row the first peak of the current group went to
    bool riderEnded = false;  // the current rider was already ended by the tangent rule
    double previousTangent = 0.0;
    double currentTangent = 0.0;
};

// The peak state machine: it turns evaluated bunches into rows of the pass's table,
// including valleys, tailing peaks with their riders, and what happens when integration
// is switched off or the data end.
class PeakDetector {
public:
    // Everything a step needs from the engine around it.
    struct Context {
        const SignalView& signal;
        DetectionRows& rows;
        const IntegrationParams& params;
        int pointsPerSecond;
        DetectorEvents& events;
        ParameterSchedule& schedule;
        BunchStream& stream;
        const MarkObserver& observer;
    };

    // A new pass: also forgets the remembered rider level.
    void startPass();
    // The detector's reset: state and tail bookkeeping.
    void reset();

    // Once per evaluated bunch, with the stream's tallies current.
    void onBunch(Context& c);
    // At every sample (n consumed): ends a rider where the tangent from its start turns.
    void riderTangent(Context& c, int n)
    {
        if (followsRider())
            followRiderTangent(c, n);
    }
    // Whether samples between bunches matter to the detector: the tangent of a rider.
    bool followsRider() const
    {
        return state_ == DetectorState::PastRearInflection && tail_.active && !tail_.riderEnded;
    }
    // Integration turned off before sample n.
    void switchOff(Context& c, int n);
    // The end of the data after n samples.
    void finish(Context& c, int n);

    // Keeps the remembered rows pointing at the same peaks when the table changes under
    // the pass (manual start/end events).
    void rowInserted(int at);
    void rowRemoved(int at);

    DetectorState state() const { return state_; }
    const PeakRecord& working() const { return working_; }
    const TailState& tail() const { return tail_; }
    float riderLevel() const { return riderLevel_; }

private:
    void followRiderTangent(Context& c, int n);
    void startPeak(Context& c, int centre, bool automatic);
    void markNegative(Context& c);
    void endAt(const Context& c, int index);
    void append(Context& c);
    void passApex(Context& c);
    void testTailing(Context& c);
    void splitAtValley(Context& c, int valley);
    void closeGroup(Context& c, int centre);
    void dropOpenPeak(Context& c, int n, bool runCommonTangent);
    void notify(const Context& c, DetectionMark mark, int index) const;

    DetectorState state_ = DetectorState::Baseline;
    PeakRecord working_;
    TailState tail_;
    float riderLevel_ = 0.0f;
};

}  // namespace dgaws
