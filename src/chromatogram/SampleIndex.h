#pragma once

namespace dgaws {

// How a time that falls between two samples is taken.
enum class SampleRounding {
    // Toward zero: the sample whose interval holds the time. The record's own rule, so
    // 0.0999 minutes at 10 points per second is sample 59.
    TowardZero,
    // Toward zero, except that a time within a float's rounding of a sample is that sample:
    // for times read back from floats, where sample 7 at 20 points per second comes back as
    // 0.34999999 s, which plain truncation would turn into sample 6.
    TowardZeroOfFloat,
    // The nearest sample, halves away from zero: a time someone pointed at or typed.
    Nearest,
};

// The sample index of a time in minutes: points per second x minutes x 60, rounded as
// asked. Every conversion of a time to a sample goes through here, so a damaged time gives
// the same answer everywhere: not a number is sample 0, and anything beyond the int range,
// infinities included, is the nearest end of that range.
int sampleIndex(int pointsPerSecond, double minutes, SampleRounding rounding);

}  // namespace dgaws
