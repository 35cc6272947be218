#include "CalibrationFit.h"

#include "StandardRuns.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace dgaws {
namespace {

bool allFinite(std::span<const double> v)
{
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

double meanOf(std::span<const double> v)
{
    double s = 0.0;
    for (double x : v)
        s += x;
    return s / static_cast<double>(v.size());
}

// The response of one component in one run; runs stored with fewer responses than the table
// has components (older or damaged files) simply lack it.
double runResponse(const StandardRun& run, size_t component, ResponseKind kind)
{
    return component < run.responses.size() ? responseOf(run.responses[component], kind) : 0.0;
}

// The standard side of one component: its own response, plus its members' when groups are
// calculated together.
class RunResponses {
public:
    RunResponses(const CalibrationCurve& curve, ResponseKind kind, bool grouped)
        : curve_(curve), kind_(kind), grouped_(grouped)
    {}

    double of(const StandardRun& run, size_t component) const
    {
        double r = runResponse(run, component, kind_);
        if (!grouped_)
            return r;
        for (size_t m = 0; m < curve_.components.size(); ++m)
            if (curve_.components[m].groupParentIndex == static_cast<int>(component))
                r += runResponse(run, m, kind_);
        return r;
    }

private:
    const CalibrationCurve& curve_;
    ResponseKind kind_;
    bool grouped_;
};

std::optional<double> concentration(const ComponentEntry& c, size_t level)
{
    if (level >= c.concentrations.size())
        return std::nullopt;
    return c.concentrations[level];
}

const std::vector<StandardRun>* runsOf(const CalibrationCurve& curve, size_t level)
{
    return level < curve.levels.size() ? &curve.levels[level].runs : nullptr;
}

// One standard point per level: concentration side and response side, or nothing when a
// level has no usable value.
struct Points {
    std::vector<double> c;
    std::vector<double> r;
};

std::optional<Points> externalPoints(const CalibrationCurve& curve, size_t comp, size_t levels,
                                     const RunResponses& responses, bool logarithmic)
{
    Points p;
    for (size_t i = 0; i < levels; ++i) {
        const auto conc = concentration(curve.components[comp], i);
        const auto* runs = runsOf(curve, i);
        if (!conc || runs == nullptr)
            return std::nullopt;
        double sum = 0.0;
        int n = 0;
        for (const StandardRun* counted : countedRuns(*runs)) {
            const StandardRun& run = *counted;
            const double r = responses.of(run, comp);
            if (r != 0.0) {
                sum += r;
                ++n;
            }
        }
        if (n == 0)
            return std::nullopt;
        const double mean = sum / n;
        p.c.push_back(logarithmic ? std::log10(*conc) : *conc);
        p.r.push_back(logarithmic ? std::log10(mean) : mean);
    }
    return p;
}

std::optional<Points> internalStandardPoints(const CalibrationCurve& curve, size_t comp,
                                             size_t levels, const RunResponses& responses)
{
    const int k = curve.components[comp].internalStandardIndex;
    if (k < 0 || k >= static_cast<int>(curve.components.size()))
        return std::nullopt;
    const size_t ks = static_cast<size_t>(k);
    Points p;
    for (size_t i = 0; i < levels; ++i) {
        const auto conc = concentration(curve.components[comp], i);
        const auto concK = concentration(curve.components[ks], i);
        const auto* runs = runsOf(curve, i);
        if (!conc || !concK || *concK == 0.0 || runs == nullptr)
            return std::nullopt;
        double sum = 0.0;
        int n = 0;
        for (const StandardRun* counted : countedRuns(*runs)) {
            const StandardRun& run = *counted;
            const double rc = responses.of(run, comp);
            const double rk = responses.of(run, ks);
            if (rc != 0.0 && rk != 0.0) {
                sum += rc / rk;
                ++n;
            }
        }
        if (n == 0)
            return std::nullopt;
        p.c.push_back(*conc / *concK);
        p.r.push_back(sum / n);
    }
    return p;
}

bool fitsAnyCurve(QuantMethod m)
{
    return m == QuantMethod::CorrectedNormalisation || m == QuantMethod::InternalStandard ||
        m == QuantMethod::ExponentialExternalStandard || isExternalStandard(m);
}

void clearFactors(ComponentEntry& c)
{
    c.factor1 = c.factor2 = c.factor3 = c.factor4 = c.correlation = 0.0;
}

}  // namespace

LineFit fitThroughOrigin(std::span<const double> x, std::span<const double> y)
{
    const size_t n = std::min(x.size(), y.size());
    x = x.first(n);
    y = y.first(n);
    LineFit fit;
    if (n == 0 || !allFinite(x) || !allFinite(y))
        return fit;
    double sxy = 0.0, sxx = 0.0, syy = 0.0;
    for (size_t i = 0; i < n; ++i) {
        sxy += x[i] * y[i];
        sxx += x[i] * x[i];
        syy += y[i] * y[i];
    }
    if (sxx == 0.0 || !std::isfinite(sxx) || !std::isfinite(syy))
        return fit;
    fit.valid = true;
    fit.slope = sxy / sxx;
    if (syy > 0.0)
        fit.r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
    return fit;
}

LineFit fitGeneralLine(std::span<const double> x, std::span<const double> y)
{
    const size_t n = std::min(x.size(), y.size());
    x = x.first(n);
    y = y.first(n);
    LineFit fit;
    if (n < 2 || !allFinite(x) || !allFinite(y))
        return fit;
    // Standards whose x all agree define no slope; the sums below would leave a rounding
    // residue that fakes one.
    if (std::all_of(x.begin(), x.end(), [&](double v) { return v == x[0]; }))
        return fit;
    // Sums about the means: the same Sxx, Sxy, Syy as the raw-sum formulas, with less
    // cancellation.
    const double mx = meanOf(x);
    const double my = meanOf(y);
    double sxy = 0.0, sxx = 0.0, syy = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double dx = x[i] - mx;
        const double dy = y[i] - my;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    if (sxx == 0.0 || !std::isfinite(sxx) || !std::isfinite(syy))
        return fit;
    fit.valid = true;
    fit.slope = sxy / sxx;
    fit.intercept = my - fit.slope * mx;
    if (syy > 0.0)
        fit.r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
    return fit;
}

std::vector<const StandardRun*> countedRuns(const std::vector<StandardRun>& runs)
{
    std::vector<const StandardRun*> counted;
    for (size_t i = 0; i < runs.size(); ++i) {
        bool later = false;
        for (size_t j = i + 1; j < runs.size() && !later; ++j)
            later = !runs[i].path.empty() && samePath(runs[i].path, runs[j].path);
        if (!later)
            counted.push_back(&runs[i]);
    }
    return counted;
}

double fittedResponse(const CalibrationCurve& curve, const StandardRun& run, size_t component,
                      const FitSettings& settings)
{
    const bool grouped =
        settings.groupCalc && settings.method != QuantMethod::CorrectedNormalisation;
    return RunResponses(curve, settings.response, grouped).of(run, component);
}

void fitCorrectionFactors(CalibrationCurve& curve, QuantMethod method, ResponseKind response,
                          bool groupCalc, CurveAxis axis)
{
    if (curve.components.empty() || curve.levels.empty() || !fitsAnyCurve(method))
        return;
    const size_t levels = curve.components.front().concentrations.size();
    // Corrected normalisation fits every component on its own response.
    const bool grouped = groupCalc && method != QuantMethod::CorrectedNormalisation;
    const RunResponses responses(curve, response, grouped);

    for (size_t i = 0; i < curve.components.size(); ++i) {
        ComponentEntry& c = curve.components[i];
        clearFactors(c);
        if (grouped && c.groupParentIndex != -1)
            continue;
        std::optional<Points> points;
        if (method == QuantMethod::InternalStandard) {
            if (c.isInternalStandard) {
                c.factor1 = 1.0;
                c.correlation = 1.0;
                continue;
            }
            points = internalStandardPoints(curve, i, levels, responses);
        } else {
            points = externalPoints(curve, i, levels, responses,
                                    method == QuantMethod::ExponentialExternalStandard);
        }
        if (!points)
            continue;
        const bool responseOnX = axis == CurveAxis::ResponseX;
        const std::span<const double> x = responseOnX ? points->r : points->c;
        const std::span<const double> y = responseOnX ? points->c : points->r;
        LineFit fit;
        if (c.curveType == 0)
            fit = fitThroughOrigin(x, y);
        else if (c.curveType == 1)
            fit = fitGeneralLine(x, y);
        if (!fit.valid)
            continue;
        c.factor1 = fit.slope;
        c.factor2 = c.curveType == 0 ? 0.0 : fit.intercept;
        c.correlation = fit.r;
    }

    if (method == QuantMethod::CorrectedNormalisation) {
        const int base = curve.baseComponentIndex;
        if (base >= 0 && base < static_cast<int>(curve.components.size())) {
            const double f = curve.components[static_cast<size_t>(base)].factor1;
            if (f != 0.0)
                for (ComponentEntry& c : curve.components)
                    c.factor1 /= f;
        }
    }
}

std::optional<double> curveAmount(const ComponentEntry& component, CurveAxis axis, double v)
{
    const double f1 = component.factor1;
    const double f2 = component.factor2;
    // A slope of 0 is what every unfitted component holds; on either axis it would map all
    // responses to one amount (or divide by zero), so it means "not calibrated".
    if (f1 == 0.0 || (component.curveType != 0 && component.curveType != 1))
        return std::nullopt;
    const double intercept = component.curveType == 1 ? f2 : 0.0;
    const double amount = axis == CurveAxis::ResponseX ? v * f1 + intercept : (v - intercept) / f1;
    if (!std::isfinite(amount))
        return std::nullopt;
    return amount;
}

std::optional<double> impurityAmount(const CalibrationCurve& curve, CurveAxis axis, double v)
{
    const double f1 = curve.impurityFactor1;
    const double f2 = curve.impurityFactor2;
    if (f1 == 0.0)
        return std::nullopt;
    const double amount = axis == CurveAxis::ResponseX ? v * f1 + f2 : (v - f2) / f1;
    if (!std::isfinite(amount))
        return std::nullopt;
    return amount;
}

double applyCurve(const ComponentEntry& component, CurveAxis axis, double v)
{
    return curveAmount(component, axis, v).value_or(0.0);
}

double applyImpurityFactors(const CalibrationCurve* documentCurve, CurveAxis axis, double v)
{
    if (documentCurve == nullptr)
        return 0.0;
    return impurityAmount(*documentCurve, axis, v).value_or(0.0);
}

int calibratedFlag(const CalibrationCurve& curve)
{
    for (const ComponentEntry& c : curve.components)
        if (c.groupParentIndex == -1 && c.factor1 == 0.0)
            return 0;
    return 1;
}

}  // namespace dgaws
