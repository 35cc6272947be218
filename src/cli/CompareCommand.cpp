#include "CompareCommand.h"

#include "RecordJson.h"

#include "chromatogram/ChromatogramKinds.h"
#include "chromatogram/Interchange.h"
#include "processing/ComparisonOperations.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

namespace dgaws::cli {

int runCompare(const CompareOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string& op = options.operation;
    const size_t n = options.inputs.size();
    const bool single = op == "derivative" || op == "invert";
    if ((single && n != 1) || (op == "subtract" && n != 2) || (!single && n < 2)) {
        err << "dgaws-cli: " << op << " takes "
            << (single                 ? "one chromatogram"
                    : op == "subtract" ? "two chromatograms"
                                       : "two or more chromatograms")
            << ", not " << n << '\n';
        return 2;
    }
    if (!options.shifts.empty() && options.shifts.size() != n) {
        err << "dgaws-cli: give one --shift per chromatogram (" << n << "), or none\n";
        return 2;
    }

    ComparisonSet set;
    for (size_t i = 0; i < n; ++i) {
        const std::string& path = options.inputs[i];
        ComparisonEntry e;
        try {
            const auto kind = kindOfFile(path);
            e.data = readChromatogramOfKind(path, kind.value_or(ChromatogramKind::Chg), 0);
        } catch (const std::exception& ex) {
            err << "dgaws-cli: cannot read " << path << ": " << ex.what() << '\n';
            return 1;
        }
        e.path = path;
        e.checked = 1;
        e.timeShift = options.shifts.empty() ? 0.0 : options.shifts[i];
        e.baseLevel = comparison::baseLevel(e.data);
        set.entries.push_back(std::move(e));
    }
    set.current = 0;

    ChromatogramData result;
    try {
        if (op == "sum" || op == "average")
            result = comparison::sumOfChecked(set.entries, op == "average");
        else if (op == "subtract")
            result = comparison::differenceOfChecked(set.entries, {});
        else if (op == "derivative")
            result = comparison::firstDerivative(set.entries[0].data);
        else
            result = comparison::inverted(set.entries[0].data);
    } catch (const comparison::ComparisonError& ex) {
        err << "dgaws-cli: " << op << ": " << ex.what() << '\n';
        return 1;
    }

    try {
        comparison::appendResult(set, options.output, std::move(result));
    } catch (const std::exception& ex) {
        err << "dgaws-cli: cannot write " << options.output << ": " << ex.what() << '\n';
        return 1;
    }
    const ChromatogramData& r = set.entries.back().data;
    if (options.json) {
        Json j = Json::object();
        j["operation"] = op;
        j["inputs"] = options.inputs;
        j["output"] = options.output;
        j["pointsPerSecond"] = r.pointsPerSecond;
        j["sampleCount"] = r.signal.count();
        j["signalMax"] = jsonNumber(r.signalMax);
        j["signalMin"] = jsonNumber(r.signalMin);
        out << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        out << op << " of " << n << (n == 1 ? " chromatogram" : " chromatograms") << " -> "
            << options.output << ": " << r.signal.count() << " samples at " << r.pointsPerSecond
            << " points per second\n";
    }
    out.flush();
    return 0;
}

void addCompareCommand(CLI::App& app)
{
    auto options = std::make_shared<CompareOptions>();
    CLI::App* cmd = app.add_subcommand(
        "compare", "Sum, average, subtract, differentiate or invert chromatograms into a new .chg");
    cmd->add_option("OPERATION", options->operation, "sum, average, subtract, derivative, invert")
        ->required()
        ->check(CLI::IsMember({"sum", "average", "subtract", "derivative", "invert"}));
    cmd->add_option("IN", options->inputs, "Chromatograms, in order")->required();
    cmd->add_option("-o,--output", options->output, "The new .chg file")->required();
    cmd->add_option("--shift", options->shifts,
                    "Time shift of each chromatogram in minutes, one per chromatogram");
    cmd->add_flag("--json", options->json, "Print the result's figures as one JSON document");
    cmd->callback([options] {
        const int status = runCompare(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
