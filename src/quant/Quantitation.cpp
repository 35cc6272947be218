#include "Quantitation.h"

#include "CalibrationFit.h"
#include "Identification.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace dgaws {
namespace {

double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

// Measures of a damaged file can be NaN; one such peak must not poison a stored total.
void addPeak(GroupResult& row, const PeakRecord& p)
{
    ++row.peakCount;
    row.totalArea += finiteOrZero(p.area);
    row.totalHeight += finiteOrZero(p.height);
    row.totalContent += p.gasContent;
}

GroupResult singlePeakRow(const PeakRecord& p)
{
    GroupResult row;
    row.groupName = p.componentName;
    row.windowStart = row.windowEnd = p.retentionTime;
    addPeak(row, p);
    return row;
}

// Everything one quantitation pass reads, gathered once.
class QuantPass {
public:
    QuantPass(ChromatogramData& data, const CalibrationCurve* linked)
        : data_(data), linked_(linked), table_(componentTableFor(data, linked)),
          settings_(FitSettings::of(data.method)), impurity_(data.method.impurityCalc != 0)
    {}

    void run()
    {
        for (PeakRecord& p : data_.peaks)
            p.gasContent = 0.0;
        switch (settings_.method) {
        case QuantMethod::AreaNormalisation: areaNormalisation(); break;
        case QuantMethod::CorrectedNormalisation: correctedNormalisation(); break;
        case QuantMethod::InternalStandard: internalStandard(); break;
        case QuantMethod::ExternalStandard:
        case QuantMethod::Oscillation:
        case QuantMethod::Vacuum: externalStandard(false); break;
        case QuantMethod::ExponentialExternalStandard: externalStandard(true); break;
        }
    }

private:
    double response(const PeakRecord& p) const { return responseOf(p, settings_.response); }
    int componentOf(const PeakRecord& p) const
    {
        return validComponentIndex(table_, p.componentIndex) ? p.componentIndex : -1;
    }
    const ComponentEntry& component(int i) const { return table_[static_cast<size_t>(i)]; }

    // Sum of the responses of the peaks whose component is a member of group head `head`.
    double memberResponses(int head) const
    {
        double sum = 0.0;
        for (const PeakRecord& p : data_.peaks) {
            const int c = componentOf(p);
            if (c >= 0 && component(c).groupParentIndex == head)
                sum += response(p);
        }
        return sum;
    }

    int firstPeakOf(int comp) const
    {
        for (int i = 0; i < data_.peaks.size(); ++i)
            if (componentOf(data_.peaks[i]) == comp)
                return i;
        return -1;
    }

    double impurityContent(double v, bool logarithmic) const
    {
        if (linked_ == nullptr)
            return 0.0;
        if (!logarithmic)
            return scaledAmount(applyImpurityFactors(linked_, settings_.axis, v), data_);
        const auto a = impurityAmount(*linked_, settings_.axis, std::log10(v));
        return a ? scaledAmount(std::pow(10.0, *a), data_) : 0.0;
    }

    void areaNormalisation()
    {
        double sum = 0.0;
        for (const PeakRecord& p : data_.peaks)
            if (p.excluded == 0)
                sum += response(p);
        std::vector<bool> take(static_cast<size_t>(data_.peaks.size()), false);
        for (int i = 0; i < data_.peaks.size(); ++i) {
            PeakRecord& p = data_.peaks[i];
            if (p.excluded != 0)
                continue;
            take[static_cast<size_t>(i)] = true;
            if (sum != 0.0)
                p.gasContent = finiteOrZero(response(p) * data_.sampleAmount / sum);
        }
        if (settings_.groupCalc)
            groupResultsByTimeWindows(data_, take);
    }

    void correctedNormalisation()
    {
        std::vector<double> amount(static_cast<size_t>(data_.peaks.size()), 0.0);
        double sum = 0.0;
        for (int i = 0; i < data_.peaks.size(); ++i) {
            const int c = componentOf(data_.peaks[i]);
            if (c < 0)
                continue;
            amount[static_cast<size_t>(i)] =
                applyCurve(component(c), settings_.axis, response(data_.peaks[i]));
            sum += amount[static_cast<size_t>(i)];
        }
        std::vector<bool> take(static_cast<size_t>(data_.peaks.size()), false);
        for (int i = 0; i < data_.peaks.size(); ++i) {
            PeakRecord& p = data_.peaks[i];
            if (componentOf(p) < 0)
                continue;
            if (sum != 0.0)
                p.gasContent =
                    finiteOrZero(amount[static_cast<size_t>(i)] * data_.sampleAmount / sum);
            take[static_cast<size_t>(i)] = p.excluded == 0;
        }
        if (settings_.groupCalc)
            groupResultsByTimeWindows(data_, take);
    }

