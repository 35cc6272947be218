#include "EditCommand.h"

#include "DocumentFiles.h"
#include "ProcessCommand.h"
#include "RecordJson.h"

#include "chromatogram/SampleIndex.h"
#include "processing/EditLimits.h"
#include "processing/ManualEventKind.h"
#include "processing/ManualEventTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

namespace dgaws::cli {

const std::vector<EditStepKind>& editStepKinds()
{
    static const std::vector<EditStepKind> kinds = {
        {"add", "START,APEX,END", "Add a peak from its start, apex and end (minutes)"},
        {"delete", "N", "Delete peak N"},
        {"move-start", "N,TIME", "Move the start of peak N to TIME (minutes)"},
        {"move-apex", "N,TIME", "Move the apex of peak N to TIME"},
        {"move-end", "N,TIME", "Move the end of peak N to TIME"},
        {"vertical-cut", "N,TIME", "Vertical cut from peak N to the click at TIME"},
        {"slant-cut", "N,TIME", "Slant cut from peak N to the click at TIME"},
        {"horizontal-baseline", "N,TIME", "Horizontal baseline from peak N to TIME"},
        {"tail-behind", "N,TIME", "Peak N carries the peaks up to TIME on its tail"},
        {"tail-before", "N,TIME", "Peak N carries the peaks back to TIME on its front"},
        {"negative", "N", "Toggle peak N negative"},
        {"undo", "", "Undo the last edit"},
        {"redo", "", "Redo the last undone edit"},
        {"delete-event", "N", "Delete row N of the manual event table"},
        {"clear-events", "", "Empty the manual event table"},
    };
    return kinds;
}

namespace {

// A step that cannot be made: the reason, after the option as it was typed.
struct StepFailure {
    std::string reason;
};

// A time in minutes; "nan" and "inf" name no sample.
std::optional<double> typedTime(const std::string& text)
{
    double v = 0.0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc{} || r.ptr != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// A time typed with a few decimals lands on the sample it names rather than on the one
// before it.
int nearestSample(const ChromatogramData& data, double minutes)
{
    return sampleIndex(data.pointsPerSecond, minutes, SampleRounding::Nearest);
}

std::optional<int> integer(const std::string& text)
{
    int v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc{} || r.ptr != end)
        return std::nullopt;
    return v;
}

std::vector<std::string> fields(const std::string& value)
{
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(value);
    while (std::getline(in, field, ','))
        out.push_back(field);
    if (!value.empty() && value.back() == ',')
        out.emplace_back();
    return out;
}

std::string minutesText(double minutes)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", minutes);
    return buf;
}

class StepRunner {
public:
    explicit StepRunner(CChrEDoc& doc) : doc_(doc) {}

    // Empty when the step was made.
    std::optional<StepFailure> run(const EditStep& step)
    {
        const EditStepKind* kind = kindOf(step.name);
        if (!kind)
            return StepFailure{"not an edit"};
        const std::string form = kind->value;
        if (form.empty())
            return runFlag(step.name);
        if (form == "N")
            return runPeak(step.name, step.value);
        if (form == "N,TIME")
            return runPeakTime(step.name, step.value);
        return runAdd(step.value);
    }

private:
    static const EditStepKind* kindOf(const std::string& name)
    {
        for (const EditStepKind& k : editStepKinds())
            if (name == k.name)
                return &k;
        return nullptr;
    }

    PeakEditor& editor() { return doc_.editor; }
    const PeakTable& peaks() const { return doc_.data.peaks; }

    static std::optional<StepFailure> status(EditStatus s)
    {
        if (s == EditStatus::Done)
            return std::nullopt;
        return StepFailure{editStatusText(s)};
    }

