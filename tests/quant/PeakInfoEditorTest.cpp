// Manual identification from the peak information dialog, without its widgets.
#include "quant/QuantFixtures.h"

#include "quant/Identification.h"
#include "quant/PeakInfoEditor.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace dgaws::test {
namespace {

const AskYesNo kNo = [](const std::string&) { return false; };

class PeakInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d.method.components =
            numbered({component("a", 1.0), component("b", 2.0), component("c", 3.0)});
        d.peaks.append(identifiedPeak(1.0, 10, 0, "a"));
        d.peaks.append(identifiedPeak(2.02, 20, 1, "b"));
        d.peaks.append(peakAt(2.3, 30));  // unidentified
        library.path = "/methods/M.she";
        library.method.components = d.method.components;
    }
    PeakInfoContext context(int curveIndex = -1)
    {
        return {&d, &library, curveIndex, [this](const MethodLibraryEntry&) { ++saves; }};
    }

    ChromatogramData d;
    MethodLibraryEntry library;
    int saves = 0;
    RetentionTimePrompt keep{0, 0};
    RetentionTimePrompt change{0, 1};
};

TEST_F(PeakInfoTest, OpeningShowsTheComponentOrANewEntry)
{
    PeakInfoEditor known(context(), 1);
    EXPECT_TRUE(known.identified());
    EXPECT_EQ(known.selectedChoice(), 1);
    EXPECT_EQ(known.componentChoices(), (std::vector<std::string>{"a", "b", "c", "未知组份"}));

    d.peaks[0].componentName = "renamed";  // an index without its name does not count
    PeakInfoEditor stale(context(), 0);
    EXPECT_FALSE(stale.identified());
    EXPECT_EQ(stale.shownComponentNumber(), 0);
    EXPECT_EQ(stale.shownTimeWindow(), 0.05);
    EXPECT_FALSE(PeakInfoEditor(context(), 9).validPeak());
    d.peaks[2].excluded = 1;
    EXPECT_EQ(PeakInfoEditor(context(), 2).fields().areaPercent, "(Unused Peak)");
    EXPECT_NE(PeakInfoEditor(context(), 1).fields().areaPercent, "(Unused Peak)");
}

TEST_F(PeakInfoTest, ChoosingOutOfRetentionOrderIsRefused)
{
    PeakInfoEditor e(context(), 2);
    // c follows a and b, which both elute before 2.3: fine. b at 0.5 would precede a.
    EXPECT_EQ(e.choose(2, 2.3), "");
    EXPECT_EQ(e.choose(1, 0.5),
              "您选择组份按照当前峰的保留时间，已经小于前面确定的组份的保留时间，请按出峰时间顺序手"
              "动定性。");
    EXPECT_EQ(e.selectedChoice(), -1);
    EXPECT_EQ(e.choose(1, 2.3), "");
    EXPECT_EQ(e.selectedChoice(), 1);
    EXPECT_FALSE(e.addNewTicked());
    EXPECT_EQ(e.choose(3, 2.3), "");
    EXPECT_TRUE(e.addNewTicked());
    e.choose(0, 2.3);
    EXPECT_FALSE(e.addNewTicked());
}

TEST_F(PeakInfoTest, AnUnidentifiedPeakNeedsATableNameOrTheNewComponentBox)
{
    const PeakTable before = d.peaks;
    PeakInfoEditor e(context(), 2);
    EXPECT_EQ(e.accept("x", 2.3, 0.05, change, kNo, {}).message,
              "如果您是在添加新组份，请勾选“添加新组份到组份表”");
    EXPECT_EQ(e.accept("未知组份", 2.3, 0.05, change, kNo, {}).message,
              "组份表不存在该组份，如果您要添加，请勾选“添加新组份到组份表”");
    EXPECT_EQ(d.peaks, before);
    EXPECT_EQ(saves, 0);
}

