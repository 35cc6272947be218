#include "DiagnoseSubcommand.h"

#include "DocumentFiles.h"
#include "ExistingDatabase.h"
#include "QtRuntime.h"
#include "TextTable.h"

#include "app/DataRoot.h"
#include "app/DocumentDiagnosis.h"
#include "app/SystemSettings.h"
#include "app/TestRecordDatabase.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"
#include "dga/DgaLimits.h"
#include "dga/DgaValues.h"
#include "dga/DiagnoseCommand.h"
#include "dga/DuvalTriangle.h"
#include "dga/GasProductionRate.h"
#include "dga/Interpretations.h"
#include "dga/RateRecord.h"
#include "dga/StoredGasOrder.h"
#include "quant/ContentStatus.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

namespace dgaws::cli {
namespace {

// Formulas as typed on a command line, in the stored gas order.
constexpr const char* kFormulas[gas::Count] = {"H2", "CH4", "C2H2", "C2H4", "C2H6",
                                               "N2", "O2",  "CO",   "CO2"};

// Why a diagnosis has no rates when it never tried to compute them.
constexpr const char* kNoPeaksToRate = "输入的含量没有谱图，不计算产气率";
constexpr const char* kRatesNotUsed = "未计算产气率：诊断时未使用绝对产气速率 (OutGasRateUsed=0)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::optional<size_t> gasSlot(const std::string& name)
{
    for (size_t g = 0; g < gas::Count; ++g)
        if (name == kFormulas[g] || name == gas::kComponentNames[g])
            return g;
    return std::nullopt;
}

std::array<double, gas::Count> parseGases(const std::vector<std::string>& items)
{
    std::array<double, gas::Count> values{};
    std::array<bool, gas::Count> seen{};
    for (const std::string& item : items) {
        const auto eq = item.find('=');
        if (eq == std::string::npos)
            throw UsageError("--gas " + item + ": expected GAS=uL/L, e.g. H2=12.5");
        const std::string name = item.substr(0, eq);
        const std::string text = item.substr(eq + 1);
        const auto slot = gasSlot(name);
        if (!slot)
            throw UsageError("--gas " + item + ": unknown gas " + name +
                             " (H2, CH4, C2H2, C2H4, C2H6, N2, O2, CO, CO2)");
        if (seen[*slot])
            throw UsageError("--gas " + name + " given twice");
        double v = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(v) || v < 0.0)
            throw UsageError("--gas " + item + ": not a content in uL/L");
        values[*slot] = v;
        seen[*slot] = true;
    }
    return values;
}

const char* saveResultName(TestSaveResult r)
{
    switch (r) {
    case TestSaveResult::Inserted: return "inserted";
    case TestSaveResult::Replaced: return "replaced";
    case TestSaveResult::NothingWritten: return "nothingWritten";
    case TestSaveResult::CompanyNotFound: return "companyNotFound";
    case TestSaveResult::DeviceNotFound: return "deviceNotFound";
    case TestSaveResult::Failed: return "failed";
    }
    return "failed";
}

struct Outcome {
    ChromatogramData data;
    std::vector<Interpretation> interpretations;
    LimitsJudgement limits;
    DiagnosisView attention;  // the dialog as first shown
    DiagnosisView view;       // and after the judgement
    bool judged = false;
    bool ratesComputed = false;
    std::string ratesNotComputed;  // why the rates asked for are missing, in words
    std::optional<TestSaveResult> saved;
    GasNotes uncalibrated;  // why a gas has no measured content
};

// A gas whose content could not be formed has none, not 0.
Json gasesJson(const ChromatogramData& d, const GasNotes& uncalibrated)
{
    Json j = Json::object();
    for (size_t g = 0; g < gas::Count; ++g)
        j[std::string(gas::kComponentNames[g])] =
            uncalibrated[g].empty() ? jsonNumber(d.gasInOil[g]) : Json(nullptr);
    return j;
}

Json gasNotesJson(const GasNotes& uncalibrated)
{
    Json j = Json::object();
    for (size_t g = 0; g < gas::Count; ++g)
        if (!uncalibrated[g].empty())
            j[std::string(gas::kComponentNames[g])] = uncalibrated[g];
    return j;
}

Json ratesJson(const WorkingResults& w)
{
    Json j = Json::object();
    for (size_t r = 0; r < rate::Count; ++r)
        j[std::string(gas::kComponentNames[rate::kGasOf[r]])] = jsonNumber(w.gasRates[r]);
    j["totalHydrocarbons"] = jsonNumber(w.gasRates[rate::TotalHydrocarbons]);
    return j;
}

constexpr const char* kSupplementaryNote =
    "各气体含量均未超过注意值，以下判断仅供参考，不表示设备存在故障。";

Json interpretationsJson(const std::vector<Interpretation>& all)
{
    Json j = Json::object();
    for (const Interpretation& i : all) {
        Json used = Json::object();
        for (const auto& [name, value] : i.used)
            used[name] = value ? jsonNumber(*value) : Json(nullptr);
        j[i.method] = {{"zone", i.zone ? Json(*i.zone) : Json(nullptr)}, {"used", used}};
    }
    return j;
}

Json limitsJson(const LimitsJudgement& l)
{
    Json checks = Json::array();
    for (const LimitCheck& c : l.checks)
        checks.push_back({{"quantity", c.quantity},
                          {"kind", c.kind},
                          {"value", jsonNumber(c.value)},
                          {"limit", jsonNumber(c.limit)},
                          {"unit", c.unit},
                          {"exceeded", c.exceeded}});
    Json j = {
        {"standard", judgingStandardKey(l.device.standard)},
        {"voltageKv", l.device.voltageKv > 0 ? jsonNumber(l.device.voltageKv) : Json(nullptr)},
        {"openBreathing", l.device.openBreathing},
        {"exceeded", l.anyExceeded()},
        {"checks", checks}};
    j["ieeeStatus"] = l.ieeeStatus ? Json(*l.ieeeStatus) : Json(nullptr);
    if (!l.notJudged.empty())
        j["notJudged"] = l.notJudged;
    return j;
}

// One line per check, e.g. "C2H2 注意值 2.0000 uL/L, 限值 1 (超过)".
std::string limitLine(const LimitCheck& c)
{
    char limit[64];
    std::snprintf(limit, sizeof limit, "%g", c.limit);
    return limitQuantityName(c) + " " + limitKindName(c) + " " + fixedText(c.value, 4) + " " +
        c.unit + ", 限值 " + limit + (c.exceeded ? " (超过)" : "");
}

Json outcomeJson(const DiagnoseOptions& o, const Outcome& r)
{
    const ChromatogramData& d = r.data;
    Json j = Json::object();
    j["file"] = o.file.empty() ? Json(nullptr) : Json(o.file);
    j["gasInOil"] = gasesJson(d, r.uncalibrated);
    if (Json notes = gasNotesJson(r.uncalibrated); !notes.empty())
        j["gasInOilNotes"] = std::move(notes);
    j["totalHydrocarbons"] = jsonNumber(d.totalHydrocarbons);
    if (totalLeavesOutGases(r.uncalibrated))
        j["totalHydrocarbonsNote"] = kWithoutUncalibratedText;
    j["totalHydrocarbonsText"] = r.view.totalHydrocarbons;
    j["attention"] = {{"exceeded", r.attention.judgementOffered()},
                      {"conclusion", r.attention.conclusion},
                      {"advice", r.attention.advice}};
    j["judged"] = r.judged;
    j["ratioCode1"] = d.ratioCode1;
    j["ratioCode2"] = d.ratioCode2;
    j["ratioCode3"] = d.ratioCode3;
    j["ratioCodes"] = r.view.ratioCodes;
    // A ratio whose denominator is 0 has no value, only its code.
    const auto ratio = [&r](double denominator, double v) {
        return !r.judged || denominator == 0.0 ? Json(nullptr) : jsonNumber(v);
    };
    j["ratios"] = {
        {"C2H2/C2H4", ratio(d.gasInOil[gas::C2H4], d.working.ratioC2H2C2H4)},
        {"CH4/H2", ratio(d.gasInOil[gas::H2], d.working.ratioCH4H2)},
        {"C2H4/C2H6", ratio(d.gasInOil[gas::C2H6], d.working.ratioC2H4C2H6)},
    };
    j["diagnosisCode"] = d.diagnosisCode;
    j["diagnosisCode2"] = d.diagnosisCode2;
    j["conclusion"] = d.conclusion;
    j["advice"] = d.advice;
    if (const auto point = duvalPoint(d))
        j["duvalTriangle"] = {{"zone", duvalZoneCode(duvalZone(*point))},
                              {"fault", duvalZoneName(duvalZone(*point))},
                              {"CH4", jsonNumber(point->ch4)},
                              {"C2H4", jsonNumber(point->c2h4)},
                              {"C2H2", jsonNumber(point->c2h2)}};
    else
        j["duvalTriangle"] = nullptr;
    j["interpretations"] = interpretationsJson(r.interpretations);
    j["limits"] = limitsJson(r.limits);
    j["gasRates"] = r.ratesComputed ? ratesJson(d.working) : Json(nullptr);
    j["previousTest"] = r.ratesComputed ? Json(previousTestSummary(d.method.testRecord)) : Json();
    if (!r.ratesComputed)
        j["gasRatesReason"] = !r.ratesNotComputed.empty() ? r.ratesNotComputed
            : o.file.empty()                              ? kNoPeaksToRate
                                                          : kRatesNotUsed;
    if (r.saved)
        j["database"] = saveResultName(*r.saved);
    return j;
}

void printOutcome(std::ostream& out, const DiagnoseOptions& o, const Outcome& r)
{
    const ChromatogramData& d = r.data;
    if (!o.file.empty())
        out << o.file << "\n";
    out << "油中溶解气体含量 (uL/L):\n";
    TextTable gases;
    gases.addColumn("组份", TextTable::Align::Left);
    gases.addColumn("油中含量");
    for (size_t g = 0; g < gas::Count; ++g)
        gases.addRow(
            {std::string(gas::kComponentNames[g]),
             r.uncalibrated[g].empty() ? fixedText(d.gasInOil[g], 4) : kNotCalibratedText});
    gases.print(out);
    for (size_t g = 0; g < gas::Count; ++g)
        if (!r.uncalibrated[g].empty())
            out << gas::kComponentNames[g] << " " << kNotCalibratedText << ": " << r.uncalibrated[g]
                << "\n";
    out << "总烃含量: " << r.view.totalHydrocarbons << (d.totalHydrocarbons == 0.0 ? "" : " uL/L")
        << (totalLeavesOutGases(r.uncalibrated) ? std::string(" (") + kWithoutUncalibratedText + ")"
                                                : std::string())
        << "\n";
    // The attention messages end in CR LF for the dialog; a terminal wants one line each.
    std::string advice = r.attention.advice;
    for (size_t at; (at = advice.find("\r\n")) != std::string::npos;)
        advice.replace(at, 2, "\n  ");
    while (!advice.empty() && (advice.back() == ' ' || advice.back() == '\n'))
        advice.pop_back();
    out << "注意值: " << r.attention.conclusion << "\n  " << advice << "\n";
    if (r.judged) {
        out << "三 比 值: " << r.view.ratioCodes << "\n";
        out << "故障类型: " << d.conclusion << "\n";
        out << "故障内容: " << d.advice << "\n";
    }
    if (const auto point = duvalPoint(d))
        out << "Duval三角形: " << duvalZoneCode(duvalZone(*point)) << " "
            << duvalZoneName(duvalZone(*point)) << " (CH4 " << fixedText(point->ch4, 1)
            << "%, C2H4 " << fixedText(point->c2h4, 1) << "%, C2H2 " << fixedText(point->c2h2, 1)
            << "%)\n";
    // Every test with hydrocarbons falls in some zone; below the attention values that names
    // no fault, as the dialog says too.
    if (!r.attention.judgementOffered() && !r.interpretations.empty())
        out << kSupplementaryNote << "\n";
    for (const Interpretation& i : r.interpretations) {
        out << interpretationCaption(i.method) << ": " << (i.zone ? *i.zone : "-");
        std::string used;
        for (const auto& [name, value] : i.used)
            used +=
                (used.empty() ? " (" : ", ") + name + " " + (value ? fixedText(*value, 2) : "∞");
        out << used << (used.empty() ? "" : ")") << "\n";
    }
    out << "限值 (" << limitsBasis(r.limits) << "):\n";
    for (const LimitCheck& c : r.limits.checks)
        out << "  " << limitLine(c) << "\n";
    if (!r.limits.notJudged.empty())
        out << "  " << r.limits.notJudged << "\n";
    if (r.ratesComputed) {
        out << "绝对产气率 (mL/d)，" << kPreviousTestLabel << " "
            << previousTestSummary(d.method.testRecord) << ":\n";
        TextTable rates;
        rates.addColumn("组份", TextTable::Align::Left);
        rates.addColumn("产气率");
        for (size_t i = 0; i < rate::Count; ++i)
            rates.addRow({std::string(gas::kComponentNames[rate::kGasOf[i]]),
                          fixedText(d.working.gasRates[i], 4)});
        rates.addRow({"总烃", fixedText(d.working.gasRates[rate::TotalHydrocarbons], 4)});
        rates.print(out);
    } else if (!r.ratesNotComputed.empty()) {
        out << "绝对产气率: " << r.ratesNotComputed << "\n";
    }
    if (r.saved)
        out << "数据库: " << saveResultName(*r.saved) << "\n";
}

DeviceClass deviceClassOf(const DiagnoseOptions& o, DeviceClass device)
{
    if (o.voltageKv) {
        if (!std::isfinite(*o.voltageKv) || *o.voltageKv <= 0.0)
            throw UsageError("--voltage-kv " + fixedText(*o.voltageKv, 1) +
                             ": not a voltage class in kV");
        device.voltageKv = *o.voltageKv;
    }
    if (o.openBreathing)
        device.openBreathing = true;
    if (!o.standard.empty()) {
        const auto s = judgingStandardFromKey(o.standard);
        if (!s)
            throw UsageError("--standard " + o.standard + ": dlt722, iec60599 or ieee-c57.104");
        device.standard = *s;
    }
    return device;
}

void checkCombination(const DiagnoseOptions& o)
{
    if (o.file.empty() == o.gases.empty())
        throw UsageError("give either a chromatogram FILE or the contents with --gas");
    if (!o.gases.empty() &&
        (!o.linked.empty() || !o.previous.empty() || !o.recordLcd.empty() || o.saveDb ||
         o.forceOneDay))
        throw UsageError("--gas takes no chromatogram options (--linked, --previous, "
                         "--force-one-day, --save-db, --record-lcd)");
}

}  // namespace

