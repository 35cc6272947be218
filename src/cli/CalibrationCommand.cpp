#include "CalibrationCommand.h"

#include "processing/EngineSettings.h"

#include "CalibrationEditCommand.h"
#include "FailureLine.h"
#include "InfoSummary.h"
#include "TextTable.h"

#include "chromatogram/MethodFile.h"
#include "quant/CalibrationFit.h"
#include "quant/CalibrationTableEditor.h"
#include "quant/NumberText.h"
#include "quant/QuantSettings.h"
#include "quant/StandardRuns.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>

namespace dgaws::cli {
namespace {

using Align = TextTable::Align;

std::string dumpJson(const Json& j)
{
    return j.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string componentName(const CalibrationCurve& c, int index)
{
    if (index < 0 || index >= static_cast<int>(c.components.size()))
        return "(none)";
    return c.components[static_cast<size_t>(index)].name;
}

void printComponents(std::ostream& out, const CalibrationCurve& c)
{
    size_t levels = 0;
    for (const ComponentEntry& e : c.components)
        levels = std::max(levels, e.concentrations.size());
    TextTable t;
    t.addColumn("序号");
    t.addColumn("组份名", Align::Left);
    for (size_t l = 0; l < levels; ++l)
        t.addColumn("浓度" + std::to_string(l + 1));
    t.addColumn("保留时间");
    t.addColumn("时间窗带");
    t.addColumn("内标");
    t.addColumn("对应内标", Align::Left);
    t.addColumn("校正因子1");
    t.addColumn("校正因子2");
    t.addColumn("相关系数");
    t.addColumn("校正曲线", Align::Left);
    t.addColumn("分组", Align::Left);
    for (size_t i = 0; i < c.components.size(); ++i) {
        const ComponentEntry& e = c.components[i];
        std::vector<std::string> row = {std::to_string(i + 1), e.name};
        for (size_t l = 0; l < levels; ++l)
            row.push_back(l < e.concentrations.size() ? numberText("%1.4f", e.concentrations[l])
                                                      : "");
        row.push_back(numberText("%1.3f", e.retentionTime));
        row.push_back(numberText("%1.3f", e.timeWindow));
        row.push_back(e.isInternalStandard ? "yes" : "");
        row.push_back(e.internalStandardIndex < 0 ? "" : componentName(c, e.internalStandardIndex));
        row.push_back(numberText("%1.4g", e.factor1));
        row.push_back(numberText("%1.4g", e.factor2));
        row.push_back(numberText("%1.4f", e.correlation));
        row.push_back(curveTypeName(e.curveType));
        row.push_back(e.groupParentIndex < 0 ? "" : componentName(c, e.groupParentIndex));
        t.addRow(std::move(row));
    }
    t.print(out, "    ");
}

void printRuns(std::ostream& out, const CalibrationCurve& c)
{
    TextTable t;
    t.addColumn("标样号");
    t.addColumn("进样次数");
    t.addColumn("谱图文件", Align::Left);
    for (const ComponentEntry& e : c.components)
        t.addColumn(e.name);
    bool any = false;
    for (size_t l = 0; l < c.levels.size(); ++l) {
        for (size_t r = 0; r < c.levels[l].runs.size(); ++r) {
            const StandardRun& run = c.levels[l].runs[r];
            std::vector<std::string> row = {std::to_string(l + 1), std::to_string(r + 1), run.path};
            for (size_t i = 0; i < c.components.size(); ++i)
                row.push_back(i < run.responses.size() ? numberText("%1.1f", run.responses[i].area)
                                                       : "");
            t.addRow(std::move(row));
            any = true;
        }
    }
    if (!any) {
        out << "    (no standard runs)\n";
        return;
    }
    out << "    Peak areas of the standard runs:\n";
    t.print(out, "    ");
}

void printCurve(std::ostream& out, const CalibrationCurve& c, size_t position)
{
    out << "\nCurve " << position + 1 << ": " << (c.name.empty() ? "(no name)" : c.name) << '\n';
    out << "  Calibrated:         " << (c.calibrated ? "yes" : "no") << '\n';
    out << "  Levels:             " << c.levels.size() << '\n';
    out << "  Impurity factors:   " << numberText("%g", c.impurityFactor1) << ", "
        << numberText("%g", c.impurityFactor2) << '\n';
    out << "  Base component:     " << componentName(c, c.baseComponentIndex) << '\n';
    if (c.components.empty()) {
        out << "    (no components)\n";
        return;
    }
    printComponents(out, c);
    printRuns(out, c);
}

std::string summaryOf(const std::string& path, const MethodLibraryEntry& e)
{
    std::ostringstream out;
    out << path << '\n';
    out << "  Method:             " << (e.method.name.empty() ? "(no name)" : e.method.name)
        << '\n';
    out << "  Calculation:        " << calcMethodName(e.method.calcMethod) << '\n';
    out << "  Response:           " << (e.method.respondsByHeight() ? "height" : "area") << '\n';
    out << "  Curve axis:         "
        << (e.method.concentrationOnY() ? "X轴面积(峰高) -- Y轴浓度" : "X轴浓度 -- Y轴面积(峰高)")
        << '\n';
    out << "  Curves:             " << e.curves.size() << '\n';
    for (size_t i = 0; i < e.curves.size(); ++i)
        printCurve(out, e.curves[i], i);
    return out.str();
}

}  // namespace

Json calibrationJson(const std::string& path, const MethodLibraryEntry& entry)
{
    const AnalysisMethod& m = entry.method;
    Json j = Json::object();
    j["file"] = path;
    j["name"] = m.name;
    j["calcMethod"] = m.calcMethod;
    j["quantOption1"] = m.quantOption1;
    j["quantOption2"] = m.quantOption2;
    j["impurityCalc"] = m.impurityCalc;
    j["groupCalc"] = m.groupCalc;
    j["curves"] = toJsonArray(entry.curves);
    return j;
}

int runCalibrationShow(const CalibrationShowOptions& options, std::ostream& out, std::ostream& err)
{
    std::string text;
    try {
        const MethodLibraryEntry entry = loadMethodFile(options.method);
        text = options.json ? dumpJson(calibrationJson(options.method, entry))
                            : summaryOf(options.method, entry);
    } catch (const std::exception& e) {
        return failWith(err, "cannot read " + options.method + ": " + e.what());
    }
    out << text;
    out.flush();
    return 0;
}

int runCalibrationAdd(const CalibrationAddOptions& options, std::ostream& out, std::ostream& err)
{
    MethodLibraryEntry entry;
    FileStamp read;
    try {
        entry = loadMethodFile(options.method, &read);
    } catch (const std::exception& e) {
        return failWith(err, "cannot read " + options.method + ": " + e.what());
    }
    CalibrationCurve* curve = nullptr;
    for (CalibrationCurve& c : entry.curves)
        if (c.name == options.curve && curve == nullptr)
            curve = &c;
    if (curve == nullptr)
        return failWith(
            err, "method " + options.method + " has no curve named \"" + options.curve + "\"");
    const int levels = static_cast<int>(curve->levels.size());
    if (options.level < 1 || options.level > levels)
        return failWith(err,
                        "level " + std::to_string(options.level) + " is not a level of curve \"" +
                            options.curve + "\" (1.." + std::to_string(levels) + ")");

    // A file given again (after it changed) replaces its run rather than counting twice.
    FitSettings fit = FitSettings::of(entry.method);
    fit.oldAreaDivisor = areaDivisor(options.cacuFrequence);
    const AddedRuns added = addStandardFiles(*curve, options.level - 1, options.files, fit, true);
    if (!added.failures.empty()) {
        for (const LoadFailure& f : added.failures)
            err << "dgaws-cli: cannot read " << f.path << ": " << f.reason << '\n';
        return 1;
    }
    curve->calibrated = calibratedFlag(*curve);
    try {
        // Another workstation's save since the file was read is not overwritten.
        saveMethodFileChecked(entry, &read);
    } catch (const std::exception& e) {
        return failWith(err, "cannot write " + options.method + ": " + e.what());
    }

    if (options.json) {
        out << dumpJson(toJson(*curve));
    } else {
        out << "Added " << added.added << " run" << (added.added == 1 ? "" : "s");
        if (added.replaced > 0)
            out << " and replaced " << added.replaced << " run" << (added.replaced == 1 ? "" : "s");
        out << " at level " << options.level << " of curve " << curve->name << ".\n";
        printCurve(out, *curve, static_cast<size_t>(curve - entry.curves.data()));
    }
    out.flush();
    return 0;
}

void addCalibrationCommand(CLI::App& app)
{
    CLI::App* cmd = app.add_subcommand("calibration",
                                       "Show or extend the calibration curves of "
                                       "an analysis method (.she)");
    cmd->require_subcommand(1);

    auto show = std::make_shared<CalibrationShowOptions>();
    CLI::App* showCmd = cmd->add_subcommand(
        "show", "Print every curve with its components, concentrations, runs and factors");
    showCmd->add_option("METHOD", show->method, "Method file (.she)")->required();
    showCmd->add_flag("--json", show->json, "One JSON document keyed by the records' field names");
    showCmd->callback([show] {
        const int status = runCalibrationShow(*show, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });

    auto add = std::make_shared<CalibrationAddOptions>();
    CLI::App* addCmd = cmd->add_subcommand(
        "add", "Append standard chromatograms to a level of a curve and refit it");
    addCmd->add_option("METHOD", add->method, "Method file (.she), rewritten in place")->required();
    addCmd->add_option("--curve", add->curve, "Name of the calibration curve")->required();
    addCmd->add_option("--level", add->level, "Standard level, counted from 1")->required();
    addCmd->add_option("FILES", add->files, "Standard chromatograms (.chg)")->required();
    addCmd->add_flag("--json", add->json, "Print the refitted curve as JSON");
    addCmd
        ->add_option("--cacu-frequence", add->cacuFrequence,
                     "The CacuFrequence setting (0, 1 or 2: area divisors 10, 20, 50) the "
                     "runs of a curve from an older method file were measured with")
        ->default_val(1);
    addCmd->callback([add] {
        const int status = runCalibrationAdd(*add, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });

    addCalibrationEditCommands(*cmd);
}

}  // namespace dgaws::cli
