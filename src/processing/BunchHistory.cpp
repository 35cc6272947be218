#include "BunchHistory.h"

#include <algorithm>

namespace dgaws {

Tally BunchHistory::tally(int newestCount) const
{
    // Counted by class value rather than by branches: the classes of a noisy baseline are
    // as good as random, and this runs at every bunch.
    int slopes[3] = {0, 0, 0};
    int curves[3] = {0, 0, 0};
    const int n = size();
    for (int i = std::max(0, n - newestCount); i < n; ++i) {
        const Bunch& b = entries_[i];
        ++slopes[static_cast<int>(b.slopeClass)];
        ++curves[static_cast<int>(b.curveClass)];
    }
    Tally t;
    t.flats = slopes[static_cast<int>(SlopeClass::Flat)];
    t.rises = slopes[static_cast<int>(SlopeClass::Rise)];
    t.falls = slopes[static_cast<int>(SlopeClass::Fall)];
    t.levels = curves[static_cast<int>(CurveClass::Level)];
    t.ups = curves[static_cast<int>(CurveClass::Up)];
    t.downs = curves[static_cast<int>(CurveClass::Down)];
    return t;
}

int BunchHistory::startEntry() const
{
    int j = size() - 1;
    while (j > 0 && entries_[j].slopeClass == SlopeClass::Rise && entries_[j].centre > 0)
        --j;
    return std::max(j, 0);
}

int BunchHistory::apexEntry() const
{
    int j = size() - 1;
    int flats = 0;
    while (j > 0) {
        const SlopeClass c = entries_[j].slopeClass;
        if (c == SlopeClass::Rise)
            break;
        if (c == SlopeClass::Flat)
            ++flats;
        --j;
    }
    return std::max(j, 0) + flats / 2;
}

int BunchHistory::valleyEntry() const
{
    int j = size() - 1;
    while (j > 0 && entries_[j].slopeClass == SlopeClass::Rise)
        --j;
    return std::max(j, 0);
}

int BunchHistory::fallStartEntry() const
{
    int j = size() - 1;
    while (j > 0 && entries_[j].slopeClass == SlopeClass::Fall && entries_[j].centre > 0)
        --j;
    return std::max(j, 0);
}

}  // namespace dgaws