    std::optional<StepFailure> runFlag(const std::string& name)
    {
        if (name == "undo")
            return editor().undo() ? std::nullopt
                                   : std::optional<StepFailure>{{"there is nothing to undo"}};
        if (name == "redo")
            return editor().redo() ? std::nullopt
                                   : std::optional<StepFailure>{{"there is nothing to redo"}};
        // clear-events
        ManualEventTable table(doc_.data.method);
        table.clear();
        table.commitTo(doc_.data.method);
        doc_.setModifiedFlag(true);
        return std::nullopt;
    }

    std::optional<StepFailure> runPeak(const std::string& name, const std::string& value)
    {
        const std::optional<int> n = integer(value);
        if (!n)
            return StepFailure{"expected a number N"};
        if (name == "delete-event") {
            ManualEventTable table(doc_.data.method);
            if (!table.deleteRow(*n - 1))
                return StepFailure{"the manual event table has no row " + value};
            table.commitTo(doc_.data.method);
            doc_.setModifiedFlag(true);
            return std::nullopt;
        }
        const int row = *n - 1;
        if (name == "delete")
            return status(editor().deletePeak(row));
        return status(editor().toggleNegative(row));
    }

    std::optional<StepFailure> runPeakTime(const std::string& name, const std::string& value)
    {
        const std::vector<std::string> f = fields(value);
        const std::optional<int> n = f.size() == 2 ? integer(f[0]) : std::nullopt;
        const std::optional<double> t = f.size() == 2 ? typedTime(f[1]) : std::nullopt;
        if (!n || !t)
            return StepFailure{"expected N,TIME (a peak number and minutes)"};
        const int row = *n - 1;
        const int sample = nearestSample(doc_.data, *t);
        PeakEditor& e = editor();
        const std::map<std::string, EditStatus (PeakEditor::*)(int, int)> ops = {
            {"move-start", &PeakEditor::moveStart},
            {"move-apex", &PeakEditor::moveApex},
            {"move-end", &PeakEditor::moveEnd},
            {"vertical-cut", &PeakEditor::verticalCut},
            {"slant-cut", &PeakEditor::slantCut},
            {"horizontal-baseline", &PeakEditor::horizontalBaseline},
            {"tail-behind", &PeakEditor::tailingBehind},
            {"tail-before", &PeakEditor::tailingBefore},
        };
        const EditStatus s = (e.*ops.at(name))(row, sample);
        if (s == EditStatus::OutsideLimits)
            return StepFailure{std::string(editStatusText(s)) + limitsText(name, row)};
        return status(s);
    }

    // Where the point could have gone, in minutes.
    std::string limitsText(const std::string& name, int row) const
    {
        const int count = doc_.data.signal.count();
        const SampleSpan span = name == "move-start" ? EditLimits::start(peaks(), row, count)
            : name == "move-apex"                    ? EditLimits::apex(peaks(), row, count)
                                                     : EditLimits::end(peaks(), row, count);
        if (span.empty())
            return ": this point of the peak cannot move";
        const int rate = doc_.data.pointsPerSecond;
        return ": it may lie from " + minutesText(minutesOf(span.first, rate)) + " to " +
            minutesText(minutesOf(span.last, rate)) + " min";
    }

    std::optional<StepFailure> runAdd(const std::string& value)
    {
        const std::vector<std::string> f = fields(value);
        std::vector<int> samples;
        for (const std::string& field : f)
            if (const std::optional<double> t = typedTime(field))
                samples.push_back(nearestSample(doc_.data, *t));
        if (f.size() != 3 || samples.size() != 3)
            return StepFailure{"expected START,APEX,END in minutes"};
        if (!editor().canAddPeak())
            return status(EditStatus::Unavailable);
        // The three clicks of the graph, each checked as it is made.
        static constexpr const char* kPoints[] = {"start", "apex", "end"};
        AddPeakClicks clicks;
        for (int i = 0; i < 3; ++i) {
            const EditStatus s = clicks.click(peaks(), doc_.data.signal.count(), samples[i]);
            if (s != EditStatus::Done)
                return StepFailure{std::string("the ") + kPoints[i] + ": " + editStatusText(s)};
        }
        return status(editor().addPeak(clicks));
    }

