#include "ConvertCommand.h"

#include "RecordJson.h"

#include "chromatogram/ChromatogramKinds.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace dgaws::cli {
namespace {

constexpr const char* kKinds = "chg, dat, cdf, txt, std or csv";

std::optional<ChromatogramKind> chosenKind(const std::string& name, const std::string& path,
                                           bool existing)
{
    if (!name.empty())
        return kindFromName(name);
    return existing ? kindOfFile(path) : kindForNewFile(path);
}

bool carriesPeaks(ChromatogramKind kind)
{
    return kind == ChromatogramKind::Chg || kind == ChromatogramKind::Cdf;
}

}  // namespace

int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err)
{
    const auto from = chosenKind(options.from, options.input, true);
    if (!from) {
        err << "dgaws-cli: cannot tell the kind of " << options.input
            << " from its extension; give --from " << kKinds << '\n';
        return 2;
    }
    const auto to = chosenKind(options.to, options.output, false);
    if (!to) {
        err << "dgaws-cli: cannot tell the kind of " << options.output
            << " from its extension; give --to " << kKinds << '\n';
        return 2;
    }

    ChromatogramData data;
    try {
        data = readChromatogramOfKind(options.input, *from, options.rate);
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot read " << options.input << ": " << e.what() << '\n';
        return 1;
    }
    std::error_code ec;
    const std::filesystem::path source = std::filesystem::absolute(options.input, ec);
    try {
        writeChromatogramOfKind(options.output, *to, data, ec ? options.input : source.string());
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot write " << options.output << ": " << e.what() << '\n';
        return 1;
    }

    if (*to == ChromatogramKind::Dat)
        err << "dgaws-cli: " << options.output << " keeps no rate; read it back with "
            << "--points-per-second " << data.pointsPerSecond << '\n';

    const int peaks = carriesPeaks(*from) && carriesPeaks(*to) ? data.peaks.size() : 0;
    if (options.json) {
        Json j = Json::object();
        j["input"] = options.input;
        j["from"] = kindName(*from);
        j["output"] = options.output;
        j["to"] = kindName(*to);
        j["pointsPerSecond"] = data.pointsPerSecond;
        j["sampleCount"] = data.signal.count();
        j["peakCount"] = peaks;
        out << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        out << options.input << " (" << kindName(*from) << ") -> " << options.output << " ("
            << kindName(*to) << "): " << data.signal.count() << " samples at "
            << data.pointsPerSecond << " points per second, " << peaks << " peaks\n";
    }
    out.flush();
    return 0;
}

void addConvertCommand(CLI::App& app)
{
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* cmd = app.add_subcommand(
        "convert", "Convert a chromatogram between .chg, .dat, AIA .cdf and the text layouts");
    cmd->add_option("IN", options->input, "Chromatogram to read")->required();
    cmd->add_option("OUT", options->output, "File to write (replaced as a whole)")->required();
    const std::vector<std::string> kinds{"chg", "dat", "cdf", "txt", "std", "csv"};
    cmd->add_option("--from", options->from,
                    "Kind of IN (default: its extension; a .txt with line breaks is std)")
        ->check(CLI::IsMember(kinds));
    cmd->add_option("--to", options->to, "Kind of OUT (default: its extension)")
        ->check(CLI::IsMember(kinds));
    cmd->add_option("--rate,--points-per-second", options->rate,
                    "Points per second of an input that carries no rate (.dat, plain text)")
        ->check(CLI::Range(1, kMaxImportedRate));
    cmd->add_flag("--json", options->json, "Print what was converted as one JSON document");
    cmd->callback([options] {
        const int status = runConvert(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
