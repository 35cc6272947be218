#include "dga/DgaLimits.h"
#include "dga/AttentionValues.h"
#include "dga/StoredGasOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

using namespace dgaws;

namespace {

struct Gas {
    gas::Slot slot;
    double content;
};

// A test with the given contents; a previous test 30 days earlier when `previous` is given
// (in the rate file's order CH4, C2H2, C2H4, C2H6, H2, CO, CO2).
ChromatogramData testWith(std::initializer_list<Gas> gases,
                          std::optional<std::array<double, 7>> previous = std::nullopt)
{
    ChromatogramData d;
    for (const Gas& g : gases)
        d.gasInOil[g.slot] = g.content;
    d.totalHydrocarbons = d.gasInOil[gas::CH4] + d.gasInOil[gas::C2H6] + d.gasInOil[gas::C2H4] +
        d.gasInOil[gas::C2H2];
    d.injectionTime = OleDateTime::fromCivil(2024, 3, 31, 9);
    if (previous) {
        d.method.testRecord.testTime = OleDateTime::fromCivil(2024, 3, 1, 9);
        std::copy(previous->begin(), previous->end(), d.method.testRecord.values);
    }
    return d;
}

const LimitCheck* find(const LimitsJudgement& j, const std::string& quantity,
                       const std::string& kind)
{
    for (const LimitCheck& c : j.checks)
        if (c.quantity == quantity && c.kind == kind)
            return &c;
    return nullptr;
}

struct LimitCase {
    const char* name;
    ChromatogramData data;
    DeviceClass device;
    bool ratesComputed;
    const char* quantity;
    const char* kind;
    double limit;
    bool exceeded;
};

std::ostream& operator<<(std::ostream& os, const LimitCase& c)
{
    return os << c.name;
}

class Limits : public testing::TestWithParam<LimitCase> {};

TEST_P(Limits, JudgeTheQuantityByTheClassAndStandard)
{
    const LimitCase& c = GetParam();
    const LimitsJudgement j = judgeLimits(c.data, c.device, c.ratesComputed);
    const LimitCheck* check = find(j, c.quantity, c.kind);
    ASSERT_NE(check, nullptr) << c.quantity << " " << c.kind;
    EXPECT_DOUBLE_EQ(check->limit, c.limit);
    EXPECT_EQ(check->exceeded, c.exceeded);
    EXPECT_EQ(j.anyExceeded(), c.exceeded);
}

ChromatogramData withRates(ChromatogramData d, double h2Rate, double totalRate)
{
    d.working.gasRates[rate::H2] = h2Rate;
    d.working.gasRates[rate::TotalHydrocarbons] = totalRate;
    return d;
}

// The same test with its previous one 60 days before instead of 30.
ChromatogramData twoMonthsLater(ChromatogramData d)
{
    d.method.testRecord.testTime = OleDateTime::fromCivil(2024, 1, 31, 9);
    return d;
}

const DeviceClass k500{500, false, JudgingStandard::Dlt722};
const DeviceClass k110{110, false, JudgingStandard::Dlt722};
const DeviceClass kOpen{110, true, JudgingStandard::Dlt722};
const DeviceClass kIec{110, false, JudgingStandard::Iec60599};
const DeviceClass k330{330, false, JudgingStandard::Dlt722};
const DeviceClass kUnknown{};

INSTANTIATE_TEST_SUITE_P(
    DlT722AndIec60599, Limits,
    testing::Values(
        LimitCase{"acetylene 2 at 500 kV", testWith({{gas::C2H2, 2}}), k500, false, "C2H2",
                  "content", 1, true},
        LimitCase{"acetylene 2 at 110 kV", testWith({{gas::C2H2, 2}}), k110, false, "C2H2",
                  "content", 5, false},
        LimitCase{"acetylene 1 at 330 kV", testWith({{gas::C2H2, 1}}), k330, false, "C2H2",
                  "content", 1, false},
        LimitCase{"hydrogen at its value", testWith({{gas::H2, 150}}), kUnknown, false, "H2",
                  "content", 150, true},
        LimitCase{"hydrogen 7 mL/d sealed", withRates(testWith({}), 7, 0), k110, true, "H2",
                  "absoluteRate", 10, false},
        LimitCase{"hydrogen 7 mL/d open-breathing", withRates(testWith({}), 7, 0), kOpen, true,
                  "H2", "absoluteRate", 5, true},
        LimitCase{"hydrocarbons up 15 % in a month",
                  testWith({{gas::CH4, 115}}, std::array<double, 7>{100, 0, 0, 0, 0, 0, 0}), k110,
                  false, "totalHydrocarbons", "relativeRate", 10, true},
        LimitCase{"hydrocarbons up 10 % in a month",
                  testWith({{gas::CH4, 110}}, std::array<double, 7>{100, 0, 0, 0, 0, 0, 0}), k110,
                  false, "totalHydrocarbons", "relativeRate", 10, false},
        LimitCase{"hydrocarbons up 15 % in two months",
                  twoMonthsLater(testWith({{gas::CH4, 115}},
                                          std::array<double, 7>{100, 0, 0, 0, 0, 0, 0})),
                  k110, false, "totalHydrocarbons", "relativeRate", 10, false},
        LimitCase{"hydrocarbons up 8 % in a month",
                  testWith({{gas::CH4, 108}}, std::array<double, 7>{100, 0, 0, 0, 0, 0, 0}), k110,
                  false, "totalHydrocarbons", "relativeRate", 10, false},
        LimitCase{"iec acetylene above its typical range", testWith({{gas::C2H2, 25}}), kIec, false,
                  "C2H2", "typical", 20, true}));

TEST(Limits, RatesAndRelativeRateOnlyWithWhatTheyNeed)
{
    const LimitsJudgement j = judgeLimits(testWith({{gas::H2, 10}}), {}, false);
    EXPECT_EQ(find(j, "H2", "absoluteRate"), nullptr);
    EXPECT_EQ(find(j, "totalHydrocarbons", "relativeRate"), nullptr);
    EXPECT_FALSE(j.notJudged.empty());
    EXPECT_FALSE(j.ieeeStatus);
}

TEST(Limits, IeeeStatusFromLevelsAndChange)
{
    const DeviceClass sealed{0, false, JudgingStandard::IeeeC57104};
    const DeviceClass open{0, true, JudgingStandard::IeeeC57104};
    const std::array<double, 7> h2Was50{0, 0, 0, 0, 50, 0, 0};
    const struct {
        const char* name;
        ChromatogramData data;
        DeviceClass device;
        int status;
    } cases[] = {
        {"low", testWith({{gas::H2, 30}}), sealed, 1},
        {"hydrogen above 90th percentile", testWith({{gas::H2, 100}}), sealed, 2},
        {"hydrogen above 95th percentile", testWith({{gas::H2, 250}}), sealed, 3},
        {"above 90th and grown by 50", testWith({{gas::H2, 100}}, h2Was50), sealed, 3},
        {"grown by 20 only", testWith({{gas::H2, 70}}, h2Was50), sealed, 1},
        {"open-breathing unit", testWith({{gas::H2, 50}}), open, 2},
        // The measured O2/N2 of a sealed unit wins over the setting, and the other way round.
        {"sealed by O2/N2", testWith({{gas::H2, 50}, {gas::O2, 2000}, {gas::N2, 50000}}), open, 1},
        {"open by O2/N2", testWith({{gas::H2, 50}, {gas::O2, 20000}, {gas::N2, 50000}}), sealed, 2},
        {"any new acetylene", testWith({{gas::C2H2, 0.5}}, h2Was50), sealed, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(judgeLimits(c.data, c.device, false).ieeeStatus, c.status) << c.name;
    // Its rates need more tests than one previous one; that is said, not judged silently.
    EXPECT_NE(
        judgeLimits(testWith({{gas::H2, 30}}, h2Was50), sealed, false).notJudged.find("产气速率"),
        std::string::npos);
}

// IEEE C57.104-2019 Tables 1 and 2 (90th and 95th percentiles, unit age unknown) and
// Table 3 (change between two tests), for O2/N2 at most 0.2 and above it: each reached at
// its value, not below it; acetylene's change counts any increase.
TEST(Limits, IeeeLevelsAndChangesAreThePublishedOnes)
{
    const struct {
        gas::Slot g;
        const char* quantity;
        double level90[2], level95[2], change[2];
    } rows[] = {
        {gas::H2, "H2", {80, 40}, {200, 90}, {40, 25}},
        {gas::CH4, "CH4", {90, 20}, {150, 50}, {30, 10}},
        {gas::C2H6, "C2H6", {90, 15}, {175, 40}, {25, 9}},
        {gas::C2H4, "C2H4", {50, 50}, {100, 100}, {20, 20}},
        {gas::C2H2, "C2H2", {1, 2}, {2, 7}, {0, 0}},
        {gas::CO, "CO", {900, 500}, {1100, 600}, {250, 175}},
        {gas::CO2, "CO2", {9000, 5000}, {12500, 7000}, {2500, 1700}},
    };
    for (const auto& r : rows)
        for (const int open : {0, 1}) {
            const DeviceClass device{0, open == 1, JudgingStandard::IeeeC57104};
            const std::string where = std::string(r.quantity) + (open ? " open" : " sealed");
            for (const auto& [kind, limit] :
                 {std::pair{"level90", r.level90[open]}, std::pair{"level95", r.level95[open]}}) {
                const auto at = judgeLimits(testWith({{r.g, limit}}), device, false);
                const auto below = judgeLimits(testWith({{r.g, limit * 0.999}}), device, false);
                ASSERT_NE(find(at, r.quantity, kind), nullptr) << where << kind;
                EXPECT_EQ(find(at, r.quantity, kind)->limit, limit) << where << kind;
                EXPECT_TRUE(find(at, r.quantity, kind)->exceeded) << where << kind;
                EXPECT_FALSE(find(below, r.quantity, kind)->exceeded) << where << kind;
            }
            // From 0.5 uL/L in the previous test, in the rate file's order.
            std::array<double, 7> before{};
            for (size_t s = 0; s < rate::Count; ++s)
                if (rate::kGasOf[s] == r.g)
                    before[s] = 0.5;
            const double step = std::max(r.change[open], 0.001);
            const auto grown = judgeLimits(testWith({{r.g, 0.5 + step}}, before), device, false);
            const auto same =
                judgeLimits(testWith({{r.g, 0.5 + r.change[open] * 0.999}}, before), device, false);
            ASSERT_NE(find(grown, r.quantity, "change"), nullptr) << where;
            EXPECT_TRUE(find(grown, r.quantity, "change")->exceeded) << where;
            EXPECT_FALSE(find(same, r.quantity, "change")->exceeded) << where;
        }
}

TEST(Limits, AttentionCheckFollowsTheVoltageClass)
{
    ChromatogramData d = testWith({{gas::C2H2, 2}});
    compareAttentionValues(d, attentionLimitsFor(k500));
    EXPECT_EQ(d.diagnosisCode, kAttentionExceededCode);
    EXPECT_EQ(d.advice, "乙炔含量超过了1uL/L，请注意\r\n");
    ChromatogramData low = testWith({{gas::C2H2, 2}});
    compareAttentionValues(low, attentionLimitsFor(k110));
    EXPECT_EQ(low.diagnosisCode, -1);
    EXPECT_EQ(low.advice, kContentsNormal);
    // The default class keeps the historic texts byte for byte.
    ChromatogramData all = testWith({{gas::H2, 150}, {gas::C2H2, 6}, {gas::CH4, 150}});
    compareAttentionValues(all);
    EXPECT_EQ(all.advice,
              std::string(kHydrogenExceeded) + kAcetyleneExceeded + kTotalHydrocarbonsExceeded);
    EXPECT_EQ(judgingStandardFromKey("ieee-c57.104"), JudgingStandard::IeeeC57104);
    EXPECT_FALSE(judgingStandardFromKey("ieee"));
}

}  // namespace
