#include "MethodCommand.h"

#include "ProcessCommand.h"
#include "RecordJson.h"

#include "app/CLogManage.h"
#include "app/DataRoot.h"
#include "app/DataRootSetUp.h"
#include "app/SettingsStore.h"
#include "app/SystemSettings.h"
#include "chromatogram/ChromatogramKinds.h"
#include "chromatogram/MethodLibrary.h"
#include "processing/IntegrationProposal.h"
#include "processing/PeakEngine.h"
#include "processing/PeakTableComparison.h"
#include "processing/TimeEventType.h"
#include "processing/TimeProgramRows.h"
#include "report/DgaReport.h"

#include <CLI/CLI.hpp>

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

namespace dgaws::cli {
namespace {

// Sets one plain field of a record by its stored name from a text; lists and blocks are
// not addressed this way.
template <class R> class FieldSetter : public fields::CurrentLayout {
public:
    FieldSetter(R& record, const std::string& name, const std::string& text)
        : record_(record), name_(name), text_(text)
    {}

    template <class T> void field(const char* name, T R::*m, FieldTags = {})
    {
        if (name_ != name)
            return;
        if constexpr (std::is_same_v<T, double>) {
            known_ = true;
            if (const auto v = number(); v)
                record_.*m = *v, set_ = true;
        } else if constexpr (std::is_same_v<T, bool>) {
            known_ = true;
            if (text_ == "1" || text_ == "true")
                record_.*m = true, set_ = true;
            else if (text_ == "0" || text_ == "false")
                record_.*m = false, set_ = true;
        } else if constexpr (std::is_same_v<T, int>) {
            known_ = true;
            if (const auto v = number(); v && *v == std::floor(*v) && std::abs(*v) < 2e9)
                record_.*m = static_cast<int>(*v), set_ = true;
        } else if constexpr (std::is_same_v<T, std::string>) {
            known_ = true;
            record_.*m = text_;
            set_ = true;
        }
    }
    template <class T> void custom(const char*, T R::*, StoredForm<T>) {}

    bool known() const { return known_; }
    bool set() const { return set_; }

private:
    std::optional<double> number() const
    {
        try {
            size_t used = 0;
            const double v = std::stod(text_, &used);
            if (used == text_.size() && std::isfinite(v))
                return v;
        } catch (const std::exception&) {}
        return std::nullopt;
    }

    R& record_;
    const std::string& name_;
    const std::string& text_;
    bool known_ = false;
    bool set_ = false;
};

// Peaks of another system's table that count: the smallest are within its own noise.
constexpr double kStoredShare = 0.01;
// "report.FIELD=VALUE": the report settings of the method as the sheet's "报告设置" edits
// them; "report.columns" lists the keys of the result table's printed columns. Empty when
// set, else why not.
std::string setReportField(ReportSettings& report, const std::string& field,
                           const std::string& value)
{
    if (field == "columns") {
        std::vector<std::string> keys;
        for (size_t from = 0; from <= value.size() && !value.empty();) {
            const size_t comma = std::min(value.find(',', from), value.size());
            keys.push_back(value.substr(from, comma - from));
            from = comma + 1;
        }
        for (const std::string& key : keys)
            if (std::none_of(report.columns.begin(), report.columns.end(),
                             [&key](const ReportColumn& c) { return c.key == key; }))
                return "unknown report column " + key;
        for (ReportColumn& c : report.columns)
            c.visible = std::find(keys.begin(), keys.end(), c.key) != keys.end() ? 1 : 0;
        return {};
    }
    FieldSetter<ReportSettings> setter(report, field, value);
    visitFields(setter, Record<ReportSettings>{});
    if (!setter.known())
        return "unknown method field report." + field;
    const bool usable = setter.set() && usableReportMargin(report.marginLeft) &&
        usableReportMargin(report.marginTop) && usableReportMargin(report.marginRight) &&
        usableReportMargin(report.marginBottom) && (report.language == 0 || report.language == 1) &&
        report.decimals >= 0 && report.decimals <= kMaxReportDecimals;
    return usable ? std::string() : "bad value for report." + field + ": " + value;
}

// Fields that other commands own: the name is the file's, visibility is hide and show.
bool reserved(const std::string& field)
{
    return field == "name" || field == "visible" || field == "blockSize";
}

class MethodRun {
public:
    MethodRun(const MethodRequest& r, std::ostream& out, std::ostream& err)
        : r_(r), out_(out), err_(err), root_(DataRoot::resolve(r.home)),
          settings_(SystemSettings::defaults(root_, {}))
    {
        SettingsStore(root_.settingsFile()).load(settings_);
        // A fresh data root is set up as the window sets it up, so the shipped method is
        // there to list and to copy from whichever program comes first.
        setUpDataRoot(root_, settings_, shippedDataFolder());
        const std::string folder = settings_.SchemePath;
        library_ = MethodLibrary(
            folder, [](const std::string&) { return true; },
            [this](const std::string& line) { log(line); });
        for (const LoadFailure& f : library_.loadLibrary(folder))
            err_ << "dgaws-cli: " << f.path << ": " << f.reason << '\n';
    }

