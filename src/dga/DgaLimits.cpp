#include "DgaLimits.h"

#include "GasProductionRate.h"
#include "StoredGasOrder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace dgaws {
namespace {

constexpr const char* kContentUnit = "uL/L";

const char* formulaOf(gas::Slot g)
{
    static const char* const kFormulas[gas::Count] = {"H2", "CH4", "C2H2", "C2H4", "C2H6",
                                                      "N2", "O2",  "CO",   "CO2"};
    return kFormulas[g];
}

// The previous test's contents by stored gas slot, when there is one at least a day old.
struct Previous {
    std::array<double, gas::Count> contents{};
    double totalHydrocarbons = 0.0;
    long long days = 0;
};

std::optional<Previous> previousTest(const ChromatogramData& data)
{
    const TestRecordBlock& p = data.method.testRecord;
    if (!hasPreviousTest(p))
        return std::nullopt;
    const auto days = wholeDaysBetween(p.testTime, data.injectionTime);
    if (!days || *days <= 0)
        return std::nullopt;
    Previous prev;
    prev.days = *days;
    for (size_t r = 0; r < rate::Count; ++r)
        prev.contents[rate::kGasOf[r]] = p.values[r];
    prev.totalHydrocarbons = prev.contents[gas::CH4] + prev.contents[gas::C2H6] +
        prev.contents[gas::C2H4] + prev.contents[gas::C2H2];
    return prev;
}

void dlt722(const ChromatogramData& data, const DeviceClass& device, bool ratesComputed,
            LimitsJudgement& out)
{
    const AttentionLimits a = attentionLimitsFor(device);
    const double h2 = data.gasInOil[gas::H2], c2h2 = data.gasInOil[gas::C2H2];
    // Hydrogen and total hydrocarbons exceed at their value, acetylene only above it, as
    // the attention check has always compared them.
    out.checks.push_back({"H2", "content", kContentUnit, h2, a.hydrogen, h2 >= a.hydrogen});
    out.checks.push_back({"C2H2", "content", kContentUnit, c2h2, a.acetylene, c2h2 > a.acetylene});
    out.checks.push_back({"totalHydrocarbons", "content", kContentUnit, data.totalHydrocarbons,
                          a.totalHydrocarbons, data.totalHydrocarbons >= a.totalHydrocarbons});
    // DL/T 722-2014, 9.3: absolute rates in mL/d for sealed units; open-breathing units
    // have half of them.
    if (ratesComputed) {
        const double scale = device.openBreathing ? 0.5 : 1.0;
        const struct {
            const char* quantity;
            size_t slot;
            double sealed;
        } rates[] = {{"H2", rate::H2, 10.0},
                     {"C2H2", rate::C2H2, 0.2},
                     {"totalHydrocarbons", rate::TotalHydrocarbons, 12.0},
                     {"CO", rate::CO, 100.0},
                     {"CO2", rate::CO2, 200.0}};
        for (const auto& r : rates) {
            const double v = data.working.gasRates[r.slot];
            out.checks.push_back(
                {r.quantity, "absoluteRate", "mL/d", v, r.sealed * scale, v > r.sealed * scale});
        }
    } else {
        out.notJudged = "未计算绝对产气率";
    }
    // The relative rate of total hydrocarbons, 10 % a month: the growth over the previous
    // total per month of 30 days.
    const auto prev = previousTest(data);
    if (prev && prev->totalHydrocarbons > 0.0) {
        const double months = static_cast<double>(prev->days) / 30.0;
        const double v = (data.totalHydrocarbons - prev->totalHydrocarbons) /
            prev->totalHydrocarbons / months * 100.0;
        out.checks.push_back({"totalHydrocarbons", "relativeRate", "%/month", v, 10.0, v > 10.0});
    } else {
        out.notJudged += out.notJudged.empty() ? "" : "；";
        out.notJudged += "无上次实验数据，未计算相对产气率";
    }
}

void iec60599(const ChromatogramData& data, LimitsJudgement& out)
{
    // IEC 60599:2015, Table A.1: the ranges of 90 % typical concentrations in power
    // transformers (acetylene without a communicating tap changer); a test above the top
    // of its range is atypical on any network.
    const struct {
        gas::Slot g;
        double typical;
    } typical[] = {{gas::H2, 150},  {gas::CH4, 130}, {gas::C2H4, 280}, {gas::C2H6, 90},
                   {gas::C2H2, 20}, {gas::CO, 600},  {gas::CO2, 14000}};
    for (const auto& t : typical) {
        const double v = data.gasInOil[t.g];
        out.checks.push_back(
            {formulaOf(t.g), "typical", kContentUnit, v, t.typical, v > t.typical});
    }
}

void ieeeC57104(const ChromatogramData& data, const DeviceClass& device, LimitsJudgement& out)
{
    // IEEE C57.104-2019, Tables 1, 2 and 3 (age unknown), chosen by the O2/N2 ratio of the
    // test when both were measured, else by how the unit breathes.
    const double o2 = data.gasInOil[gas::O2], n2 = data.gasInOil[gas::N2];
    const bool highOxygen = n2 > 0.0 && o2 >= 0.0 ? o2 / n2 > 0.2 : device.openBreathing;
    const struct {
        gas::Slot g;
        double level90[2];
        double level95[2];
        double change[2];
    } rows[] = {
        {gas::H2, {80, 40}, {200, 90}, {40, 25}},
        {gas::CH4, {90, 20}, {150, 50}, {30, 10}},
        {gas::C2H6, {90, 15}, {175, 40}, {25, 9}},
        {gas::C2H4, {50, 50}, {100, 100}, {20, 20}},
        {gas::C2H2, {1, 2}, {2, 7}, {0, 0}},  // any increase of acetylene counts
        {gas::CO, {900, 500}, {1100, 600}, {250, 175}},
        {gas::CO2, {9000, 5000}, {12500, 7000}, {2500, 1700}},
    };
    const int col = highOxygen ? 1 : 0;
    const auto prev = previousTest(data);
    bool over90 = false, over95 = false, changed = false;
    for (const auto& r : rows) {
        const double v = data.gasInOil[r.g];
        const bool a = v >= r.level90[col], b = v >= r.level95[col];
        over90 = over90 || a;
        over95 = over95 || b;
        out.checks.push_back({formulaOf(r.g), "level90", kContentUnit, v, r.level90[col], a});
        out.checks.push_back({formulaOf(r.g), "level95", kContentUnit, v, r.level95[col], b});
        if (prev) {
            const double delta = v - prev->contents[r.g];
            const bool c = r.change[col] == 0.0 ? delta > 0.0 : delta >= r.change[col];
            changed = changed || c;
            out.checks.push_back({formulaOf(r.g), "change", kContentUnit, delta, r.change[col], c});
        }
    }
    if (!prev)
        out.notJudged = "无上次实验数据，未判断变化量";
    // The guide's rates (Table 4) come from a regression over three or more tests spanning
    // months; one previous test gives none, and a rate from two would not be the guide's.
    out.notJudged += out.notJudged.empty() ? "" : "；";
    out.notJudged += "产气速率需三次以上试验，未判断";
    // Status 3 from a 95th-percentile level, or a 90th-percentile level that is still
    // growing; status 2 from either alone; status 1 otherwise.
    out.ieeeStatus = over95 || (over90 && changed) ? 3 : (over90 || changed) ? 2 : 1;
}

}  // namespace

