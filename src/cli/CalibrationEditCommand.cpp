#include "CalibrationEditCommand.h"

#include "FailureLine.h"
#include "QtRuntime.h"
#include "RecordJson.h"

#include "chromatogram/MethodFile.h"
#include "quant/CalibrationFit.h"
#include "quant/CalibrationTableEditor.h"
#include "quant/ComponentTable.h"
#include "report/CurvePicture.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>

namespace dgaws::cli {
namespace {

// A method file as read, with what it held then: another workstation may save it before this
// command writes it back, and that save must not be overwritten.
struct ReadMethod {
    MethodLibraryEntry entry;
    FileStamp read;
};

// The method file, or the failure line already written.
std::optional<ReadMethod> load(const std::string& path, std::ostream& err)
{
    try {
        ReadMethod m;
        m.entry = loadMethodFile(path, &m.read);
        return m;
    } catch (const std::exception& e) {
        failWith(err, "cannot read " + path + ": " + e.what());
        return std::nullopt;
    }
}

int curveNamed(const MethodLibraryEntry& entry, const std::string& name)
{
    for (size_t i = 0; i < entry.curves.size(); ++i)
        if (entry.curves[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::string noCurve(const std::string& method, const std::string& curve)
{
    return "method " + method + " has no curve named \"" + curve + "\"";
}

// A method file as read and the place of one of its curves.
struct MethodCurve : ReadMethod {
    int position = -1;
    const CalibrationCurve& curve() const { return entry.curves[static_cast<size_t>(position)]; }
};

// The method file with the named curve, or the failure line already written.
std::optional<MethodCurve> loadCurve(const std::string& method, const std::string& curve,
                                     std::ostream& err)
{
    auto m = load(method, err);
    if (!m)
        return std::nullopt;
    const int position = curveNamed(m->entry, curve);
    if (position < 0) {
        failWith(err, noCurve(method, curve));
        return std::nullopt;
    }
    return MethodCurve{std::move(*m), position};
}

std::string noComponent(const std::string& curve, const std::string& gas)
{
    return "curve \"" + curve + "\" has no component named \"" + gas + "\"";
}

std::optional<long> wholeNumber(const std::string& text)
{
    try {
        size_t used = 0;
        const long v = std::stol(text, &used);
        return used == text.size() ? std::optional<long>(v) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<double> realNumber(const std::string& text)
{
    try {
        size_t used = 0;
        const double v = std::stod(text, &used);
        return used == text.size() && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The curve's `calibrated` as the table's OK leaves it, then the whole file written, unless
// the file is no longer the one read.
int store(MethodLibraryEntry& entry, const FileStamp& read, int position,
          const CalibrationTableEditor& editor, bool json, const std::string& done,
          std::ostream& out, std::ostream& err)
{
    CalibrationCurve& curve = entry.curves[static_cast<size_t>(position)];
    curve = editor.curve();
    curve.calibrated = calibratedFlag(curve);
    try {
        saveMethodFileChecked(entry, &read);
    } catch (const std::exception& e) {
        return failWith(err, "cannot write " + entry.path + ": " + e.what());
    }
    if (json)
        out << toJson(curve).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    else
        out << done << '\n';
    out.flush();
    return 0;
}

struct Concentration {
    int component = -1;
    int level = 0;
    double value = 0.0;
};

std::optional<Concentration> parseConcentration(const std::string& text,
                                                const CalibrationCurve& curve, std::ostream& err)
{
    const size_t eq = text.rfind('=');
    const size_t colon = text.rfind(':');
    if (eq == std::string::npos || colon == std::string::npos || colon < eq) {
        failWith(err, "concentration \"" + text + "\" is not GAS=LEVEL:VALUE");
        return std::nullopt;
    }
    Concentration c;
    const std::string gas = text.substr(0, eq);
    c.component = componentNamed(curve.components, gas);
    if (c.component < 0) {
        failWith(err, noComponent(curve.name, gas));
        return std::nullopt;
    }
    const int levels =
        static_cast<int>(curve.components[static_cast<size_t>(c.component)].concentrations.size());
    const auto level = wholeNumber(text.substr(eq + 1, colon - eq - 1));
    // One level past the last adds a level, as a new column of the table does.
    if (!level || *level < 1 || *level > levels + 1) {
        failWith(err,
                 "level in \"" + text + "\" is not a level of curve \"" + curve.name + "\" (1.." +
                     std::to_string(levels + 1) + ")");
        return std::nullopt;
    }
    const auto value = realNumber(text.substr(colon + 1));
    if (!value || *value < 0.0) {
        failWith(err, "concentration in \"" + text + "\" is not a number of 0 or more");
        return std::nullopt;
    }
    c.level = static_cast<int>(*level) - 1;
    c.value = *value;
    return c;
}

}  // namespace

int runCalibrationNew(const CalibrationNewOptions& o, std::ostream& out, std::ostream& err)
{
    auto read = load(o.method, err);
    if (!read)
        return 1;
    MethodLibraryEntry* const entry = &read->entry;
    if (o.curve.empty())
        return failWith(err, "the new curve needs a name");
    if (curveNamed(*entry, o.curve) >= 0)
        return failWith(err,
                        "method " + o.method + " has a curve named \"" + o.curve + "\" already");
    NewCurve made = newCalibrationCurve(entry);
    if (!made.curve)
        return failWith(err, made.message);
    CalibrationCurve curve = std::move(*made.curve);
    if (!o.from.empty()) {
        const int from = curveNamed(*entry, o.from);
        if (from < 0)
            return failWith(err, noCurve(o.method, o.from));
        const CalibrationCurve& source = entry->curves[static_cast<size_t>(from)];
        curve.components = source.components;
        for (ComponentEntry& c : curve.components)
            c.factor1 = c.factor2 = c.factor3 = c.factor4 = c.correlation = 0.0;
        curve.levels.assign(source.levels.size(), StandardLevel{});
        curve.impurityFactor1 = source.impurityFactor1;
        curve.impurityFactor2 = source.impurityFactor2;
        curve.baseComponentIndex = source.baseComponentIndex;
    }
    curve.name = o.curve;
    entry->curves.push_back(curve);
    const CalibrationTableEditor editor(curve, FitSettings::of(entry->method));
    return store(*entry, read->read, static_cast<int>(entry->curves.size()) - 1, editor, o.json,
                 "Added curve " + o.curve + " with " + std::to_string(curve.components.size()) +
                     " components to " + o.method + ".",
                 out, err);
}

int runCalibrationSet(const CalibrationSetOptions& o, std::ostream& out, std::ostream& err)
{
    auto found = loadCurve(o.method, o.curve, err);
    if (!found)
        return 1;
    MethodLibraryEntry* const entry = &found->entry;
    const int position = found->position;
    if (o.type < 0 && o.internalStandard.empty() && o.concentrations.empty())
        return failWith(err, "nothing to set: give --type, --internal-standard or --concentration");
    if (o.type > 3)
        return failWith(err, "type " + std::to_string(o.type) + " is not a curve type (0..3)");
    CalibrationTableEditor editor(entry->curves[static_cast<size_t>(position)],
                                  FitSettings::of(entry->method));
    const int count = static_cast<int>(editor.curve().components.size());
    int standard = -1;
    if (!o.internalStandard.empty()) {
        standard = componentNamed(editor.curve().components, o.internalStandard);
        if (standard < 0)
            return failWith(err, noComponent(o.curve, o.internalStandard));
    }
    // Every value is checked before the first is applied, so a bad one changes nothing.
    std::vector<Concentration> concentrations;
    for (const std::string& text : o.concentrations) {
        const auto c = parseConcentration(text, editor.curve(), err);
        if (!c)
            return 1;
        concentrations.push_back(*c);
    }

    for (int i = 0; o.type >= 0 && i < count; ++i)
        editor.setCurveType(i, o.type);
    for (int i = 0; standard >= 0 && i < count; ++i) {
        editor.setInternalStandard(i, i == standard);
        editor.setInternalStandardIndex(i, i == standard ? -1 : standard);
    }
    for (const Concentration& c : concentrations)
        editor.setConcentration(c.component, c.level, c.value);
    return store(*entry, found->read, position, editor, o.json, "Updated curve " + o.curve + ".",
                 out, err);
}

int runCalibrationRemoveRun(const CalibrationRemoveRunOptions& o, std::ostream& out,
                            std::ostream& err)
{
    auto found = loadCurve(o.method, o.curve, err);
    if (!found)
        return 1;
    MethodLibraryEntry* const entry = &found->entry;
    const int position = found->position;
    const CalibrationCurve& curve = found->curve();
    int level = -1;
    int run = -1;
    if (const size_t colon = o.run.find(':'); colon != std::string::npos) {
        const auto l = wholeNumber(o.run.substr(0, colon));
        const auto r = wholeNumber(o.run.substr(colon + 1));
        if (l && r && *l >= 1 && *l <= static_cast<long>(curve.levels.size()) && *r >= 1 &&
            *r <= static_cast<long>(curve.levels[static_cast<size_t>(*l - 1)].runs.size())) {
            level = static_cast<int>(*l) - 1;
            run = static_cast<int>(*r) - 1;
        }
    } else if (const auto n = wholeNumber(o.run); n && *n >= 1) {
        // Counted over the levels in order, as `calibration show` lists the runs.
        long left = *n - 1;
        for (size_t l = 0; l < curve.levels.size() && level < 0; ++l) {
            const long runs = static_cast<long>(curve.levels[l].runs.size());
            if (left < runs) {
                level = static_cast<int>(l);
                run = static_cast<int>(left);
            }
            left -= runs;
        }
    }
    if (level < 0)
        return failWith(err, "run " + o.run + " is not a run of curve \"" + o.curve + "\"");
    CalibrationTableEditor editor(curve, FitSettings::of(entry->method));
    const std::string path =
        curve.levels[static_cast<size_t>(level)].runs[static_cast<size_t>(run)].path;
    editor.deleteRun(level, run, [](const std::string&) { return true; });
    return store(*entry, found->read, position, editor, o.json,
                 "Removed run " + std::to_string(run + 1) + " of level " +
                     std::to_string(level + 1) + " (" + path + ") from curve " + o.curve + ".",
                 out, err);
}

int runCalibrationPlot(const CalibrationPlotOptions& o, std::ostream& out, std::ostream& err)
{
    if (o.png.empty() == o.pdf.empty())
        return failWith(err, "give one of --png FILE and --pdf FILE");
    auto found = loadCurve(o.method, o.curve, err);
    if (!found)
        return 1;
    const CalibrationCurve& curve = found->curve();
    const FitSettings settings = FitSettings::of(found->entry.method);
    const auto plottable = [&](int i) {
        return curve.components[static_cast<size_t>(i)].factor1 != 0.0 &&
            !curvePoints(curve, i, settings).empty();
    };
    std::vector<int> components;
    if (!o.component.empty()) {
        const int c = componentNamed(curve.components, o.component);
        if (c < 0)
            return failWith(err, noComponent(o.curve, o.component));
        if (!plottable(c))
            return failWith(err,
                            "component \"" + o.component + "\" of curve \"" + o.curve +
                                "\" has no fitted curve to draw");
        components.push_back(c);
    } else {
        for (int i = 0; i < static_cast<int>(curve.components.size()); ++i)
            if (plottable(i))
                components.push_back(i);
        if (components.empty())
            return failWith(err, "curve \"" + o.curve + "\" has no fitted component to draw");
    }
    ensureGuiRuntime();
    const std::string& file = o.png.empty() ? o.pdf : o.png;
    const bool written = o.png.empty() ? writeCurvePdf(file, curve, components, settings)
                                       : writeCurvePng(file, curve, components.front(), settings);
    if (!written)
        return failWith(err, "cannot write " + file);
    out << "Wrote " << file << " ("
        << (o.png.empty()
                ? std::to_string(components.size()) + " page" + (components.size() == 1 ? "" : "s")
                : curve.components[static_cast<size_t>(components.front())].name)
        << ").\n";
    out.flush();
    return 0;
}

void addCalibrationEditCommands(CLI::App& cmd)
{
    const auto run = [](auto function, auto options) {
        return [function, options] {
            const int status = function(*options, std::cout, std::cerr);
            if (status != 0)
                throw CLI::RuntimeError(status);
        };
    };

    // Every subcommand names a method file and one of its curves.
    const auto methodAndCurve = [](CLI::App* sub, std::string& method, std::string& curve,
                                   const char* methodHelp, const char* curveHelp) {
        sub->add_option("METHOD", method, methodHelp)->required();
        sub->add_option("--curve", curve, curveHelp)->required();
    };
    const char* const kRewritten = "Method file (.she), rewritten in place";
    const char* const kCurveName = "Name of the calibration curve";

    auto made = std::make_shared<CalibrationNewOptions>();
    CLI::App* newCmd = cmd.add_subcommand("new", "Add a new calibration curve to the method");
    methodAndCurve(newCmd, made->method, made->curve, kRewritten, "Name of the new curve");
    newCmd->add_option("--from", made->from,
                       "Copy the components and concentrations of this curve");
    newCmd->add_flag("--json", made->json, "Print the new curve as JSON");
    newCmd->callback(run(runCalibrationNew, made));

    auto set = std::make_shared<CalibrationSetOptions>();
    CLI::App* setCmd = cmd.add_subcommand(
        "set", "Set the curve type, the internal standard or concentrations and refit");
    methodAndCurve(setCmd, set->method, set->curve, kRewritten, kCurveName);
    setCmd->add_option("--type", set->type,
                       "Curve type of every component: 0 through the origin, 1 general line");
    setCmd->add_option("--internal-standard", set->internalStandard,
                       "The component every other one is referred to");
    setCmd->add_option("--concentration", set->concentrations,
                       "GAS=LEVEL:VALUE, the level counted from 1 (repeatable)");
    setCmd->add_flag("--json", set->json, "Print the refitted curve as JSON");
    setCmd->callback(run(runCalibrationSet, set));

    auto remove = std::make_shared<CalibrationRemoveRunOptions>();
    CLI::App* removeCmd =
        cmd.add_subcommand("remove-run", "Delete one standard run from a curve and refit");
    methodAndCurve(removeCmd, remove->method, remove->curve, kRewritten, kCurveName);
    removeCmd
        ->add_option("--run", remove->run,
                     "The run as `calibration show` counts it from 1, or LEVEL:RUN")
        ->required();
    removeCmd->add_flag("--json", remove->json, "Print the refitted curve as JSON");
    removeCmd->callback(run(runCalibrationRemoveRun, remove));

    auto plot = std::make_shared<CalibrationPlotOptions>();
    CLI::App* plotCmd = cmd.add_subcommand(
        "plot", "Draw the standard points and fitted line of a curve's components");
    methodAndCurve(plotCmd, plot->method, plot->curve, "Method file (.she)", kCurveName);
    plotCmd->add_option("--component", plot->component,
                        "Only this component (the first fitted one for a PNG otherwise)");
    plotCmd->add_option("--png", plot->png, "Picture of one component");
    plotCmd->add_option("--pdf", plot->pdf, "A page per component");
    plotCmd->callback(run(runCalibrationPlot, plot));
}

}  // namespace dgaws::cli
