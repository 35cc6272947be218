#include "SignalCommand.h"

#include "DocumentFiles.h"
#include "ProcessCommand.h"
#include "RecordJson.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

namespace dgaws::cli {

namespace {

// One operation and its argument, taken from the words of the command line.
struct Operation {
    std::string name;
    std::string argument;
};

// Empty with a reason on `problem` when the words do not make operations.
std::vector<Operation> operationsOf(const std::vector<std::string>& words, std::string& problem)
{
    std::vector<Operation> ops;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "smooth" || w == "subtract-baseline") {
            if (i + 1 >= words.size()) {
                problem = w + " needs " + (w == "smooth" ? "a width" : "a baseline chromatogram");
                return {};
            }
            ops.push_back({w, words[++i]});
        } else if (w == "subtract-drift" || w == "restore" || w == "separate") {
            ops.push_back({w, ""});
        } else {
            problem = "unknown operation " + w +
                " (smooth W, subtract-drift, subtract-baseline B.chg, restore, separate)";
            return {};
        }
    }
    if (ops.empty())
        problem = "no operation given";
    return ops;
}

// Empty when the operation changed the chromatogram; otherwise why it did not.
std::optional<std::string> apply(CChrEDoc& doc, const Operation& op, std::string& shown)
{
    if (op.name == "smooth") {
        int width = 0;
        const char* end = op.argument.data() + op.argument.size();
        const auto r = std::from_chars(op.argument.data(), end, width);
        if (r.ec != std::errc{} || r.ptr != end)
            return "the width must be a whole number";
        if (!doc.smoothSignal(width))
            return "a width of 1 or less, or an empty signal, leaves nothing to smooth";
        return std::nullopt;
    }
    if (op.name == "subtract-drift") {
        if (!doc.subtractOwnDrift())
            return "the chromatogram has no peaks whose baselines give a drift";
        return std::nullopt;
    }
    if (op.name == "subtract-baseline") {
        if (!doc.subtractBaselineChromatogram(op.argument))
            return shown.empty() ? "the baseline chromatogram was not subtracted" : shown;
        return std::nullopt;
    }
    if (op.name == "restore") {
        if (!doc.restoreSignal())
            return "no baseline subtraction is in effect";
        return std::nullopt;
    }
    // separate
    const EditStatus s = doc.editor.separateAllPeaks();
    if (s != EditStatus::Done)
        return editStatusText(s);
    return std::nullopt;
}

}  // namespace

int runSignal(const SignalOptions& options, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const std::vector<Operation> ops = operationsOf(options.operations, problem);
    if (ops.empty()) {
        err << "dgaws-cli: " << problem << '\n';
        return 1;
    }
    // The document keeps a pointer to the library; it must not outlive it.
    MethodLibrary library;
    if (!options.methodFolder.empty())
        library.loadLibrary(options.methodFolder);
    CChrEDoc doc;
    doc.setMethodLibrary(&library);
    doc.setStandardRunsStored(options.updateLibrary);
    if (!openChromatogram(doc, options.path, err))
        return 1;
    doc.engine.setSettings({options.cacuFrequence, 0});
    // The document's own message for a refused operation; the last one is the one that
    // explains the failure.
    std::string shown;
    doc.setMessageSink([&shown](const std::string& text) { shown = text; });
    for (const Operation& op : ops) {
        shown.clear();
        if (const std::optional<std::string> failure = apply(doc, op, shown)) {
            err << "dgaws-cli: " << op.name << (op.argument.empty() ? "" : " ") << op.argument
                << ": " << *failure << '\n';
            return 1;
        }
    }
    if (!options.outputPath.empty() && !writeChromatogram(doc, options.outputPath, err))
        return 1;

    const ChromatogramData& d = doc.data;
    std::ostringstream text;
    if (options.json) {
        Json j = Json::object();
        j["file"] = options.path;
        j["operations"] = options.operations;
        j["samples"] = d.signal.count();
        j["signalMin"] = jsonNumber(d.signalMin);
        j["signalMax"] = jsonNumber(d.signalMax);
        j["baselineSubtracted"] = doc.signalCorrection.baselineSubtracted();
        j["timeStart"] = jsonNumber(d.method.timeStart);
        j["timeEnd"] = jsonNumber(d.method.timeEnd);
        j["levelMin"] = jsonNumber(d.method.levelMin);
        j["levelMax"] = jsonNumber(d.method.levelMax);
        j.update(resultJson(d, doc.calibrationCurve()));
        if (!options.outputPath.empty())
            j["output"] = options.outputPath;
        text << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        text << options.path << '\n'
             << "  Samples: " << d.signal.count() << ", from " << d.signalMin << " to "
             << d.signalMax << " uV\n"
             << "  Baseline subtracted: "
             << (doc.signalCorrection.baselineSubtracted() ? "yes" : "no") << '\n'
             << "  Peaks: " << d.peaks.size() << '\n';
        printResultTable(text, d, doc.calibrationCurve());
        if (!options.outputPath.empty())
            text << "  Written to " << options.outputPath << '\n';
    }
    out << text.str();
    out.flush();
    return 0;
}

void addSignalCommand(CLI::App& app)
{
    auto options = std::make_shared<SignalOptions>();
    CLI::App* cmd = app.add_subcommand(
        "signal",
        "Change the signal of a chromatogram (.chg): smooth W, subtract-drift, "
        "subtract-baseline B.chg, restore, separate; applied in the order given");
    cmd->add_option("FILE", options->path, "Chromatogram file (.chg)")->required();
    cmd->add_option("OPERATION", options->operations, "The operations and their arguments")
        ->required();
    cmd->add_option("-o,--output", options->outputPath, "Write the changed chromatogram (.chg)");
    cmd->add_flag("--json", options->json, "One JSON document keyed by the records' field names");
    cmd->add_option("--cacu-frequence", options->cacuFrequence,
                    "The CacuFrequence setting: 0, 1 or 2 for area divisors 10, 20, 50 where the "
                    "chromatogram's own rate is not known")
        ->default_val(1);
    cmd->add_flag("--update-library", options->updateLibrary,
                  "A standard's changed run replaces its run in its calibration curve, and the "
                  "method file is written (by default the library is left as it was)");
    auto home = std::make_shared<std::string>();
    cmd->add_option("--home", *home,
                    "Data root whose method library the chromatogram is linked to "
                    "(default: DGAWS_HOME or ~/dgaws)");
    cmd->callback([options, home] {
        options->methodFolder = methodFolderOf(*home);
        const int status = runSignal(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
