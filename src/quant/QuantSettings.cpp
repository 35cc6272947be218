#include "QuantSettings.h"

namespace dgaws {

FitSettings FitSettings::of(const AnalysisMethod& m)
{
    return {static_cast<QuantMethod>(m.calcMethod), responseKindOf(m.quantOption1),
            m.groupCalc != 0, curveAxisOf(m.quantOption2)};
}

std::string analysisStatusText(const AnalysisMethod& m)
{
    static constexpr const char* kNames[] = {"归一法", "校正法", "内标法", "外标法", "指数法"};
    std::string text;
    if (m.calcMethod >= 0 && m.calcMethod < 5)
        text = kNames[m.calcMethod];
    if (m.groupCalc != 0)
        text += "-分组";
    if (m.impurityCalc != 0)
        text += "-杂质";
    return text;
}

}  // namespace dgaws