int runDiagnose(const DiagnoseOptions& options, const CollectFromPeaks& collect, std::ostream& out,
                std::ostream& err)
{
    const auto say = [&err](const std::string& m) { err << "dgaws-cli: " << m << '\n'; };
    Outcome r;
    std::array<double, gas::Count> typed{};
    DeviceClass deviceClass;
    try {
        checkCombination(options);
        typed = parseGases(options.gases);
        deviceClass = deviceClassOf(options, deviceClass);
    } catch (const UsageError& e) {
        say(e.what());
        return 2;
    }

    const std::string root = dataRoot(options.home);
    DiagnosisEnvironment env;
    env.device = deviceClass;
    env.showMessage = say;
    env.ask = [&options, &err](const std::string& question) {
        err << "dgaws-cli: " << question
            << (options.forceOneDay ? " 是 (--force-one-day)\n" : " 否\n");
        return options.forceOneDay;
    };
    ChromatogramData& data = r.data;
    if (options.file.empty()) {
        data.injectionTime = OleDateTime::now();
        env.outGasRateUsed = false;  // typed results have no peaks to rate
        env.collect = [&typed](ChromatogramData& d, ChromatogramData&) {
            d.gasInOil = typed;
            d.totalHydrocarbons =
                typed[gas::CH4] + typed[gas::C2H6] + typed[gas::C2H4] + typed[gas::C2H2];
            return DgaCollection{};
        };
    } else {
        try {
            data = readChromatogramFile(options.file);
        } catch (const std::exception& e) {
            say("cannot read " + options.file + ": " + e.what());
            return 1;
        }
        // A path typed on the command line is the shell's, taken from the working
        // directory; only a linkedFile stored in the chromatogram lies beside it.
        if (!options.linked.empty())
            data.linkedFile = std::filesystem::absolute(options.linked).string();
        if (!options.previous.empty()) {
            try {
                data.method.testRecord = readRateRecordFile(options.previous);
            } catch (const std::exception& e) {
                say(std::string(kRateFileLoadFailed) + " " + options.previous + ": " + e.what());
                return 1;
            }
        }
        env.outGasRateUsed = readSystemInt(settingsFilePath(root), "OutGasRateUsed", 1) != 0;
        const std::string own = options.file;
        const std::string dataFolder = dataFolderOf(options.home);
        env.collect = [&collect, own, dataFolder](ChromatogramData& d, ChromatogramData& l) {
            if (!collect)
                return collectDgaValues(d, l, own, dataFolder);
            collect(d, l, own);
            return DgaCollection{};
        };
        env.readLinked = [own, dataFolder](const std::string& linked) {
            return readChromatogramFile(linkedChromatogramPath(linked, own, dataFolder));
        };
    }

    std::unique_ptr<TestRecordDatabase> db;
    SaveTestStep save;
    if (options.saveDb) {
        ensureCoreRuntime();
        db = std::make_unique<TestRecordDatabase>();
        db->setMessageSink(say);
        try {
            if (!db->open(DatabaseSettings::fromSettingsFile(settingsFilePath(root), root)))
                return 1;
        } catch (const std::exception& e) {
            say(e.what());
            return 1;
        }
        save = [&db, &r](const std::string& company, const std::string& device, TestRecord t) {
            r.saved = db->saveTest(company, device, std::move(t));
            return *r.saved;
        };
    } else if (!options.file.empty()) {
        db = existingDatabase(root);
    }
    // The device's class in the library, unless the options say otherwise.
    if (db)
        env.device = deviceClassOf(options,
                                   db->deviceClass(data.method.sendingCompany, data.method.deviceNo)
                                       .value_or(DeviceClass{}));

    ChromatogramData linkedData;
    const auto view = diagnose(data, linkedData, env, save);
    if (!view)
        return 1;
    r.attention = r.view = *view;
    r.ratesComputed = view->ratesComputed;
    r.ratesNotComputed = view->ratesNotComputed;
    r.uncalibrated = uncalibratedGases(data, nullptr, linkedData);
    r.interpretations = interpretGases(KeyGases::of(data));
    r.limits = judgeLimits(data, env.device, r.ratesComputed);
    if (r.view.judgementOffered()) {
        r.view = judgeFromDialog(data);
        r.judged = true;
    }
    if (!options.recordLcd.empty()) {
        const std::string own = std::filesystem::absolute(options.file).string();
        if (!recordGasProductionData(
                data, own, [&options] { return std::optional<std::string>(options.recordLcd); },
                say))
            return 1;
    }

    if (options.json) {
        out << outcomeJson(options, r).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        std::ostringstream text;
        printOutcome(text, options, r);
        out << text.str();
    }
    out.flush();
    return r.saved && *r.saved == TestSaveResult::Failed ? 1 : 0;
}

