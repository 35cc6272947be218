#include "AcquireCommand.h"

#include "RecordJson.h"
#include "acquisition/Autosave.h"
#include "app/DataRoot.h"
#include "app/TerminationSignals.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/IntegrationParams.h"

#include <CLI/CLI.hpp>

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace dgaws::cli {
namespace {

const char* channelName(int channel)
{
    return channel == 0 ? "A" : "B";
}

std::string formatFixed(const char* pattern, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, v);
    return buf;
}

bool parseChannels(const std::string& text, HeadlessOptions& o)
{
    if (text == "A")
        o.channelB = false;
    else if (text == "B")
        o.channelA = false;
    else if (text != "AB")
        return false;
    return true;
}

// A run length from the command line, before anything is opened or written.
bool minutesRefused(const std::optional<double>& minutes, std::ostream& err)
{
    if (!minutes || IntegrationParams::stopTimeAllowed(*minutes))
        return false;
    err << "dgaws-cli: --minutes must be more than 0 and at most 1440 (24 hours)\n";
    return true;
}

std::chrono::steady_clock::time_point farFuture()
{
    return std::chrono::steady_clock::now() + std::chrono::hours(24 * 365);
}

// Ctrl-C or a terminate request ends the runs the way the stop command does: saved. The
// exit status then tells the signal, whatever was saved.
int finish(HeadlessRun& run, std::ostream& out, bool json, const TerminationSignals& termination)
{
    printRunResults(out, run.results(), json);
    if (termination.first() != 0)
        return TerminationSignals::exitStatus(termination.first());
    bool allSaved = !run.results().empty();
    for (const auto& r : run.results())
        allSaved = allSaved && !r.path.empty();
    return allSaved ? 0 : 1;
}

}  // namespace

void printRunResults(std::ostream& out, const std::vector<HeadlessResult>& results, bool json)
{
    if (json) {
        Json runs = Json::array();
        for (const auto& r : results) {
            Json j = Json::object();
            j["channel"] = channelName(r.channel);
            j["file"] = r.path;
            j.update(toJson(r.data, false));
            runs.push_back(std::move(j));
        }
        Json doc = Json::object();
        doc["runs"] = std::move(runs);
        out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
        out.flush();
        return;
    }
    for (const auto& r : results) {
        const ChromatogramData& d = r.data;
        out << "通道" << channelName(r.channel) << ": "
            << (r.path.empty() ? std::string("(not saved)") : r.path) << '\n';
        out << "  " << d.signal.count() << " points at " << d.pointsPerSecond << " per second, "
            << formatFixed("%.3f", d.duration()) << " min";
        const SignalRange range = finiteRange(d.signal);
        if (range.valid)
            out << ", " << formatFixed("%.3f", range.min * 0.001) << " to "
                << formatFixed("%.3f", range.max * 0.001) << " mV";
        out << ", " << d.peaks.size() << " peaks\n";
        for (const PeakRecord& p : d.peaks)
            out << "  " << p.number << "  " << formatFixed("%.3f", p.retentionTime) << " min  "
                << (p.componentName.empty() ? std::string("-") : p.componentName) << "  area "
                << formatFixed("%.1f", p.area) << "  height " << formatFixed("%.1f", p.height)
                << "  content " << formatFixed("%.3f", p.gasContent) << '\n';
    }
    out.flush();
}

int runAcquire(const AcquireOptions& options, std::ostream& out, std::ostream& err)
{
    if (minutesRefused(options.minutes, err))
        return 2;
    HeadlessOptions h;
    h.methodPath = options.method.empty() ? shippedDataFile("QLDefault.she") : options.method;
    h.outDir = options.outDir;
    h.minutes = options.minutes;
    h.merge = options.merge;
    if (!parseChannels(options.channel, h)) {
        err << "dgaws-cli: --channel takes A, B or AB\n";
        return 2;
    }
    HeadlessRun run(h, err);
    if (!run.prepare())
        return 1;
    run.reportUnfinishedRuns();
    run.openChannels();
    if (!run.link().openCollectorPort(options.port)) {
        err << "dgaws-cli: cannot open port " << options.port << '\n';
        return 1;
    }
    TerminationSignals termination;
    auto interrupted = [&termination] { return termination.first() != 0; };
    if (options.waitStart) {
        // The instrument's start signal starts the run inside the collector.
        auto anyRunning = [&run] {
            for (int c = 0; c < 2; ++c)
                if (run.document(c) && run.document(c)->acquiring())
                    return true;
            return false;
        };
        while (!anyRunning() && !interrupted())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!anyRunning()) {
            err << "dgaws-cli: interrupted before the start signal\n";
            return TerminationSignals::exitStatus(termination.first());
        }
    } else {
        const auto deadline = std::chrono::steady_clock::now() +
            std::chrono::milliseconds(static_cast<long long>(options.confirmSeconds * 1000.0));
        if (!run.waitForConfirm(deadline, interrupted)) {
            if (interrupted()) {
                err << "dgaws-cli: interrupted before the collector answered\n";
                return TerminationSignals::exitStatus(termination.first());
            }
            err << "dgaws-cli: no collector answered on " << options.port << '\n';
            return 1;
        }
        CChrEDoc* first = run.document(h.channelA ? 0 : 1);
        if (first == nullptr || !run.runs().run(*first))
            return 1;
    }
    run.waitForRuns(farFuture(), interrupted);
    run.link().shutdown();
    return finish(run, out, options.json, termination);
}

