#include "PeakTable.h"

#include <algorithm>

namespace dgaws {

void PeakTable::insertAt(int i, const PeakRecord& p)
{
    i = std::clamp(i, 0, size());
    peaks_.insert(peaks_.begin() + i, p);
}

void PeakTable::removeAt(int i)
{
    if (i >= 0 && i < size())
        peaks_.erase(peaks_.begin() + i);
}

int PeakTable::insertManual(const PeakRecord& p)
{
    int i = 0;
    while (i < size() && peaks_[static_cast<size_t>(i)].startIndex < p.endIndex)
        ++i;
    insertAt(i, p);
    return i;
}

}  // namespace dgaws