    int run()
    {
        using A = MethodRequest::Action;
        switch (r_.action) {
        case A::List: return list();
        case A::New: return newMethod();
        case A::Hide: return withMethod([this](size_t i) { return library_.hide(i); });
        case A::Show:
            return withMethod([this](size_t i) { return library_.show(library_.at(i).path); });
        case A::Delete: return withMethod([this](size_t i) { return library_.remove(i); });
        case A::Set: return set();
        case A::EventAdd: return eventAdd();
        case A::EventRemove: return eventRemove();
        case A::Default: return makeDefault();
        case A::Suggest: return suggest();
        }
        return 1;
    }

private:
    int fail(const std::string& text)
    {
        err_ << "dgaws-cli: " << text << '\n';
        return 1;
    }

    int done(const LibraryResult& result)
    {
        if (!result.ok())
            return fail(result.message.empty() ? "refused" : result.message);
        if (!result.message.empty())
            err_ << "dgaws-cli: " << result.message << '\n';
        return 0;
    }

    void log(const std::string& line)
    {
        if (settings_.CurLogName.empty())
            return;
        CLogManage log(root_.logFolder() + "/" + settings_.CurLogName);
        log.loadLog();
        log.addToLog(QDateTime::currentDateTime(), line);
        log.saveLog();
    }

    std::optional<size_t> find(const std::string& name)
    {
        const int i = library_.indexOf(name);
        if (i < 0)
            return std::nullopt;
        return static_cast<size_t>(i);
    }

    template <class Command> int withMethod(Command command)
    {
        const auto i = find(r_.name);
        if (!i)
            return fail("no method named " + r_.name);
        return done(command(*i));
    }

    int list()
    {
        const MethodDefaults defaults{settings_.ADefaultProg, settings_.BDefaultProg,
                                      settings_.ADefaultCali, settings_.BDefaultCali};
        if (r_.json) {
            Json methods = Json::array();
            for (const MethodLibraryEntry& e : library_.entries()) {
                Json curves = Json::array();
                for (const CalibrationCurve& c : e.curves)
                    curves.push_back(c.name);
                methods.push_back({{"name", e.method.name},
                                   {"visible", e.method.visible ? 1 : 0},
                                   {"label", libraryLabel(e, defaults)},
                                   {"path", e.path},
                                   {"curves", curves}});
            }
            Json doc = {{"folder", library_.folder()},
                        {"ADefaultProg", settings_.ADefaultProg},
                        {"BDefaultProg", settings_.BDefaultProg},
                        {"methods", methods}};
            out_ << doc.dump(2) << '\n';
            return 0;
        }
        for (const MethodLibraryEntry& e : library_.entries())
            out_ << libraryLabel(e, defaults) << '\n';
        return 0;
    }

    int newMethod()
    {
        if (find(r_.name))
            return fail("a method named " + r_.name + " exists");
        MethodLibraryEntry entry;
        if (!r_.from.empty()) {
            const auto from = find(r_.from);
            if (!from)
                return fail("no method named " + r_.from);
            entry = library_.at(*from);
        }
        entry.method.name = r_.name;
        entry.method.visible = true;
        return done(library_.addNew(std::move(entry)));
    }

