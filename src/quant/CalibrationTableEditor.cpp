#include "CalibrationTableEditor.h"

#include "CalibrationFit.h"
#include "CalibrationTable.h"
#include "NumberText.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/TextFormat.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace dgaws {
namespace {

constexpr const char* kEmptyTable = "当前组分表为空，请核对";
constexpr const char* kNoLevels = "当前校正曲线没有设定标样浓度,请核对";
constexpr const char* kBadConcentration = "当前选择的组份标样浓度不正确,请核对";
constexpr const char* kMissingRuns = "缺少足够的标样图谱,请检查";
constexpr const char* kNotFitted = "当前组份的校正因子未被计算";
constexpr const char* kChangedNoConcentration = "您选择的组分没有设置标样浓度，请核对";
constexpr const char* kChangedNoRun = "您选择的组分没有对应的标样图谱，请核对";
constexpr const char* kChangedNotFitted = "您选择的组分没有计算校正因子，请核对";

bool anyZero(const std::vector<double>& v)
{
    return std::any_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
}

}  // namespace

CalibrationTableEditor::CalibrationTableEditor(CalibrationCurve curve, FitSettings settings)
    : curve_(std::move(curve)), settings_(settings)
{}

bool CalibrationTableEditor::valid(int position) const
{
    return validComponentIndex(curve_.components, position);
}

EditResult CalibrationTableEditor::refitted(std::string message)
{
    fitCorrectionFactors(curve_, settings_);
    return {true, std::move(message)};
}

EditResult CalibrationTableEditor::insertGasSet()
{
    dgaws::insertGasSet(curve_);
    return refitted();
}

EditResult CalibrationTableEditor::addGasSet()
{
    curve_.components.clear();
    curve_.levels.clear();
    curve_.baseComponentIndex = -1;
    dgaws::insertGasSet(curve_);
    return refitted();
}

EditResult CalibrationTableEditor::deleteComponent(int position)
{
    if (!dgaws::deleteComponent(curve_, position))
        return {};
    if (curve_.components.empty())
        curve_.levels.clear();
    return refitted();
}

EditResult CalibrationTableEditor::appendConcentration()
{
    dgaws::appendConcentration(curve_);
    return refitted();
}

EditResult CalibrationTableEditor::deleteConcentration(int level)
{
    if (!dgaws::deleteConcentration(curve_, level))
        return {};
    return refitted();
}

AddedRuns CalibrationTableEditor::addStandardFiles(int level, const std::vector<std::string>& files)
{
    return dgaws::addStandardFiles(curve_, level, files, settings_);
}

EditResult CalibrationTableEditor::deleteRun(int level, int run, const AskYesNo& ask)
{
    if (level < 0 || level >= static_cast<int>(curve_.levels.size()) || run < 0 ||
        run >= static_cast<int>(curve_.levels[static_cast<size_t>(level)].runs.size()))
        return {};
    if (!ask || !ask(kConfirmDeleteRun))
        return {};
    dgaws::deleteRun(curve_, level, run);
    return refitted();
}

EditResult CalibrationTableEditor::computeFactors(double impurityFactor1, double impurityFactor2,
                                                  int baseComponentIndex)
{
    curve_.impurityFactor1 = impurityFactor1;
    curve_.impurityFactor2 = impurityFactor2;
    curve_.baseComponentIndex = valid(baseComponentIndex) ? baseComponentIndex : -1;
    return refitted();
}

EditResult
CalibrationTableEditor::setAsDefaultTable(std::vector<ComponentEntry>& defaultComponents) const
{
    defaultComponents = curve_.components;
    return {true, kDefaultTableSet};
}

EditResult CalibrationTableEditor::loadComponentsFrom(const std::string& chromatogramPath)
{
    ChromatogramData data;
    try {
        data = readChromatogramFile(chromatogramPath);
    } catch (const std::exception&) {
        return {false, kLoadFailed};
    }
    componentsFromPeaks(curve_, data.peaks);
    return refitted();
}

EditResult CalibrationTableEditor::clearUnknownComponents()
{
    if (dgaws::clearUnknownComponents(curve_) == 0)
        return {};
    return refitted();
}

