#include "ChromatogramMerge.h"

#include <limits>

namespace dgaws {

std::vector<float> mergeSignals(const SignalBuffer& first, const SignalBuffer& second)
{
    const std::vector<float>& p = first.values();
    const std::vector<float>& q = second.values();
    if (p.empty())
        return q;
    if (q.empty())
        return p;
    std::vector<float> out;
    out.reserve(p.size() + q.size() - 1);
    out.insert(out.end(), p.begin(), p.end());
    const float offset = p.back() - q.front();
    for (size_t i = 1; i < q.size(); ++i)
        out.push_back(q[i] + offset);
    return out;
}

int mergeChromatograms(ChromatogramData& open, const ChromatogramData& chosen, bool chosenFirst)
{
    std::vector<float> merged = chosenFirst ? mergeSignals(chosen.signal, open.signal)
                                            : mergeSignals(open.signal, chosen.signal);
    if (merged.empty())
        return 0;
    open.signal.assign(std::move(merged));
    // The true extrema of the merged samples; nothing of the old bounds is kept.
    open.scanExtrema(std::numeric_limits<float>::lowest(), std::numeric_limits<float>::max());
    return open.signal.count();
}

}  // namespace dgaws