    void internalStandard()
    {
        for (PeakRecord& p : data_.peaks) {
            const int c = componentOf(p);
            if (c < 0) {
                if (impurity_)
                    p.gasContent = impurityContent(response(p), false);
                continue;
            }
            const ComponentEntry& comp = component(c);
            if (settings_.groupCalc && comp.groupParentIndex != -1)
                continue;
            if (comp.isInternalStandard)
                continue;
            const int k = comp.internalStandardIndex;
            const int q = validComponentIndex(table_, k) ? firstPeakOf(k) : -1;
            if (q < 0)
                continue;
            double numerator = response(p);
            double denominator = response(data_.peaks[q]);
            if (settings_.groupCalc) {
                numerator += memberResponses(c);
                denominator += memberResponses(k);
            }
            p.gasContent =
                scaledAmount(applyCurve(comp, settings_.axis, numerator / denominator), data_);
        }
    }

    void externalStandard(bool logarithmic)
    {
        for (PeakRecord& p : data_.peaks) {
            const int c = componentOf(p);
            if (c < 0) {
                if (impurity_)
                    p.gasContent = impurityContent(response(p), logarithmic);
                continue;
            }
            const ComponentEntry& comp = component(c);
            double r = response(p);
            if (settings_.groupCalc && comp.groupParentIndex == -1)
                r += memberResponses(c);
            if (!logarithmic) {
                p.gasContent = scaledAmount(applyCurve(comp, settings_.axis, r), data_);
                continue;
            }
            // 10^0 of an unusable curve would read as an amount of 1; it is none.
            const auto a = curveAmount(comp, settings_.axis, std::log10(r));
            p.gasContent = a ? scaledAmount(std::pow(10.0, *a), data_) : 0.0;
        }
        if (impurity_)
            groupResultsByImpurity(data_, table_);
    }

    ChromatogramData& data_;
    const CalibrationCurve* linked_;
    const ComponentTable& table_;
    FitSettings settings_;
    bool impurity_;
};

}  // namespace

double scaledAmount(double amount, const ChromatogramData& data)
{
    if (data.sampleAmount == 0.0)
        return 0.0;
    return finiteOrZero(amount * data.internalStdAmount * 100.0 / data.sampleAmount);
}

void quantify(ChromatogramData& data, const CalibrationCurve* linked)
{
    QuantPass(data, linked).run();
}

void groupResultsByTimeWindows(ChromatogramData& data, const std::vector<bool>& take)
{
    std::vector<GroupResult>& rows = data.groupResults;
    rows.clear();
    for (const GroupDefinition& g : data.method.groups) {
        GroupResult row;
        row.groupNo = g.groupNo;
        row.groupName = g.groupName;
        row.windowStart = g.windowStart;
        row.windowEnd = g.windowEnd;
        rows.push_back(row);
    }
    for (int i = 0; i < data.peaks.size(); ++i) {
        if (static_cast<size_t>(i) >= take.size() || !take[static_cast<size_t>(i)])
            continue;
        const PeakRecord& p = data.peaks[i];
        const double t = p.retentionTime;
        bool placed = false;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (!placed && t < rows[r].windowStart) {
                rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(r), singlePeakRow(p));
                placed = true;
                continue;
            }
            if (rows[r].windowStart <= t && t <= rows[r].windowEnd) {
                addPeak(rows[r], p);
                placed = true;
            }
        }
        if (!placed)
            rows.push_back(singlePeakRow(p));
    }
}

void groupResultsByImpurity(ChromatogramData& data, const ComponentTable& table)
{
    std::vector<GroupResult>& rows = data.groupResults;
    rows.clear();
    GroupResult impurity;
    for (const PeakRecord& p : data.peaks) {
        if (p.excluded != 0)
            continue;
        if (validComponentIndex(table, p.componentIndex)) {
            rows.push_back(singlePeakRow(p));
        } else if (p.gasContent > 0.0) {
            addPeak(impurity, p);
        }
    }
    if (impurity.peakCount > 0)
        rows.push_back(impurity);
}

}  // namespace dgaws
