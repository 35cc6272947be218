// Component table order and references, and identification by retention windows.
#include "quant/QuantFixtures.h"

#include "quant/ComponentTable.h"
#include "quant/Identification.h"

#include <gtest/gtest.h>

#include <map>

namespace dgaws::test {
namespace {

// name -> (name of its internal standard, name of its group head); "" for none.
std::map<std::string, std::pair<std::string, std::string>> referencesByName(const ComponentTable& t)
{
    const auto nameAt = [&](int i) {
        return validComponentIndex(t, i) ? t[static_cast<size_t>(i)].name : std::string();
    };
    std::map<std::string, std::pair<std::string, std::string>> m;
    for (const ComponentEntry& c : t)
        m[c.name] = {nameAt(c.internalStandardIndex), nameAt(c.groupParentIndex)};
    return m;
}

void expectNumbered(const ComponentTable& t)
{
    for (size_t i = 0; i < t.size(); ++i)
        EXPECT_EQ(t[i].index, static_cast<int>(i)) << t[i].name;
}

// A: internal standard of C; B heads group of D; D refers to A.
ComponentTable referencedTable()
{
    ComponentTable t = numbered(
        {component("A", 1.0), component("B", 2.0), component("C", 3.0), component("D", 4.0)});
    t[2].internalStandardIndex = 0;
    t[3].groupParentIndex = 1;
    t[3].internalStandardIndex = 0;
    t[1].internalStandardIndex = 2;
    return t;
}

TEST(ComponentTable, AddKeepsRetentionOrderAndEveryReference)
{
    ComponentTable t = referencedTable();
    const auto before = referencesByName(t);

    ComponentEntry n = component("N", 2.5);
    n.internalStandardIndex = 2;  // C, as the table stood before the insertion
    EXPECT_EQ(addComponent(t, n), 2);
    EXPECT_EQ(names(t), (std::vector<std::string>{"A", "B", "N", "C", "D"}));
    expectNumbered(t);
    auto after = referencesByName(t);
    EXPECT_EQ(after["N"].first, "C");
    after.erase("N");
    EXPECT_EQ(after, before);

    // Equal times go behind the entries already there; a late one is appended.
    EXPECT_EQ(addComponent(t, component("A2", 1.0)), 1);
    EXPECT_EQ(addComponent(t, component("Z", 99.0)), 6);
    EXPECT_EQ(addComponent(t, component("first", 0.5)), 0);
    after = referencesByName(t);
    for (const auto& [name, refs] : before)
        EXPECT_EQ(after[name], refs) << name;
    expectNumbered(t);
}

TEST(ComponentTable, RemoveDropsReferencesToTheRemovedEntryOnly)
{
    ComponentTable t = referencedTable();
    removeComponent(t, 0);  // A: the internal standard of C and D
    EXPECT_EQ(names(t), (std::vector<std::string>{"B", "C", "D"}));
    expectNumbered(t);
    EXPECT_EQ(t[1].internalStandardIndex, -1);
    EXPECT_EQ(t[2].internalStandardIndex, -1);
    EXPECT_EQ(t[2].groupParentIndex, 0);       // still B
    EXPECT_EQ(t[0].internalStandardIndex, 1);  // still C

    removeComponent(t, 0);  // B: D leaves its group
    EXPECT_EQ(t[1].groupParentIndex, -1);
    removeComponent(t, 7);  // outside: nothing
    EXPECT_EQ(t.size(), 2u);
}

TEST(ComponentTable, ReplaceMovesTheEntryAndReferencesFollowIt)
{
    for (const double newTime : {0.5, 2.5, 3.5, 9.0}) {
        ComponentTable t = referencedTable();
        const auto before = referencesByName(t);
        ComponentEntry a = t[0];
        a.retentionTime = newTime;
        const int at = replaceComponent(t, 0, a);
        ASSERT_GE(at, 0);
        EXPECT_EQ(t[static_cast<size_t>(at)].name, "A");
        EXPECT_EQ(t[static_cast<size_t>(at)].retentionTime, newTime);
        for (size_t i = 1; i < t.size(); ++i)
            EXPECT_LE(t[i - 1].retentionTime, t[i].retentionTime);
        EXPECT_EQ(referencesByName(t), before) << "new time " << newTime;
        expectNumbered(t);
    }
    ComponentTable t = referencedTable();
    EXPECT_EQ(replaceComponent(t, 4, component("X", 1.0)), -1);
    EXPECT_EQ(t.size(), 4u);
}

TEST(Identification, WindowsAreInclusiveSignlessAndFirstEntryWins)
{
    ComponentTable t = numbered(
        {component("H2(氢气)", 1.0), component("CH4(甲烷)", 1.25), component("CO(一氧化碳)", 3.0)});
    t[0].timeWindow = 0.25;   // 0.75 .. 1.25, overlapping CH4's window
    t[1].timeWindow = 0.125;  // 1.125 .. 1.375
    t[2].timeWindow = -0.5;   // 2.5 .. 3.5

    PeakTable peaks;
    for (double rt : {0.75, 1.25, 1.3, 1.375, 1.5, 2.5, 3.0, 3.5, 3.5001})
        peaks.append(peakAt(rt, 10.0));
    peaks[4].componentIndex = 2;  // a stale assignment is cleared
    peaks[4].componentName = "CO(一氧化碳)";
    peaks[6].excluded = 1;
    identify(peaks, t);

    const std::vector<std::string> expected = {
        "H2(氢气)",     "H2(氢气)", "CH4(甲烷)",    "CH4(甲烷)", "",
        "CO(一氧化碳)", "",         "CO(一氧化碳)", ""};
    for (int i = 0; i < peaks.size(); ++i) {
        EXPECT_EQ(peaks[i].componentName, expected[static_cast<size_t>(i)]) << "peak " << i;
        EXPECT_EQ(peaks[i].componentIndex, componentNamed(t, expected[static_cast<size_t>(i)]))
            << "peak " << i;
    }

    identify(peaks, ComponentTable{});
    for (const PeakRecord& p : peaks)
        EXPECT_EQ(p.componentIndex, -1);
}

TEST(Identification, TheLinkedCurveTableWinsOverTheOwnCopy)
{
    ChromatogramData d;
    d.method.components = numbered({component("own", 1.0)});
    d.peaks.append(peakAt(2.0, 5.0));
    CalibrationCurve curve;
    curve.components = numbered({component("library", 2.0)});

    identify(d, &curve);
    EXPECT_EQ(d.peaks[0].componentName, "library");
    identify(d, nullptr);
    EXPECT_EQ(d.peaks[0].componentName, "");
    EXPECT_FALSE(identifiedAs(d.peaks[0], d.method.components));

    d.peaks[0].componentIndex = 0;
    d.peaks[0].componentName = "other";
    EXPECT_FALSE(identifiedAs(d.peaks[0], d.method.components));
    d.peaks[0].componentName = "own";
    EXPECT_TRUE(identifiedAs(d.peaks[0], d.method.components));
}

}  // namespace
}  // namespace dgaws::test