TEST_F(PeakInfoTest, KeepingTheTimeMovesTheComponentToThisPeakUntilReidentified)
{
    const auto table = d.method.components;
    PeakInfoEditor e(context(), 2);
    const PeakInfoResult r = e.accept("b", 2.3, 0.2, keep, kNo, {});
    EXPECT_EQ(r.evaluateMask, 0x20);  // quantitation only: the assignment must survive
    EXPECT_EQ(d.peaks[1].componentIndex, -1);
    EXPECT_EQ(d.peaks[2].componentIndex, 1);
    EXPECT_EQ(d.method.components, table);
    EXPECT_EQ(saves, 0);
}

TEST_F(PeakInfoTest, ChangingTheTimeReordersTheOwnAndTheLibraryTable)
{
    d.method.components[2].internalStandardIndex = 0;
    library.method.components = d.method.components;
    PeakInfoEditor e(context(), 0);  // the peak of a
    const PeakInfoResult r = e.accept("a", 2.5, 0.1, change, kNo, {});
    EXPECT_EQ(r.evaluateMask, 0x30);
    EXPECT_EQ(names(d.method.components), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(d.method.components[1].timeWindow, 0.1);
    EXPECT_EQ(d.method.components[2].internalStandardIndex, 1);
    EXPECT_EQ(library.method.components, d.method.components);
    EXPECT_EQ(saves, 1);
}

TEST_F(PeakInfoTest, TheQuestionIsAskedAndARememberedAnswerStopsIt)
{
    RetentionTimePrompt prompt;  // ask, default "change"
    int asked = 0;
    const AskUpdateRTime keepAndRemember = [&] {
        ++asked;
        return UpdateRTimeAnswer{false, true};
    };
    PeakInfoEditor(context(), 2).accept("b", 2.3, 0.05, prompt, kNo, keepAndRemember);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(prompt.ShowUpdateRTimeDlg, 0);
    EXPECT_EQ(d.peaks[2].componentName, "b");
    PeakInfoEditor(context(), 1).accept("b", 2.0, 0.05, prompt, kNo, keepAndRemember);
    EXPECT_EQ(asked, 1);
    // Answered "change", the answer is kept for the next time and the time moves.
    RetentionTimePrompt ask;
    PeakInfoEditor(context(), 0).accept("a", 1.2, 0.05, ask, kNo, [] {
        return UpdateRTimeAnswer{true, false};
    });
    EXPECT_EQ(ask.LastUpdateRTime, 1);
    EXPECT_EQ(d.method.components[0].retentionTime, 1.2);
}

TEST_F(PeakInfoTest, ANewComponentGoesIntoBothTables)
{
    PeakInfoEditor e(context(), 2);
    e.setAddNew(true);
    const PeakInfoResult r = e.accept("CO(一氧化碳)", 2.3, 0.08, change, kNo, {});
    EXPECT_EQ(r.evaluateMask, 0x30);
    EXPECT_EQ(names(d.method.components),
              (std::vector<std::string>{"a", "b", "CO(一氧化碳)", "c"}));
    EXPECT_EQ(d.method.components[2].timeWindow, 0.08);
    EXPECT_EQ(library.method.components, d.method.components);
    EXPECT_EQ(saves, 1);
}

TEST_F(PeakInfoTest, AnEmptyNameDeletesTheComponentAfterTheQuestion)
{
    std::string question;
    const AskYesNo yes = [&](const std::string& q) {
        question = q;
        return true;
    };
    EXPECT_EQ(PeakInfoEditor(context(), 1).accept("", 2.02, 0.05, change, kNo, {}).evaluateMask, 0);
    EXPECT_EQ(d.method.components.size(), 3u);

    const PeakInfoResult r = PeakInfoEditor(context(), 1).accept("", 2.02, 0.05, change, yes, {});
    EXPECT_EQ(question, "真的要从组份表中删除[b]组份吗?");
    EXPECT_EQ(r.evaluateMask, 0x30);
    EXPECT_EQ(names(d.method.components), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(names(library.method.components), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(saves, 1);

    // An unidentified peak: nothing to delete, nothing asked.
    question.clear();
    PeakInfoEditor(context(), 2).accept("", 2.3, 0.05, change, yes, {});
    EXPECT_EQ(question, "");
}

TEST_F(PeakInfoTest, ALinkedCurveIsOverwrittenInPlace)
{
    CalibrationCurve curve;
    curve.components = numbered({component("a", 1.0), component("b", 2.0)});
    curve.levels = {StandardLevel{{run("s.chg", {10, 20})}}};
    library.curves = {curve};
    d.method.components = curve.components;

    // A new component of a linked document enters the curve with a response in every run.
    PeakInfoEditor add(context(0), 2);
    add.setAddNew(true);
    add.accept("n", 1.5, 0.05, change, kNo, {});
    EXPECT_EQ(names(library.curves[0].components), (std::vector<std::string>{"a", "n", "b"}));
    EXPECT_EQ(library.curves[0].levels[0].runs[0].responses[2].area, 20);

    identify(d, &library.curves[0]);  // the evaluation the result asked for
    ASSERT_EQ(d.peaks[1].componentIndex, 2);
    PeakInfoEditor e(context(0), 1);
    ASSERT_TRUE(e.linked());
    PeakInfoResult r = e.accept("b", 0.5, 0.3, keep, kNo, {});
    EXPECT_EQ(r.evaluateMask, 0x20);  // the hand-made assignment stays
    EXPECT_EQ(library.curves[0].components[2].timeWindow, 0.3);
    EXPECT_EQ(library.curves[0].components[2].retentionTime, 2.0);

    r = PeakInfoEditor(context(0), 1).accept("b", 0.5, 0.3, change, kNo, {});
    EXPECT_EQ(r.evaluateMask, 0x30);
    // In place: the table is not re-sorted by the new time.
    EXPECT_EQ(names(library.curves[0].components), (std::vector<std::string>{"a", "n", "b"}));
    EXPECT_EQ(library.curves[0].components[2].retentionTime, 0.5);
}

// The library is written first; when that fails, neither it nor the document changes and
// nothing is evaluated. A name the table has is refused before anything is written.
TEST_F(PeakInfoTest, AFailedLibraryWriteOrADuplicateNameChangesNothing)
{
    const AskYesNo yes = [](const std::string&) { return true; };
    struct Case {
        const char* what;
        int peak;
        std::string name;
        bool addNew;
        RetentionTimePrompt prompt;
    };
    const Case cases[] = {
        {"move the time", 0, "a", false, change},
        {"assign and move", 2, "b", false, change},
        {"add a component", 2, "CO(一氧化碳)", true, change},
        {"delete a component", 1, "", false, change},
    };
    const MethodLibraryEntry before = library;
    const ChromatogramData document = d;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeakInfoContext ctx = context();
        ctx.save = [](const MethodLibraryEntry&) { throw std::runtime_error("read-only"); };
        PeakInfoEditor e(ctx, c.peak);
        e.setAddNew(c.addNew);
        RetentionTimePrompt prompt = c.prompt;
        const PeakInfoResult r = e.accept(c.name, 2.5, 0.1, prompt, yes, {});
        EXPECT_NE(r.saveError.find("read-only"), std::string::npos);
        EXPECT_EQ(r.evaluateMask, 0);
        EXPECT_EQ(library, before);
        EXPECT_EQ(d.method.components, document.method.components);
        EXPECT_EQ(d.peaks, document.peaks);
    }

    // A new component may take no existing name, the first one's included.
    for (const char* name : {"b", "a"}) {
        PeakInfoEditor twice(context(), 2);
        twice.setAddNew(true);
        const PeakInfoResult r = twice.accept(name, 2.3, 0.05, change, kNo, {});
        EXPECT_EQ(r.message, "存在同名组份，请重新选择") << name;
        EXPECT_EQ(r.evaluateMask, 0) << name;
    }
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(d.method.components, document.method.components);
}

}  // namespace
}  // namespace dgaws::test