    // The edited entry goes back through the library, which writes a whole new file and
    // only then replaces the old one.
    int store(size_t index, MethodLibraryEntry edited)
    {
        const IntegrationParams& p = edited.method.integration;
        if (p.smoothWidth < 1)
            return fail("smoothWidth must be at least 1");
        if (p.judgeWidth < 5)
            return fail("judgeWidth must be at least 5");
        if (p.peakWidth < 1)
            return fail("peakWidth must be at least 1");
        if (!IntegrationParams::stopTimeAllowed(p.stopTime))
            return fail("stopTime must be more than 0 and at most 1440 minutes");
        if (edited.method.calcMethod < 0 || edited.method.calcMethod > 6)
            return fail("calcMethod must be 0 to 6");
        return done(library_.edit(index, std::move(edited)));
    }

    int set()
    {
        const auto i = find(r_.name);
        if (!i)
            return fail("no method named " + r_.name);
        if (r_.values.empty())
            return fail("nothing to set: give FIELD=VALUE");
        MethodLibraryEntry edited = library_.at(*i);
        for (const std::string& pair : r_.values) {
            const size_t eq = pair.find('=');
            if (eq == std::string::npos || eq == 0)
                return fail("expected FIELD=VALUE, got " + pair);
            const std::string field = pair.substr(0, eq);
            const std::string value = pair.substr(eq + 1);
            if (field.starts_with("report.")) {
                if (std::string why = setReportField(edited.method.report, field.substr(7), value);
                    !why.empty())
                    return fail(why);
                continue;
            }
            FieldSetter<IntegrationParams> inParams(edited.method.integration, field, value);
            visitFields(inParams, Record<IntegrationParams>{});
            FieldSetter<AnalysisMethod> inMethod(edited.method, field, value);
            if (!inParams.known() && !reserved(field))
                visitFields(inMethod, Record<AnalysisMethod>{});
            if (!inParams.known() && !inMethod.known())
                return fail("unknown method field " + field);
            if (!inParams.set() && !inMethod.set())
                return fail("bad value for " + field + ": " + value);
        }
        return store(*i, std::move(edited));
    }

    int eventAdd()
    {
        const auto i = find(r_.name);
        if (!i)
            return fail("no method named " + r_.name);
        if (!std::isfinite(r_.time) || r_.time < 0.0)
            return fail("the time must be a number of minutes, at least 0");
        if (r_.type < 0 || r_.type >= TimeEventType::Count)
            return fail("the type must be 0 to 16");
        if (r_.peakWidth < 1)
            return fail("the peak width must be at least 1");
        MethodLibraryEntry edited = library_.at(*i);
        TimeEvent row = newTimeEvent(r_.time);
        row.peakWidth = r_.peakWidth;
        row.slope = r_.slope;
        row.type = r_.type;
        insertTimeEvent(edited.method.timeProgram, row);
        return store(*i, std::move(edited));
    }

    int eventRemove()
    {
        const auto i = find(r_.name);
        if (!i)
            return fail("no method named " + r_.name);
        MethodLibraryEntry edited = library_.at(*i);
        auto& program = edited.method.timeProgram;
        if (r_.row < 1 || static_cast<size_t>(r_.row) > program.size())
            return fail("no time-program row " + std::to_string(r_.row));
        program.erase(program.begin() + (r_.row - 1));
        return store(*i, std::move(edited));
    }

    int makeDefault()
    {
        const auto i = find(r_.name);
        if (!i)
            return fail("no method named " + r_.name);
        if (r_.channel != "A" && r_.channel != "B")
            return fail("the channel is A or B");
        MethodDefaults defaults{settings_.ADefaultProg, settings_.BDefaultProg,
                                settings_.ADefaultCali, settings_.BDefaultCali};
        const LibraryResult result = makeDefaultMethod(
            defaults, library_.at(*i), r_.channel == "A" ? DefaultChannels::A : DefaultChannels::B);
        if (!result.ok())
            return fail(result.message);
        settings_.ADefaultProg = defaults.ADefaultProg;
        settings_.BDefaultProg = defaults.BDefaultProg;
        if (!SettingsStore(root_.settingsFile()).save(settings_))
            return fail("cannot write " + root_.settingsFile());
        return 0;
    }