EditResult CalibrationTableEditor::confirm(const std::string& name, double impurityFactor1,
                                           double impurityFactor2, int baseComponentIndex,
                                           const std::vector<std::string>& otherNames)
{
    if (std::find(otherNames.begin(), otherNames.end(), name) != otherNames.end())
        return {false, kDuplicateCurveName};
    curve_.name = name;
    EditResult r = computeFactors(impurityFactor1, impurityFactor2, baseComponentIndex);
    curve_.calibrated = calibratedFlag(curve_);
    return r;
}

EditResult CalibrationTableEditor::setName(int position, const std::string& name)
{
    if (!valid(position))
        return {};
    const int same = componentNamed(curve_.components, name);
    if (same == position)
        return {};
    if (same >= 0)
        return {false, kDuplicateComponent};
    curve_.components[static_cast<size_t>(position)].name = name;
    return {true, {}};
}

EditResult CalibrationTableEditor::setConcentration(int position, int level, double value)
{
    if (value < 0.0 || !dgaws::setConcentration(curve_, position, level, value))
        return {};
    return refitted();
}

EditResult CalibrationTableEditor::setFormula(int position, const std::string& formula)
{
    if (!valid(position))
        return {};
    curve_.components[static_cast<size_t>(position)].formula = formula;
    return {true, {}};
}

EditResult CalibrationTableEditor::setRetentionTime(int position, double minutes)
{
    if (!(minutes > 0.0) || moveComponent(curve_, position, minutes) < 0)
        return {};
    return refitted();
}

EditResult CalibrationTableEditor::setTimeWindow(int position, double minutes)
{
    if (!(minutes > 0.0) || !valid(position))
        return {};
    curve_.components[static_cast<size_t>(position)].timeWindow = minutes;
    return {true, {}};
}

EditResult CalibrationTableEditor::setInternalStandard(int position, bool isInternalStandard)
{
    if (!valid(position))
        return {};
    curve_.components[static_cast<size_t>(position)].isInternalStandard = isInternalStandard;
    return refitted();
}

EditResult CalibrationTableEditor::setInternalStandardIndex(int position, int reference)
{
    if (!valid(position))
        return {};
    curve_.components[static_cast<size_t>(position)].internalStandardIndex =
        valid(reference) ? reference : -1;
    return refitted();
}

EditResult CalibrationTableEditor::setFactor(int position, int which, double value)
{
    if (!valid(position) || (which != 1 && which != 2))
        return {};
    ComponentEntry& c = curve_.components[static_cast<size_t>(position)];
    (which == 1 ? c.factor1 : c.factor2) = value;
    return {true, {}};
}

EditResult CalibrationTableEditor::setCurveType(int position, int curveType)
{
    if (!valid(position) || curveType < 0 || curveType > 3)
        return {};
    curve_.components[static_cast<size_t>(position)].curveType = curveType;
    return refitted();
}

EditResult CalibrationTableEditor::setGroupParent(int position, int parent)
{
    if (!valid(position))
        return {};
    curve_.components[static_cast<size_t>(position)].groupParentIndex =
        parent == position || !valid(parent) ? -1 : parent;
    return refitted();
}

ViewCheck CalibrationTableEditor::curveViewCheck(int component) const
{
    if (curve_.components.empty())
        return {false, kEmptyTable};
    if (curve_.levels.empty())
        return {false, kNoLevels};
    if (!valid(component))
        return {false, {}};
    const ComponentEntry& c = curve_.components[static_cast<size_t>(component)];
    if (anyZero(c.concentrations))
        return {false, kBadConcentration};
    for (const StandardLevel& level : curve_.levels)
        if (level.runs.empty())
            return {false, kMissingRuns};
    if (c.factor1 == 0.0)
        return {false, kNotFitted};
    if (settings_.method == QuantMethod::InternalStandard &&
        std::all_of(curve_.components.begin(), curve_.components.end(),
                    [](const ComponentEntry& e) { return e.isInternalStandard; }))
        return {false, {}};
    return {};
}

