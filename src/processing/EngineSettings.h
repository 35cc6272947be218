#pragma once

namespace dgaws {

// The application settings that change what the engine produces. They arrive as values
// so that the command line, the tests and the workstation can each bring their own.
struct EngineSettings {
    // Point-rate choice of the card page: 0 -> 10, 1 -> 20, anything else -> 50. It
    // divides the areas, whatever rate the chromatogram was recorded at.
    int cacuFrequence = 1;
    // Non-zero: a detection deletes the peaks its measures excluded.
    int autoDelUnusedPeak = 1;
};

inline int areaDivisor(int cacuFrequence)
{
    return cacuFrequence == 0 ? 10 : cacuFrequence == 1 ? 20 : 50;
}

}  // namespace dgaws
