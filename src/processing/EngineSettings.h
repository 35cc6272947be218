#pragma once

namespace dgaws {

// The application settings that change what the engine produces. They arrive as values
// so that the command line, the tests and the workstation can each bring their own.
struct EngineSettings {
    // Point-rate choice of the card page: 0 -> 10, 1 -> 20, anything else -> 50. It
    // divides the areas only of a chromatogram whose own rate is not known.
    int cacuFrequence = 1;
    // Non-zero: a detection deletes the peaks its measures excluded.
    int autoDelUnusedPeak = 1;
};

inline int areaDivisor(int cacuFrequence)
{
    return cacuFrequence == 0 ? 10 : cacuFrequence == 1 ? 20 : 50;
}

// Areas are in uV s: the sum of the samples over the chromatogram's own points per second.
// A divisor taken from the setting would make one peak's area depend on the rate it was
// sampled at (2.5 times between 20 and 50 points per second); for runs recorded at the
// setting's rate both are the same.
inline int areaDivisor(int cacuFrequence, int pointsPerSecond)
{
    return pointsPerSecond > 0 ? pointsPerSecond : areaDivisor(cacuFrequence);
}

}  // namespace dgaws
