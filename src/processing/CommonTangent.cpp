#include "CommonTangent.h"

#include "SafeMath.h"

namespace dgaws {

namespace {

double slopeBetween(int fromIndex, float fromValue, int toIndex, float toValue)
{
    return quotient(static_cast<double>(toValue) - static_cast<double>(fromValue),
                    static_cast<double>(toIndex) - static_cast<double>(fromIndex));
}

}  // namespace

bool joinRidersByCommonTangent(PeakTable& t, int tailingRow)
{
    bool changed = false;
    const int size = t.size();
    int k = tailingRow + 1;
    if (k < 0)
        return false;
    while (k < size - 1) {
        const PeakRecord& rk = t[k];
        double best = slopeBetween(rk.baselineStartIndex, rk.baselineStartValue,
                                   rk.baselineEndIndex, rk.baselineEndValue);
        int winner = k;
        for (int j = k + 1; j < size; ++j) {
            const double s = slopeBetween(rk.baselineStartIndex, rk.baselineStartValue,
                                          t[j].baselineEndIndex, t[j].baselineEndValue);
            if (s < best) {
                best = s;
                winner = j;
            }
        }
        if (winner == k) {
            ++k;
            continue;
        }
        for (int r = k; r < winner; ++r)
            t[r].typeFlags |= PeakFlag::EndsInValley;
        for (int r = k + 1; r <= winner; ++r)
            t[r].typeFlags |= PeakFlag::StartsInValley;
        changed = true;
        k = winner + 1;
    }
    return changed;
}

}  // namespace dgaws
