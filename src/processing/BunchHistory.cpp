#include "BunchHistory.h"

#include <algorithm>

namespace dgaws {

void BunchHistory::trim(int limit)
{
    while (entries_.size() > 0 && entries_.size() >= limit)
        entries_.dropOldest();
}

Tally BunchHistory::tally(int newestCount) const
{
    Tally t;
    const int n = size();
    for (int i = std::max(0, n - newestCount); i < n; ++i) {
        const Bunch& b = entries_[i];
        switch (b.slopeClass) {
        case SlopeClass::Rise: ++t.rises; break;
        case SlopeClass::Fall: ++t.falls; break;
        case SlopeClass::Flat: ++t.flats; break;
        }
        switch (b.curveClass) {
        case CurveClass::Up: ++t.ups; break;
        case CurveClass::Down: ++t.downs; break;
        case CurveClass::Level: ++t.levels; break;
        }
    }
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
