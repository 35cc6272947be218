#include "ProcessCommand.h"

#include "BatchProcess.h"
#include "DocumentFiles.h"
#include "InfoSummary.h"
#include "TextTable.h"

#include "app/CChrEDoc.h"
#include "chromatogram/ChromatogramFile.h"
#include "quant/ContentStatus.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace dgaws::cli {

namespace fs = std::filesystem;

namespace {

std::string printed(const char* format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Excluded peaks are not listed, and never counted in the totals.
std::vector<int> shownRows(const PeakTable& peaks)
{
    std::vector<int> rows;
    for (int i = 0; i < peaks.size(); ++i)
        if (!peaks[i].excluded)
            rows.push_back(i);
    return rows;
}

struct Totals {
    double height = 0.0;
    double area = 0.0;
    double areaPercent = 0.0;
    double gasContent = 0.0;
    double oilContent = 0.0;
};

Totals totalsOf(const PeakTable& peaks, const std::vector<bool>& uncalibrated)
{
    Totals t;
    for (int i = 0; i < peaks.size(); ++i) {
        const PeakRecord& p = peaks[i];
        if (p.excluded)
            continue;
        t.height += p.height;
        t.area += p.area;
        t.areaPercent += p.areaPercent;
        if (uncalibrated[static_cast<size_t>(i)])
            continue;
        t.gasContent += p.gasContent;
        t.oilContent += p.oilContent;
    }
    return t;
}

}  // namespace

Json resultJson(const ChromatogramData& data, const CalibrationCurve* linked)
{
    const std::vector<bool> uncalibrated = uncalibratedPeaks(data, linked);
    Json peaks = Json::array();
    Json leftOut = Json::array();
    int row = 0;
    for (int i : shownRows(data.peaks)) {
        Json p = Json::object();
        p["row"] = ++row;
        p.update(toJson(data.peaks[i]));
        if (uncalibrated[static_cast<size_t>(i)]) {
            p["gasContent"] = nullptr;
            p["oilContent"] = nullptr;
            p["contentNote"] = uncalibratedReason(data, linked, i);
            leftOut.push_back(data.peaks[i].componentName);
        }
        peaks.push_back(std::move(p));
    }
    const Totals t = totalsOf(data.peaks, uncalibrated);
    Json j = Json::object();
    j["pointsPerSecond"] = data.pointsPerSecond;
    j["methodName"] = data.methodName;
    j["peaks"] = std::move(peaks);
    j["totals"] = {
        {"height", jsonNumber(t.height)},           {"area", jsonNumber(t.area)},
        {"areaPercent", jsonNumber(t.areaPercent)}, {"gasContent", jsonNumber(t.gasContent)},
        {"oilContent", jsonNumber(t.oilContent)},   {"notCalibrated", std::move(leftOut)}};
    j["calibrationName"] = data.calibrationName;
    j["calcMethod"] = data.method.calcMethod;
    j["sampleType"] = data.sampleType;
    j["groupResults"] = toJsonArray(data.groupResults);
    return j;
}

void printGroupResults(std::ostream& out, const ChromatogramData& data)
{
    if (data.groupResults.empty())
        return;
    using Align = TextTable::Align;
    TextTable t;
    t.addColumn("组号");
    t.addColumn("组名", Align::Left);
    t.addColumn("峰个数");
    t.addColumn("总峰高");
    t.addColumn("总面积");
    t.addColumn("总含量");
    for (const GroupResult& g : data.groupResults)
        t.addRow({std::to_string(g.groupNo), g.groupName, std::to_string(g.peakCount),
                  printed("%1.1lf", g.totalHeight), printed("%1.1lf", g.totalArea),
                  printed("%1.4lf", g.totalContent)});
    out << "  Group results:\n";
    t.print(out);
}

void printResultTable(std::ostream& out, const ChromatogramData& data,
                      const CalibrationCurve* linked)
{
    const std::vector<bool> uncalibrated = uncalibratedPeaks(data, linked);
    const auto content = [&](int i, double v) {
        return uncalibrated[static_cast<size_t>(i)] ? std::string(kNotCalibratedText)
                                                    : printed("%1.4lf", v);
    };
    using Align = TextTable::Align;
    TextTable t;
    t.addColumn("行号");
    t.addColumn("峰号");
    t.addColumn("组份名", Align::Left);
    t.addColumn("保留时间");
    t.addColumn("峰高");
    t.addColumn("峰面积(uv*s)");
    t.addColumn("面积百分比%");
    t.addColumn("气相中含量");
    t.addColumn("油中含量");
    t.addColumn("峰标志", Align::Left);
    t.addColumn("半峰宽(分)");
    t.addColumn("分离度");
    t.addColumn("拖尾因子");
    t.addColumn("理论塔板数");
    int row = 0;
    for (int i : shownRows(data.peaks)) {
        const PeakRecord& p = data.peaks[i];
        t.addRow({std::to_string(++row), std::to_string(p.number), p.componentName,
                  printed("%1.3lf", p.retentionTime), printed("%1.1lf", p.height),
                  printed("%1.1lf", p.area), printed("%1.4lf", p.areaPercent),
                  content(i, p.gasContent), content(i, p.oilContent),
                  peakTypeName(peakTypeCode(p.typeFlags)), printed("%1.3lf", p.halfWidth),
                  printed("%1.3lf", p.resolution), printed("%1.3lf", p.tailingFactor),
                  printed("%1.0lf", p.plates)});
    }
    const Totals s = totalsOf(data.peaks, uncalibrated);
    const bool leftOut =
        std::find(uncalibrated.begin(), uncalibrated.end(), true) != uncalibrated.end();
    t.addRow({"合计", "", "", "", printed("%lf", s.height), printed("%lf", s.area),
              printed("%lf", s.areaPercent), printed("%lf", s.gasContent),
              printed("%lf", s.oilContent), leftOut ? kWithoutUncalibratedText : ""});
    t.print(out);
}

int runProcess(const ProcessOptions& options, std::ostream& out, std::ostream& err)
{
    ProcessSession session(options);
    if (const std::string failure = session.prepare(); !failure.empty()) {
        err << "dgaws-cli: " << failure << '\n';
        return 1;
    }
    CChrEDoc doc;
    std::string failure;
    if (!session.process(options.path, doc, failure)) {
        err << "dgaws-cli: " << failure << '\n';
        return 1;
    }

    if (!options.outputPath.empty()) {
        try {
            writeChromatogramFile(options.outputPath, doc.data);
        } catch (const std::exception& e) {
            err << "dgaws-cli: cannot write " << options.outputPath << ": " << e.what() << '\n';
            return 1;
        }
    }

    std::ostringstream text;
    if (options.json) {
        Json j = Json::object();
        j["file"] = options.path;
        j.update(resultJson(doc.data, doc.calibrationCurve()));
        if (!options.outputPath.empty())
            j["output"] = options.outputPath;
        text << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        text << options.path << '\n'
             << "  Rate: " << doc.data.pointsPerSecond << " points per second, "
             << doc.data.signal.count() << " samples\n"
             << "  Calculation: " << calcMethodName(doc.data.method.calcMethod)
             << (doc.data.calibrationName.empty() ? "" : ", curve " + doc.data.calibrationName)
             << (doc.data.sampleType == 1 ? " (standard sample: not quantified)" : "") << '\n'
             << "  Peaks: " << doc.data.peaks.size() << '\n';
        printResultTable(text, doc.data, doc.calibrationCurve());
        printGroupResults(text, doc.data);
        if (!options.outputPath.empty())
            text << "  Written to " << options.outputPath << '\n';
    }
    out << text.str();
    out.flush();
    return 0;
}

void addProcessCommand(CLI::App& app)
{
    auto options = std::make_shared<BatchOptions>();
    CLI::App* cmd = app.add_subcommand(
        "process",
        "Detect and evaluate the peaks of chromatograms (.chg) or sample files (.dat): "
        "one file with its result table, or many files and folders on all cores");
    cmd->add_option("FILE", options->inputs, "Chromatograms, sample files or folders of them")
        ->required();
    CLI::Option* method =
        cmd->add_option("--method", options->process.methodPath,
                        "Analysis method (.she) to process with; the sample information stays")
            ->check(CLI::ExistingFile);
    cmd->add_option("--calibration", options->process.calibration,
                    "Calibration curve of the method to identify and quantify with")
        ->needs(method);
    cmd->add_option("--points-per-second", options->process.pointsPerSecond,
                    "Sampling rate of the file (a .dat stores none and is otherwise taken at 10)")
        ->check(CLI::Range(1, 1000000));
    cmd->add_option("-o,--output", options->process.outputPath,
                    "Write the processed chromatogram (.chg); one input file only");
    cmd->add_flag("--json", options->process.json,
                  "One JSON document keyed by the records' field names; one input file only");
    cmd->add_option("--cacu-frequence", options->process.cacuFrequence,
                    "The CacuFrequence setting: 0, 1 or 2 for area divisors 10, 20, 50 where the "
                    "chromatogram's own rate is not known")
        ->default_val(1);
    cmd->add_flag("--keep-excluded", options->process.keepExcluded,
                  "Keep the peaks the measures exclude (setting AutoDelUnusedPeak off)");
    cmd->add_flag("-r,--recursive", options->recursive, "Folders with their subfolders");
    cmd->add_option("--output-dir", options->outputDir,
                    "Write the processed chromatograms here, in their folders' layout");
    cmd->add_option("--summary", options->summary,
                    "One row per file and component: OUT.csv, OUT.jsonl or OUT.xlsx");
    cmd->add_option("-j,--jobs", options->jobs, "Threads (default: one per core)")
        ->check(CLI::Range(1, 256));
    auto home = std::make_shared<std::string>();
    cmd->add_option("--home", *home,
                    "Data root whose method library the chromatograms are linked to "
                    "(default: DGAWS_HOME or ~/dgaws)");
    cmd->callback([options, home] {
        BatchOptions& o = *options;
        o.process.methodFolder = methodFolderOf(*home);
        std::error_code ec;
        const bool single = o.inputs.size() == 1 && !fs::is_directory(o.inputs[0], ec) &&
            o.summary.empty() && o.outputDir.empty() && !o.recursive;
        int status = 0;
        if (single) {
            o.process.path = o.inputs[0];
            status = runProcess(o.process, std::cout, std::cerr);
        } else if (!o.process.outputPath.empty() || o.process.json) {
            std::cerr << "dgaws-cli: -o and --json take one file; many files take --output-dir "
                         "and --summary\n";
            status = 2;
        } else {
            o.progress = ::isatty(STDERR_FILENO) != 0;
            status = runBatch(o, std::cout, std::cerr);
        }
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
