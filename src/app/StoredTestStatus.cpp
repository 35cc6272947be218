#include "StoredTestStatus.h"

#include "dga/StoredGasOrder.h"

#include <cstdio>

namespace dgaws {

namespace {

// "%Y/%m/%d %H:%M:%S" as the database shows it.
std::optional<OleDateTime> parsedTime(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return std::nullopt;
    const OleDateTime t = OleDateTime::fromCivil(y, mo, d, h, mi, s);
    return t.isValid() ? std::optional(t) : std::nullopt;
}

}  // namespace

std::optional<RateRecord> rateRecordOf(const TestRecord& test)
{
    const auto when = parsedTime(test.injectTime);
    if (!when)
        return std::nullopt;
    RateRecord r;
    r.testTime = *when;
    // The rate order: CH4, C2H2, C2H4, C2H6, H2, CO, CO2.
    const TestRecord::Value order[] = {TestRecord::CH4,  TestRecord::C2H2, TestRecord::C2H4,
                                       TestRecord::C2H6, TestRecord::H2,   TestRecord::CO,
                                       TestRecord::CO2};
    for (size_t i = 0; i < 7; ++i)
        r.values[i] = test.values[order[i]];
    return r;
}

LimitsJudgement judgeStoredTest(const TestRecord& test, const TestRecord* previous,
                                const DeviceClass& device)
{
    ChromatogramData data;
    const struct {
        TestRecord::Value stored;
        gas::Slot slot;
    } gases[] = {
        {TestRecord::H2, gas::H2},     {TestRecord::CH4, gas::CH4},   {TestRecord::C2H2, gas::C2H2},
        {TestRecord::C2H4, gas::C2H4}, {TestRecord::C2H6, gas::C2H6}, {TestRecord::N2, gas::N2},
        {TestRecord::O2, gas::O2},     {TestRecord::CO, gas::CO},     {TestRecord::CO2, gas::CO2}};
    for (const auto& g : gases)
        data.gasInOil[g.slot] = test.values[g.stored];
    data.totalHydrocarbons = test.values[TestRecord::AllC];
    const auto own = rateRecordOf(test);
    if (own)
        data.injectionTime = own->testTime;
    if (const auto before = previous && own ? rateRecordOf(*previous) : std::nullopt)
        data.method.testRecord = *before;
    return judgeLimits(data, device, false);
}

std::string storedTestStatusText(const LimitsJudgement& judgement)
{
    std::string exceeded;
    for (const LimitCheck& c : judgement.checks)
        if (c.exceeded) {
            const std::string name = limitQuantityName(c) + " " + limitKindName(c);
            if (exceeded.find(name) == std::string::npos)
                exceeded += (exceeded.empty() ? "" : "、") + name;
        }
    std::string text =
        judgement.ieeeStatus ? "状态 " + std::to_string(*judgement.ieeeStatus) : std::string();
    if (!exceeded.empty())
        text += (text.empty() ? "" : ": ") + std::string("超过: ") + exceeded;
    return text.empty() ? "正常" : text;
}

}  // namespace dgaws
