#pragma once

#include "chromatogram/AnalysisMethod.h"
#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/PeakRecord.h"

#include <string>

namespace dgaws {

// The stored `calcMethod`. Values outside the list come from damaged or foreign files and
// are carried as they are; every rule treats them as "no calculation".
enum class QuantMethod : int {
    AreaNormalisation = 0,
    CorrectedNormalisation = 1,
    InternalStandard = 2,
    ExternalStandard = 3,
    ExponentialExternalStandard = 4,
    Oscillation = 5,
    Vacuum = 6,
};

// The stored `quantOption1`: what a peak answers with.
enum class ResponseKind : int { Area = 0, Height = 1 };

// The stored `quantOption2`: which side of a curve the response is on.
enum class CurveAxis : int {
    ConcentrationX = 0,  // "X轴浓度 -- Y轴面积(峰高)"
    ResponseX = 1,       // "X轴面积(峰高) -- Y轴浓度"
};

// Stored integers other than 1 mean area and concentration-on-x, the settings of a new method.
inline ResponseKind responseKindOf(int stored)
{
    return stored == 1 ? ResponseKind::Height : ResponseKind::Area;
}
inline CurveAxis curveAxisOf(int stored)
{
    return stored == 1 ? CurveAxis::ResponseX : CurveAxis::ConcentrationX;
}

// External-standard arithmetic serves methods 3, 5 and 6 alike; only the oil step differs.
inline bool isExternalStandard(QuantMethod m)
{
    return m == QuantMethod::ExternalStandard || m == QuantMethod::Oscillation ||
        m == QuantMethod::Vacuum;
}

// Everything a fit of correction factors depends on.
struct FitSettings {
    QuantMethod method = QuantMethod::AreaNormalisation;
    ResponseKind response = ResponseKind::Area;
    bool groupCalc = false;
    CurveAxis axis = CurveAxis::ConcentrationX;
    // The divisor of the setting CacuFrequence (10, 20 or 50): the one the runs of a curve
    // read from an older file had their areas divided by.
    int oldAreaDivisor = 20;

    static FitSettings of(const AnalysisMethod& m);
};

inline double responseOf(const PeakRecord& p, ResponseKind kind)
{
    return kind == ResponseKind::Height ? p.height : p.area;
}
inline double responseOf(const ComponentResponse& r, ResponseKind kind)
{
    return kind == ResponseKind::Height ? r.height : r.area;
}

// "归一法" ... "指数法", then "-分组" and "-杂质" as the status line shows the settings.
// Methods 5 and 6 have no name of their own there.
std::string analysisStatusText(const AnalysisMethod& m);

}  // namespace dgaws