int runDemo(const DemoOptions& options, std::ostream& out, std::ostream& err)
{
    if (minutesRefused(options.minutes, err))
        return 2;
    HeadlessOptions h;
    h.methodPath = options.method.empty() ? shippedDataFile("QLDefault.she") : options.method;
    h.outDir = options.outDir.empty() ? DataRoot(dataRoot(options.home)).defaultProjectPath()
                                      : options.outDir;
    h.minutes = options.minutes;
    h.merge = options.merge;
    HeadlessRun run(h, err);
    run.settings().SimDataPath =
        options.demoData.empty() ? shippedDataFile("QLCHGDATA.DMD") : options.demoData;
    if (!run.prepare())
        return 1;
    run.reportUnfinishedRuns();
    run.openChannels();
    run.link().setSimulationSpeed(options.speed);
    if (!run.link().startSimulation())
        return 1;
    CChrEDoc* a = run.document(0);
    if (a == nullptr || !run.runs().run(*a))
        return 1;
    TerminationSignals termination;
    run.waitForRuns(farFuture(), [&termination] { return termination.first() != 0; });
    run.link().shutdown();
    return finish(run, out, options.json, termination);
}

int runRecover(const RecoverOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string dir = options.dir.empty() ? autosaveFolderOf(".") : options.dir;
    std::string outDir = options.outDir;
    if (outDir.empty()) {
        const auto parent = std::filesystem::path(dir).lexically_normal().parent_path();
        outDir = parent.empty() ? "." : parent.string();
    }
    std::vector<HeadlessResult> results;
    int status = 0;
    for (const std::string& path : findAutosaves(dir)) {
        HeadlessResult r;
        try {
            r.data = recoverAutosave(path);
            // The channel is not stored; the name the run was given starts with it.
            r.channel = std::filesystem::path(path).filename().string().rfind("B_", 0) == 0 ? 1 : 0;
            std::filesystem::create_directories(outDir);
            const std::string stem = std::filesystem::path(path).stem().string();
            std::string target = (std::filesystem::path(outDir) / (stem + ".chg")).string();
            for (int n = 1; fileExists(target); ++n)
                target = (std::filesystem::path(outDir) / (stem + "_" + std::to_string(n) + ".chg"))
                             .string();
            writeChromatogramFile(target, r.data);
            // Only once the chromatogram is safely written does the safety copy go.
            std::filesystem::remove(path);
            r.path = target;
        } catch (const std::exception& e) {
            err << "dgaws-cli: cannot recover " << path << ": " << e.what() << '\n';
            status = 1;
            continue;
        }
        results.push_back(std::move(r));
    }
    printRunResults(out, results, options.json);
    return status;
}

void addAcquireCommand(CLI::App& app)
{
    auto o = std::make_shared<AcquireOptions>();
    CLI::App* cmd =
        app.add_subcommand("acquire", "Record a run from a collector on a serial port and save it");
    cmd->add_option("--port", o->port, "Serial device of the collector, e.g. /dev/ttyUSB0")
        ->required();
    cmd->add_option("--channel", o->channel, "A, B or AB")->check(CLI::IsMember({"A", "B", "AB"}));
    cmd->add_option("--minutes", o->minutes, "Run length, replacing the method's stop time");
    cmd->add_option("--method", o->method, "Analysis method (.she); its folder is the library");
    cmd->add_option("--out", o->outDir, "Folder the chromatograms are saved in");
    cmd->add_flag("--json", o->json, "One JSON document of the saved runs");
    cmd->add_flag("--wait-start", o->waitStart,
                  "Start on the instrument's start signal instead of at once");
    cmd->add_flag("!--no-merge", o->merge, "Keep the two channels' chromatograms apart");
    cmd->add_option("--confirm-timeout", o->confirmSeconds,
                    "Seconds to wait for the collector's ready byte");
    cmd->callback([o] {
        const int status = runAcquire(*o, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

void addDemoCommand(CLI::App& app)
{
    auto o = std::make_shared<DemoOptions>();
    CLI::App* cmd = app.add_subcommand(
        "demo", "A whole run of both channels on the simulated connection, saved and evaluated");
    cmd->add_option("--minutes", o->minutes, "Run length, replacing the method's stop time");
    cmd->add_option("--method", o->method, "Analysis method (.she); its folder is the library");
    cmd->add_option("--out", o->outDir,
                    "Folder the chromatograms are saved in (default: Data under the data root)");
    cmd->add_option("--home", o->home, "Data root (default: DGAWS_HOME or ~/dgaws)");
    cmd->add_option("--data", o->demoData, "Demonstration data (QLCHGDATA.DMD)");
    cmd->add_option("--speed", o->speed, "Play the data this many times faster than real time")
        ->check(CLI::Range(1.0, 1.0e6));
    cmd->add_flag("--json", o->json, "One JSON document of the saved runs");
    cmd->add_flag("!--no-merge", o->merge, "Keep the two channels' chromatograms apart");
    cmd->callback([o] {
        const int status = runDemo(*o, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

void addRecoverCommand(CLI::App& app)
{
    auto o = std::make_shared<RecoverOptions>();
    CLI::App* cmd = app.add_subcommand(
        "recover", "Turn the safety copies of runs that never finished into chromatograms");
    cmd->add_option("--dir", o->dir, "Folder of the safety copies (default ./自动保存)");
    cmd->add_option("--out", o->outDir, "Folder for the chromatograms (default: its parent)");
    cmd->add_flag("--json", o->json, "One JSON document of the recovered runs");
    cmd->callback([o] {
        const int status = runRecover(*o, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