    CChrEDoc& doc_;
};

Json manualEventsJson(const AnalysisMethod& method)
{
    Json rows = Json::array();
    for (const ManualEvent& e : method.manualEvents)
        rows.push_back({{"kind", e.kind},
                        {"text", ManualEventKind::text(e.kind)},
                        {"time", jsonNumber(e.time)},
                        {"peakNumber", e.peak.number},
                        {"startIndex", e.peak.startIndex},
                        {"apexIndex", e.peak.apexIndex},
                        {"endIndex", e.peak.endIndex}});
    return rows;
}

void printManualEvents(std::ostream& out, const AnalysisMethod& method)
{
    ManualEventTable table(method);
    out << "  Manual events: " << table.size() << '\n';
    for (int i = 0; i < table.size(); ++i) {
        const ManualEventTable::RowText r = table.rowText(i);
        out << "    " << r.number << "  " << r.time << "  " << r.event << '\n';
    }
}

}  // namespace

int runEdit(const EditOptions& options, std::ostream& out, std::ostream& err)
{
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
    StepRunner runner(doc);
    for (const EditStep& step : options.steps) {
        if (const std::optional<StepFailure> failure = runner.run(step)) {
            err << "dgaws-cli: --" << step.name << (step.value.empty() ? "" : " ") << step.value
                << ": " << failure->reason << '\n';
            return 1;
        }
    }
    if (!options.outputPath.empty() && !writeChromatogram(doc, options.outputPath, err))
        return 1;

    std::ostringstream text;
    if (options.json) {
        Json j = Json::object();
        j["file"] = options.path;
        j["edits"] = static_cast<int>(options.steps.size());
        j.update(resultJson(doc.data, doc.calibrationCurve()));
        j["manualEvents"] = manualEventsJson(doc.data.method);
        if (!options.outputPath.empty())
            j["output"] = options.outputPath;
        text << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        text << options.path << '\n'
             << "  Edits: " << options.steps.size() << '\n'
             << "  Peaks: " << doc.data.peaks.size() << '\n';
        printResultTable(text, doc.data, doc.calibrationCurve());
        printManualEvents(text, doc.data.method);
        if (!options.outputPath.empty())
            text << "  Written to " << options.outputPath << '\n';
    }
    out << text.str();
    out.flush();
    return 0;
}

void addEditCommand(CLI::App& app)
{
    auto options = std::make_shared<EditOptions>();
    CLI::App* cmd = app.add_subcommand(
        "edit",
        "Edit the peaks of a chromatogram (.chg) as the graph does; the edits are "
        "applied in the order given, peaks numbered from 1 as the result table shows "
        "them, times in minutes");
    cmd->add_option("FILE", options->path, "Chromatogram file (.chg)")->required();
    for (const EditStepKind& k : editStepKinds()) {
        const std::string name = std::string("--") + k.name;
        if (*k.value == '\0')
            cmd->add_flag(name, k.help);
        else
            cmd->add_option(name, k.help)->type_name(k.value)->take_all();
    }
    cmd->add_option("-o,--output", options->outputPath, "Write the edited chromatogram (.chg)");
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
    cmd->callback([options, cmd, home] {
        options->methodFolder = methodFolderOf(*home);
        // Each occurrence of an edit option, in the order typed.
        std::map<const CLI::Option*, size_t> used;
        options->steps.clear();
        for (const CLI::Option* opt : cmd->parse_order()) {
            const std::string name = opt->get_name().substr(2);
            const bool isEdit = std::any_of(editStepKinds().begin(), editStepKinds().end(),
                                            [&](const EditStepKind& k) { return name == k.name; });
            if (!isEdit)
                continue;
            const size_t i = used[opt]++;
            const auto& values = opt->results();
            options->steps.push_back(
                {name, opt->get_expected_min() == 0 || i >= values.size() ? "" : values[i]});
        }
        const int status = runEdit(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
