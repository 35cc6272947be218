#include "CalibrationCheck.h"

#include "CalibrationFit.h"
#include "ComponentTable.h"

#include <cmath>

namespace dgaws {
namespace {

double concentrationAt(const ComponentEntry& c, size_t level)
{
    return level < c.concentrations.size() ? c.concentrations[level] : 0.0;
}

void check(RunCheck& out, const CalibrationCurve& curve, const StandardRun& run, size_t comp,
           const FitSettings& s)
{
    const ComponentEntry& entry = curve.components[comp];
    double conc = concentrationAt(entry, static_cast<size_t>(out.level));
    double response = fittedResponse(curve, run, comp, s);
    if (s.method == QuantMethod::InternalStandard) {
        const int k = entry.internalStandardIndex;
        if (entry.isInternalStandard || !validComponentIndex(curve.components, k))
            return;
        const auto ks = static_cast<size_t>(k);
        const double kConc = concentrationAt(curve.components[ks], static_cast<size_t>(out.level));
        const double kResponse = fittedResponse(curve, run, ks, s);
        if (kConc == 0.0 || kResponse == 0.0)
            return;
        conc /= kConc;
        response /= kResponse;
    }
    if (conc == 0.0 || response == 0.0)
        return;
    out.concentration = conc;
    out.response = response;
    // The exponential curve is a line through the logarithms of both sides.
    const bool logarithmic = s.method == QuantMethod::ExponentialExternalStandard;
    if (logarithmic && (conc < 0.0 || response < 0.0))
        return;
    const auto amount = curveAmount(entry, s.axis, logarithmic ? std::log10(response) : response);
    if (!amount)
        return;
    out.backCalculated = logarithmic ? std::pow(10.0, *amount) : *amount;
    out.deviationPercent = (out.backCalculated - conc) / conc * 100.0;
    out.valid = std::isfinite(out.deviationPercent);
}

}  // namespace

std::vector<RunCheck> runChecks(const CalibrationCurve& curve, int component,
                                const FitSettings& settings)
{
    std::vector<RunCheck> checks;
    const bool known = validComponentIndex(curve.components, component);
    for (size_t l = 0; l < curve.levels.size(); ++l) {
        const auto& runs = curve.levels[l].runs;
        for (size_t r = 0; r < runs.size(); ++r) {
            RunCheck c;
            c.level = static_cast<int>(l);
            c.run = static_cast<int>(r);
            if (known)
                check(c, curve, runs[r], static_cast<size_t>(component), settings);
            checks.push_back(c);
        }
    }
    return checks;
}

std::optional<double> curveLineAt(const ComponentEntry& component, const FitSettings& settings,
                                  double x)
{
    if (component.factor1 == 0.0 || component.curveType < 0 || component.curveType > 1)
        return std::nullopt;
    const double intercept = component.curveType == 1 ? component.factor2 : 0.0;
    if (settings.method != QuantMethod::ExponentialExternalStandard)
        return component.factor1 * x + intercept;
    if (x <= 0.0)
        return std::nullopt;
    const double y = std::pow(10.0, component.factor1 * std::log10(x) + intercept);
    return std::isfinite(y) ? std::optional<double>(y) : std::nullopt;
}

}  // namespace dgaws