void addDiagnoseCommand(CLI::App& app)
{
    auto options = std::make_shared<DiagnoseOptions>();
    CLI::App* cmd = app.add_subcommand(
        "diagnose",
        "Attention values, gas production rates and the three-ratio judgement of an oil test");
    cmd->add_option("FILE", options->file, "Chromatogram (.chg) of the test");
    cmd->add_option("--gas", options->gases,
                    "Content in oil typed in, GAS=uL/L (H2, CH4, C2H2, C2H4, C2H6, N2, O2, CO, "
                    "CO2); gases not given are 0")
        ->take_all();
    cmd->add_option("--linked", options->linked, "Linked chromatogram of the other channel");
    cmd->add_option("--previous", options->previous, "Previous test of the device (.lcd)");
    cmd->add_flag("--force-one-day", options->forceOneDay,
                  "Count less than a day since the previous test as one day");
    cmd->add_flag("--save-db", options->saveDb,
                  "Save the test into the test-record database under the chromatogram's "
                  "sending company and device");
    cmd->add_option("--record-lcd", options->recordLcd,
                    "Keep this test as the previous one of the next diagnosis (.lcd)");
    cmd->add_option("--voltage-kv", options->voltageKv,
                    "Voltage class of the transformer in kV (from 330 kV acetylene's attention "
                    "value is 1 uL/L)");
    cmd->add_flag("--open-breathing", options->openBreathing,
                  "The transformer breathes through a conservator open to the air");
    cmd->add_option("--standard", options->standard,
                    "Standard to judge the limits by: dlt722 (default), iec60599, ieee-c57.104");
    cmd->add_option("--home", options->home, "Data root (default: DGAWS_HOME or ~/dgaws)");
    cmd->add_flag("--json", options->json, "One JSON document");
    cmd->callback([options] {
        const int status = runDiagnose(*options, nullptr, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
