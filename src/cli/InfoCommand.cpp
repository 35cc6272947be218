#include "InfoCommand.h"

#include "InfoSummary.h"

#include "chromatogram/Interchange.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <sstream>

namespace dgaws::cli {

Json infoJson(const InfoDocument& doc, bool includeSamples)
{
    Json j = Json::object();
    j["file"] = doc.path;
    j["fileType"] = infoFileTypeTag(doc.type);
    if (const auto* d = std::get_if<ChromatogramData>(&doc.record))
        j.update(toJson(*d, includeSamples));
    else if (const auto* e = std::get_if<MethodLibraryEntry>(&doc.record))
        j.update(toJson(*e));
    else if (const auto* t = std::get_if<TestRecordBlock>(&doc.record))
        j.update(toJson(*t));
    return j;
}

int runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err)
{
    // Everything is built before anything is printed, so a failure never leaves half a
    // document on stdout for a script to choke on.
    std::string text;
    try {
        const InfoDocument doc = loadInfoDocument(options.path, options.pointsPerSecond);
        if (options.json) {
            // Format tags are copied raw from the file; stray bytes there must not cost the
            // whole document.
            text =
                infoJson(doc, options.samples).dump(2, ' ', false, Json::error_handler_t::replace);
            text += '\n';
        } else {
            std::ostringstream summary;
            printInfoSummary(summary, doc);
            text = summary.str();
        }
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot read " << options.path << ": " << e.what() << '\n';
        return 1;
    }
    out << text;
    out.flush();
    return 0;
}

void addInfoCommand(CLI::App& app)
{
    auto options = std::make_shared<InfoOptions>();
    CLI::App* cmd = app.add_subcommand(
        "info", "Print the records of a chromatogram (.chg, .dat) or method (.she) file");
    cmd->add_option("FILE", options->path, "File to read")->required();
    CLI::Option* json = cmd->add_flag("--json", options->json,
                                      "One JSON document keyed by the records' field names");
    cmd->add_flag("--samples", options->samples, "Include every signal sample in the JSON")
        ->needs(json);
    cmd->add_option("--points-per-second", options->pointsPerSecond,
                    "Sampling rate of a file that keeps none (a .dat is otherwise taken at 10)")
        ->check(CLI::Range(1, kMaxImportedRate));
    cmd->callback([options] {
        const int status = runInfo(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