    // The proposal for a chromatogram, the peaks it finds there and, when the file carries
    // another system's peak table, how the two tables agree.
    int suggest()
    {
        std::optional<size_t> target;
        if (!r_.apply.empty() && !(target = find(r_.apply)))
            return fail("no method named " + r_.apply);
        if (!(r_.tolerance > 0.0) || !std::isfinite(r_.tolerance))
            return fail("the tolerance must be a positive number of minutes");
        const auto kind = kindOfFile(r_.file);
        if (!kind)
            return fail(r_.file + ": not a chromatogram (.chg, .dat, .cdf, .txt, .std, .csv)");
        ChromatogramData data;
        try {
            data = readChromatogramOfKind(r_.file, *kind, r_.pointsPerSecond);
        } catch (const std::exception& e) {
            return fail("cannot read " + r_.file + ": " + e.what());
        }
        if (data.signal.count() < 3 || data.pointsPerSecond <= 0)
            return fail(r_.file + " holds too few samples to propose anything");

        const EngineSettings engineSettings{settings_.CacuFrequence, settings_.AutoDelUnusedPeak};
        // The detector divides by the file's own rate; the proposal's minimum area must too.
        const int divisor = areaDivisor(engineSettings.cacuFrequence, data.pointsPerSecond);
        const IntegrationProposal proposal = proposeIntegration(data, divisor);
        const PeakTable stored = data.peaks;
        applyProposal(proposal, data.method.integration);
        PeakEngine engine(data);
        engine.setSettings(engineSettings);
        engine.runDetection();
        const PeakTableComparison comparison(stored, data.peaks, r_.tolerance, kStoredShare,
                                             static_cast<double>(divisor) / data.pointsPerSecond);

        if (target) {
            MethodLibraryEntry edited = library_.at(*target);
            applyProposal(proposal, edited.method.integration);
            if (const int status = store(*target, std::move(edited)); status != 0)
                return status;
        }
        if (r_.json)
            printSuggestionJson(proposal, data, stored, comparison);
        else
            printSuggestion(proposal, data, stored, comparison);
        return 0;
    }

