#include "PeakTableComparison.h"

#include <algorithm>
#include <cmath>

namespace dgaws {

PeakTableComparison::PeakTableComparison(const PeakTable& reference, const PeakTable& found,
                                         double tolerance, double minShare, double areaToReference)
{
    double largest = 0.0;
    for (const PeakRecord& r : reference)
        largest = std::max(largest, std::fabs(r.area));
    std::vector<int> order;
    for (int i = 0; i < reference.size(); ++i)
        if (std::fabs(reference[i].area) >= minShare * largest)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&reference](int a, int b) {
        return std::fabs(reference[a].area) > std::fabs(reference[b].area);
    });
    std::vector<bool> used(static_cast<size_t>(found.size()), false);
    for (int i : order) {
        const PeakRecord& r = reference[i];
        PeakMatch m;
        m.reference = i;
        double nearest = tolerance;
        for (int j = 0; j < found.size(); ++j) {
            const double d = std::fabs(found[j].retentionTime - r.retentionTime);
            if (!used[static_cast<size_t>(j)] && d <= nearest) {
                nearest = d;
                m.found = j;
            }
        }
        if (m.found >= 0) {
            used[static_cast<size_t>(m.found)] = true;
            const PeakRecord& f = found[m.found];
            m.timeDifference = f.retentionTime - r.retentionTime;
            m.areaRatio = r.area != 0.0 ? f.area * areaToReference / r.area : 0.0;
        }
        matches_.push_back(m);
    }
    std::sort(
        matches_.begin(), matches_.end(), [&reference](const PeakMatch& a, const PeakMatch& b) {
            return reference[a.reference].retentionTime < reference[b.reference].retentionTime;
        });
}

int PeakTableComparison::matched() const
{
    return static_cast<int>(std::count_if(matches_.begin(), matches_.end(),
                                          [](const PeakMatch& m) { return m.found >= 0; }));
}

}  // namespace dgaws
