#pragma once

#include "QuantSettings.h"
#include "StandardRuns.h"

#include "chromatogram/CalibrationCurve.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/MethodLibrary.h"

#include <optional>
#include <string>
#include <vector>

namespace dgaws {

// What a command of the curve editor did, and the text to show (empty when none).
struct EditResult {
    bool changed = false;
    std::string message;
};

// Whether a view may open; `message` is the reason shown when it may not (it can be empty).
struct ViewCheck {
    bool ok = true;
    std::string message;
};

// The calibration table dialog without its widgets: a working copy of one curve and every
// command and cell edit of the dialog, with the texts the operator sees. Every edit that
// changes what a fit reads (concentrations, runs, components, their roles, the base
// component, the impurity factors) refits the curve with the method's current settings;
// typed factors are kept as typed.
class CalibrationTableEditor {
public:
    static constexpr const char* kDuplicateComponent = "存在同名组份，请重新选择";
    static constexpr const char* kConfirmDeleteRun = "从标样表中删除该标样吗?";
    static constexpr const char* kDefaultTableSet = "组份表设置完成!";
    static constexpr const char* kDuplicateCurveName = "校正曲线名已经存在，请选择另外的名称。";
    static constexpr const char* kLoadFailed = "谱图文件载入失败。";

    CalibrationTableEditor(CalibrationCurve curve, FitSettings settings);

    const CalibrationCurve& curve() const { return curve_; }
    const FitSettings& settings() const { return settings_; }

    // Menu and buttons.
    EditResult insertGasSet();                  // "插入组份(&I)"
    EditResult addGasSet();                     // "添加组份": a fresh table of the nine
    EditResult deleteComponent(int position);   // "删除组份"
    EditResult appendConcentration();           // "增加浓度"
    EditResult deleteConcentration(int level);  // "删除浓度", level chosen beforehand
    AddedRuns addStandardFiles(int level, const std::vector<std::string>& files);
    EditResult deleteRun(int level, int run, const AskYesNo& ask);  // "删除标样数据"
    EditResult computeFactors(double impurityFactor1, double impurityFactor2,
                              int baseComponentIndex);  // "计算校正因子"
    EditResult setAsDefaultTable(std::vector<ComponentEntry>& defaultComponents) const;
    EditResult loadComponentsFrom(const std::string& chromatogramPath);  // "载入谱图获取组份信息"
    EditResult clearUnknownComponents();                                 // "清除未知组份"

    // "确认(&O)": the name must not be one of `otherNames` (the method's other curves), for a
    // new curve and a renamed one alike, since curves are chosen by name; then the factors
    // are stored, the curve refitted and `calibrated` recomputed.
    EditResult confirm(const std::string& name, double impurityFactor1, double impurityFactor2,
                       int baseComponentIndex, const std::vector<std::string>& otherNames);

    // Cell edits of the component grid.
    EditResult setName(int position, const std::string& name);
    EditResult setConcentration(int position, int level, double value);
    EditResult setFormula(int position, const std::string& formula);
    EditResult setRetentionTime(int position, double minutes);
    EditResult setTimeWindow(int position, double minutes);
    EditResult setInternalStandard(int position, bool isInternalStandard);
    EditResult setInternalStandardIndex(int position, int reference);
    EditResult setFactor(int position, int which, double value);  // which: 1 or 2
    EditResult setCurveType(int position, int curveType);
    EditResult setGroupParent(int position, int parent);

    // "查看校正曲线" for the selected component, and a change of component inside the
    // curve view; both refuse with the first failing check's text.
    ViewCheck curveViewCheck(int component) const;
    ViewCheck componentChangeCheck(int component) const;

private:
    bool valid(int position) const;
    EditResult refitted(std::string message = {});

    CalibrationCurve curve_;
    FitSettings settings_;
};

// "新建校正曲线(&N)": the curve a method starts a new calibration with, or the refusal text.
struct NewCurve {
    std::optional<CalibrationCurve> curve;
    std::string message;
};
inline constexpr const char* kChooseMethodFirst = "您先选择方法";
inline constexpr const char* kNormalisationNeedsNoCurve = "归一法不需要建校正曲线";
NewCurve newCalibrationCurve(const MethodLibraryEntry* method);

// The names of the curve types: "过原点的直线", "一般直线", "二次曲线", "三次曲线".
const char* curveTypeName(int curveType);

// The rows of the standard list for one component: level and run from 1, the run's file
// name, and the component's response there, formatted as the list shows them.
struct StandardListRow {
    int level = 0;
    int run = 0;
    std::string fileName;
    std::string retentionTime;
    std::string area;
    std::string height;
};
std::vector<StandardListRow> standardListRows(const CalibrationCurve& curve, int component);

// The equation line of the curve view: "name : y = 2.5x+0.125 相关系数：0.999".
std::string curveEquationLabel(const ComponentEntry& component);

// The standard points the curve view plots for a component, one per run: concentration (or
// the ratio to the internal standard's) against the response (or the response ratio).
struct CurvePoint {
    double concentration = 0.0;
    double response = 0.0;
};
std::vector<CurvePoint> curvePoints(const CalibrationCurve& curve, int component,
                                    const FitSettings& settings);

}  // namespace dgaws