ViewCheck CalibrationTableEditor::componentChangeCheck(int component) const
{
    if (!valid(component))
        return {false, {}};
    const ComponentEntry& c = curve_.components[static_cast<size_t>(component)];
    if (c.concentrations.empty() || anyZero(c.concentrations))
        return {false, kChangedNoConcentration};
    for (const StandardLevel& level : curve_.levels)
        for (const StandardRun& run : level.runs)
            if (static_cast<size_t>(component) >= run.responses.size() ||
                run.responses[static_cast<size_t>(component)].area == 0.0)
                return {false, kChangedNoRun};
    if (c.factor1 == 0.0)
        return {false, kChangedNotFitted};
    return {};
}

NewCurve newCalibrationCurve(const MethodLibraryEntry* method)
{
    if (method == nullptr)
        return {std::nullopt, kChooseMethodFirst};
    if (method->method.calcMethod == static_cast<int>(QuantMethod::AreaNormalisation))
        return {std::nullopt, kNormalisationNeedsNoCurve};
    CalibrationCurve curve;
    curve.components = method->defaultComponents;
    for (ComponentEntry& c : curve.components)
        c.factor1 = c.factor2 = c.correlation = 0.0;
    if (!curve.components.empty())
        curve.levels.resize(std::max<size_t>(1, curve.components.back().concentrations.size()));
    curve.name = "校正曲线" + std::to_string(method->curves.size() + 1);
    return {std::move(curve), {}};
}

const char* curveTypeName(int curveType)
{
    static constexpr const char* kNames[] = {"过原点的直线", "一般直线", "二次曲线", "三次曲线"};
    return curveType >= 0 && curveType < 4 ? kNames[curveType] : "";
}

std::vector<StandardListRow> standardListRows(const CalibrationCurve& curve, int component)
{
    std::vector<StandardListRow> rows;
    for (size_t l = 0; l < curve.levels.size(); ++l) {
        const auto& runs = curve.levels[l].runs;
        for (size_t r = 0; r < runs.size(); ++r) {
            ComponentResponse resp;
            if (component >= 0 && static_cast<size_t>(component) < runs[r].responses.size())
                resp = runs[r].responses[static_cast<size_t>(component)];
            rows.push_back({static_cast<int>(l) + 1, static_cast<int>(r) + 1,
                            fileNameOf(runs[r].path), numberText("%1.3f", resp.retentionTime),
                            numberText("%1.1f", resp.area), numberText("%1.1f", resp.height)});
        }
    }
    return rows;
}

std::string curveEquationLabel(const ComponentEntry& component)
{
    std::string label = component.name + " : y = " + numberText("%g", component.factor1) + "x";
    if (component.curveType == 1)
        label += (component.factor2 >= 0.0 ? "+" : "") + numberText("%1.3f", component.factor2);
    return label + " 相关系数：" + numberText("%g", component.correlation);
}

std::vector<CurvePoint> curvePoints(const CalibrationCurve& curve, int component,
                                    const FitSettings& settings)
{
    std::vector<CurvePoint> points;
    if (!validComponentIndex(curve.components, component))
        return points;
    const auto c = static_cast<size_t>(component);
    const ComponentEntry& entry = curve.components[c];
    const bool ratio = settings.method == QuantMethod::InternalStandard;
    const int k = entry.internalStandardIndex;
    if (ratio && !validComponentIndex(curve.components, k))
        return points;
    const auto ks = static_cast<size_t>(k);
    // The points the fit used: the same responses (with the group's members), the same runs
    // (one per file), and no run that lacks the component.
    for (size_t l = 0; l < curve.levels.size() && l < entry.concentrations.size(); ++l) {
        double conc = entry.concentrations[l];
        if (ratio) {
            const auto& kc = curve.components[ks].concentrations;
            if (l >= kc.size() || kc[l] == 0.0)
                continue;
            conc /= kc[l];
        }
        for (const StandardRun* run : countedRuns(curve.levels[l].runs)) {
            double r = fittedResponse(curve, *run, c, settings);
            if (r == 0.0)
                continue;
            if (ratio) {
                const double rk = fittedResponse(curve, *run, ks, settings);
                if (rk == 0.0)
                    continue;
                r /= rk;
            }
            points.push_back({conc, r});
        }
    }
    return points;
}

}  // namespace dgaws