    void printSuggestion(const IntegrationProposal& p, const ChromatogramData& data,
                         const PeakTable& stored, const PeakTableComparison& comparison)
    {
        const auto g = [](double v) {
            char text[32];
            std::snprintf(text, sizeof text, "%.4g", v);
            return std::string(text);
        };
        const auto f3 = [](double v) {
            char text[32];
            std::snprintf(text, sizeof text, "%.3f", v);
            return std::string(text);
        };
        const IntegrationParams& ip = p.params;
        out_ << r_.file << '\n'
             << "  Rate: " << data.pointsPerSecond << " points per second, " << data.signal.count()
             << " samples\n"
             << "  Baseline: noise " << g(p.noise) << " RMS on the quietest stretches of "
             << p.stretchLength << " samples, drift " << g(p.drift) << " per minute\n";
        if (p.peakFound)
            out_ << "  Narrowest peak: half width " << g(p.narrowestHalfWidth) << " min ("
                 << g(p.narrowestSamples) << " samples) at " << f3(p.narrowestAt) << " min, of "
                 << p.significantPeaks << " peaks at least " << g(kSignificantHeight)
                 << " noises high\n";
        else
            out_ << "  Narrowest peak: none stands " << g(kSignificantHeight)
                 << " noises high; the method's widths are kept\n";
        out_ << "  Start: "
             << (p.disturbedStart ? "a disturbance, locked until " + f3(ip.lockTime) + " min"
                                  : std::string("quiet"))
             << '\n'
             << "  Proposed: peakWidth " << ip.peakWidth << ", slope " << g(ip.slope)
             << ", smoothWidth " << ip.smoothWidth << ", minArea " << g(ip.minArea)
             << ", minHeight " << g(ip.minHeight) << ", lockTime " << g(ip.lockTime)
             << ", timeDoubling " << g(ip.timeDoubling) << " (bunch differences: noise "
             << g(p.bunchNoise) << ")\n"
             << "  Peaks found: " << data.peaks.size() << '\n';
        printResultTable(out_, data, nullptr);
        if (!stored.empty()) {
            double low = 0.0;
            double high = 0.0;
            bool any = false;
            for (const PeakMatch& m : comparison.matches()) {
                if (m.found < 0)
                    continue;
                low = any ? std::min(low, m.areaRatio) : m.areaRatio;
                high = any ? std::max(high, m.areaRatio) : m.areaRatio;
                any = true;
            }
            out_ << "  The file's own peak table: " << comparison.matched() << " of "
                 << comparison.matches().size() << " peaks (at least 1 % of its largest area) "
                 << "found within " << g(r_.tolerance) << " min";
            if (any)
                out_ << "; areas found / stored, in signal x seconds: " << g(low) << " to "
                     << g(high);
            out_ << '\n';
            for (const PeakMatch& m : comparison.matches()) {
                const PeakRecord& s = stored[m.reference];
                out_ << "    " << f3(s.retentionTime) << " min, area " << g(s.area) << ": ";
                if (m.found < 0)
                    out_ << "not found\n";
                else
                    out_ << "found at " << f3(data.peaks[m.found].retentionTime)
                         << " min, area ratio " << g(m.areaRatio) << '\n';
            }
        }
        if (!r_.apply.empty())
            out_ << "  Applied to method " << r_.apply << '\n';
    }

    void printSuggestionJson(const IntegrationProposal& p, const ChromatogramData& data,
                             const PeakTable& stored, const PeakTableComparison& comparison)
    {
        Json j = Json::object();
        j["file"] = r_.file;
        j["pointsPerSecond"] = data.pointsPerSecond;
        j["figures"] = {{"noise", jsonNumber(p.noise)},
                        {"drift", jsonNumber(p.drift)},
                        {"bunchNoise", jsonNumber(p.bunchNoise)},
                        {"stretchLength", p.stretchLength},
                        {"significantPeaks", p.significantPeaks},
                        {"peakFound", p.peakFound},
                        {"narrowestHalfWidth", jsonNumber(p.narrowestHalfWidth)},
                        {"narrowestSamples", jsonNumber(p.narrowestSamples)},
                        {"narrowestAt", jsonNumber(p.narrowestAt)},
                        {"disturbedStart", p.disturbedStart}};
        j["proposal"] = toJson(p.params);
        j["peaks"] = resultJson(data, nullptr)["peaks"];
        if (!stored.empty()) {
            Json matches = Json::array();
            for (const PeakMatch& m : comparison.matches()) {
                Json e = {{"retentionTime", jsonNumber(stored[m.reference].retentionTime)},
                          {"area", jsonNumber(stored[m.reference].area)},
                          {"found", m.found >= 0}};
                if (m.found >= 0) {
                    e["foundRetentionTime"] = jsonNumber(data.peaks[m.found].retentionTime);
                    e["timeDifference"] = jsonNumber(m.timeDifference);
                    e["areaRatio"] = jsonNumber(m.areaRatio);
                }
                matches.push_back(std::move(e));
            }
            j["storedPeaks"] = {{"tolerance", r_.tolerance},
                                {"counted", comparison.matches().size()},
                                {"matched", comparison.matched()},
                                {"matches", std::move(matches)}};
        }
        if (!r_.apply.empty())
            j["applied"] = r_.apply;
        out_ << j.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    }