const char* judgingStandardKey(JudgingStandard s)
{
    switch (s) {
    case JudgingStandard::Iec60599: return "iec60599";
    case JudgingStandard::IeeeC57104: return "ieee-c57.104";
    case JudgingStandard::Dlt722: break;
    }
    return "dlt722";
}

std::optional<JudgingStandard> judgingStandardFromKey(std::string_view key)
{
    for (JudgingStandard s :
         {JudgingStandard::Dlt722, JudgingStandard::Iec60599, JudgingStandard::IeeeC57104})
        if (key == judgingStandardKey(s))
            return s;
    return std::nullopt;
}

AttentionLimits attentionLimitsFor(const DeviceClass& device)
{
    AttentionLimits a;
    if (device.voltageKv >= 330.0)
        a.acetylene = 1.0;
    return a;
}

bool LimitsJudgement::anyExceeded() const
{
    return std::any_of(checks.begin(), checks.end(),
                       [](const LimitCheck& c) { return c.exceeded; });
}

std::string limitsBasis(const LimitsJudgement& l, bool english)
{
    static const char* const kNames[] = {"DL/T 722-2014", "IEC 60599:2015", "IEEE C57.104-2019"};
    std::string text = kNames[static_cast<int>(l.device.standard)];
    char kv[64];
    std::snprintf(kv, sizeof kv, ", %g kV", l.device.voltageKv);
    text += l.device.voltageKv > 0 ? kv : english ? ", voltage class unknown" : ", 电压等级未知";
    text += l.device.openBreathing ? (english ? ", open-breathing" : ", 开放式")
                                   : (english ? ", sealed" : ", 密封式");
    if (l.ieeeStatus)
        text += (english ? ", status " : ", 状态 ") + std::to_string(*l.ieeeStatus);
    return text;
}

std::string limitQuantityName(const LimitCheck& c, bool english)
{
    if (c.quantity == "totalHydrocarbons")
        return english ? "Total hydrocarbons" : "总烃";
    return c.quantity;
}

std::string limitKindName(const LimitCheck& c, bool english)
{
    static const char* const kKinds[][3] = {{"content", "注意值", "attention value"},
                                            {"typical", "典型值", "typical value"},
                                            {"level90", "90%值", "90th percentile"},
                                            {"level95", "95%值", "95th percentile"},
                                            {"change", "变化量", "change"},
                                            {"absoluteRate", "绝对产气率", "absolute rate"},
                                            {"relativeRate", "相对产气率", "relative rate"}};
    for (const auto& k : kKinds)
        if (c.kind == k[0])
            return k[english ? 2 : 1];
    return c.kind;
}

LimitsJudgement judgeLimits(const ChromatogramData& data, const DeviceClass& device,
                            bool ratesComputed)
{
    LimitsJudgement out;
    out.device = device;
    switch (device.standard) {
    case JudgingStandard::Dlt722: dlt722(data, device, ratesComputed, out); break;
    case JudgingStandard::Iec60599: iec60599(data, out); break;
    case JudgingStandard::IeeeC57104: ieeeC57104(data, device, out); break;
    }
    return out;
}

}  // namespace dgaws
