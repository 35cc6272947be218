#pragma once

#include "chromatogram/ChromatogramData.h"
#include "chromatogram/IntegrationParams.h"

namespace dgaws {

// Integration parameters read from a chromatogram's own signal, with the figures they came
// from so that an operator can judge them. Sizes in samples are at the chromatogram's own
// rate.
struct IntegrationProposal {
    // The method's parameters with the proposed fields in place: peakWidth, slope,
    // smoothWidth, minArea, minHeight, lockTime and timeDoubling (off: the bunch size is
    // made for the narrowest peak, and time event 10 follows peaks that broaden).
    IntegrationParams params;

    double noise = 0.0;               // RMS about the line of the quiet stretches, signal units
    double drift = 0.0;               // signal units per minute
    double bunchNoise = 0.0;          // spread of the proposed bunches' differences
    int stretchLength = 0;            // samples per stretch the noise was measured on
    int significantPeaks = 0;         // peaks at least kSignificantHeight noises high
    bool peakFound = false;           // otherwise the widths are the method's own
    double narrowestHalfWidth = 0.0;  // minutes
    double narrowestSamples = 0.0;    // the same in samples
    double narrowestAt = 0.0;         // minutes of its apex
    bool disturbedStart = false;      // the run starts with a disturbance, locked out
    int pointsPerSecond = 0;
};

// A peak this many noises high is significant.
inline constexpr double kSignificantHeight = 10.0;
// Bunches across the narrowest peak's half width: the detector wants five rising bunches
// before a start and a few more over the apex.
inline constexpr double kBunchesPerHalfWidth = 6.0;
// The slope threshold in bunch-difference noises, above the drift of one bunch.
inline constexpr double kThresholdInNoise = 3.0;

// The proposal for `data`'s signal at its own rate, on top of `data`'s method; areas are
// divided by `areaDivisor` as the measures divide them. A chromatogram without samples
// gets its method's parameters back with no figures.
IntegrationProposal proposeIntegration(const ChromatogramData& data, double areaDivisor);

// Puts the proposed fields into `target`, leaving the others (stop time, judging width,
// tailing ratios) as they are.
void applyProposal(const IntegrationProposal& proposal, IntegrationParams& target);

// The bunch size that covers a half width of `halfWidthSamples` with the proposal's
// number of bunches; at least 1.
int bunchSizeFor(double halfWidthSamples);

}  // namespace dgaws