    const MethodRequest& r_;
    std::ostream& out_;
    std::ostream& err_;
    DataRoot root_;
    SystemSettings settings_;
    MethodLibrary library_;
};

void common(CLI::App* cmd, MethodRequest& r)
{
    cmd->add_option("--home", r.home, "Data root (default: DGAWS_HOME or ~/dgaws)");
}

void leaf(CLI::App* cmd, MethodRequest::Action action, const std::shared_ptr<MethodRequest>& r)
{
    common(cmd, *r);
    cmd->callback([r, action] {
        r->action = action;
        const int status = runMethod(*r, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace

int runMethod(const MethodRequest& request, std::ostream& out, std::ostream& err)
{
    MethodRun run(request, out, err);
    return run.run();
}

void addMethodCommand(CLI::App& app)
{
    using A = MethodRequest::Action;
    auto r = std::make_shared<MethodRequest>();
    CLI::App* method = app.add_subcommand("method", "The method library under the data root");
    method->require_subcommand(1);

    CLI::App* list = method->add_subcommand("list", "Every method with its label and curves");
    list->add_flag("--json", r->json, "One JSON document");
    leaf(list, A::List, r);

    CLI::App* add = method->add_subcommand("new", "A new method, empty or a copy of another");
    add->add_option("NAME", r->name, "Name of the new method")->required();
    add->add_option("--from", r->from, "Method to copy");
    leaf(add, A::New, r);

    const std::pair<const char*, A> simple[] = {
        {"hide", A::Hide}, {"show", A::Show}, {"delete", A::Delete}};
    for (const auto& [name, action] : simple) {
        CLI::App* cmd = method->add_subcommand(name, "Hide, show or delete a method");
        cmd->add_option("NAME", r->name, "Method")->required();
        leaf(cmd, action, r);
    }

    CLI::App* set = method->add_subcommand(
        "set",
        "Set fields by the names of `info --json` (slope=40 minArea=1000 timeEnd=12 ...); the "
        "report settings as report.FIELD (report.title=... report.marginLeft=15 "
        "report.language=1 report.showChromatogram=0 report.columns=number,componentName,...)");
    set->add_option("NAME", r->name, "Method")->required();
    set->add_option("FIELD=VALUE", r->values, "Fields and their values")->required();
    leaf(set, A::Set, r);

    CLI::App* event = method->add_subcommand("event", "Rows of the time program");
    event->require_subcommand(1);
    CLI::App* eventAdd = event->add_subcommand("add", "A row, put in by its time");
    eventAdd->add_option("NAME", r->name, "Method")->required();
    eventAdd->add_option("TIME", r->time, "Minutes")->required();
    eventAdd->add_option("--type", r->type, "Event type 0 to 16")->default_val(0);
    eventAdd->add_option("--width", r->peakWidth, "Peak width (bunch size)")->default_val(2);
    eventAdd->add_option("--slope", r->slope, "Slope")->default_val(10.0);
    leaf(eventAdd, A::EventAdd, r);
    CLI::App* eventRemove = event->add_subcommand("remove", "A row by its number from 1");
    eventRemove->add_option("NAME", r->name, "Method")->required();
    eventRemove->add_option("ROW", r->row, "Row number from 1")->required();
    leaf(eventRemove, A::EventRemove, r);

    CLI::App* def = method->add_subcommand("default", "The default method of channel A or B");
    def->add_option("CHANNEL", r->channel, "A or B")->required();
    def->add_option("NAME", r->name, "Method")->required();
    leaf(def, A::Default, r);

    CLI::App* suggest = method->add_subcommand(
        "suggest",
        "Integration parameters proposed from a chromatogram's own signal, and the "
        "peaks they find");
    suggest->add_option("FILE", r->file, "Chromatogram (.chg, .dat, .cdf, .txt, .std, .csv)")
        ->required();
    suggest->add_option("--apply", r->apply, "Put the proposal into this library method");
    suggest
        ->add_option("--points-per-second", r->pointsPerSecond, "Rate of a file that carries none")
        ->check(CLI::Range(1, 1000000));
    suggest
        ->add_option("--tolerance", r->tolerance,
                     "Minutes within which a peak of the file's own table counts as found")
        ->default_val(0.03);
    suggest->add_flag("--json", r->json, "One JSON document");
    leaf(suggest, A::Suggest, r);
}

}  // namespace dgaws::cli
