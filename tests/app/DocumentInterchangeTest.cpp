#include "app/DocumentInterchange.h"
#include "Gaussians.h"

#include "chromatogram/ChromatogramFile.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

using namespace dgaws;
using dgaws::test::TempDir;
namespace di = dgaws::document_interchange;

namespace {

struct Sinks {
    std::vector<std::string> messages, logs;
    void attach(CChrEDoc& d)
    {
        d.setMessageSink([this](const std::string& m) { messages.push_back(m); });
        d.setLogSink([this](const std::string& l) { logs.push_back(l); });
    }
};

// Two Gaussian peaks on a flat baseline, 20 points per second.
void fillWithPeaks(ChromatogramData& d, int samples)
{
    d.signal.assign(test::gaussians(samples, {{400, 50000, 30}, {900, 30000, 30}}, 0.0f));
    d.hasData = 1;
}

}  // namespace

// Export refuses an empty or running chromatogram and names a file it cannot write; what it
// writes opens as new documents with their log lines, and a file of the wrong kind leaves
// the document as it was.
TEST(DocumentInterchange, ExportRefusesAndFailsWithItsTextsAndWhatItWroteOpensAgain)
{
    TempDir dir;
    Sinks sinks;
    CChrEDoc doc;
    sinks.attach(doc);
    EXPECT_FALSE(di::exportCdf(doc, dir.path("run.cdf")));
    EXPECT_EQ(sinks.messages.back(), "该谱图没有数据，无法输出保存！");
    fillWithPeaks(doc.data, 1200);
    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_FALSE(di::saveText(doc, dir.path("run.std"), TextLayout::Standard));
    EXPECT_EQ(sinks.messages.back(), "采样还未停止，无法输出保存！");
    running.acquiring = false;
    const auto cdf = di::exportCdf(doc, dir.path("missing/a.cdf"));
    EXPECT_EQ(sinks.messages.back(), cdf.error());
    EXPECT_TRUE(cdf.error().starts_with("输出谱图文件失败!\n")) << cdf.error();
    const auto csv = di::saveText(doc, dir.path("missing/a.csv"), TextLayout::CommaSeparated);
    EXPECT_EQ(sinks.messages.back(), csv.error());
    EXPECT_TRUE(csv.error().starts_with("输出谱图文件失败!\n")) << csv.error();
    const size_t shown = sinks.messages.size();
    ASSERT_TRUE(di::exportCdf(doc, dir.path("run.cdf")));
    ASSERT_TRUE(di::saveText(doc, dir.path("run.std"), TextLayout::Standard));
    EXPECT_EQ(sinks.messages.size(), shown);

    CChrEDoc fromCdf;
    sinks.attach(fromCdf);
    fromCdf.data.method.deviceNo = "主变";
    ASSERT_TRUE(di::importCdf(fromCdf, dir.path("run.cdf"), 20));
    EXPECT_EQ(fromCdf.state, CChrEDoc::FromFile);
    EXPECT_EQ(fromCdf.data.signal.count(), 1200);
    EXPECT_EQ(fromCdf.data.pointsPerSecond, 20);
    EXPECT_EQ(fromCdf.data.method.deviceNo, "主变") << "the document's method stays";
    EXPECT_EQ(sinks.logs.back(), "用户打开了一张国际通用色谱文件run.cdf。");
    CChrEDoc fromText;
    sinks.attach(fromText);
    ASSERT_TRUE(di::loadText(fromText, dir.path("run.std"), TextLayout::Standard, 10));
    EXPECT_EQ(fromText.data.pointsPerSecond, 20) << "the times give the rate";
    EXPECT_EQ(sinks.logs.back(), "用户打开了一张标准色谱谱图文本文件run.std。");
    CChrEDoc broken;
    const auto imported = di::importCdf(broken, dir.path("run.std"), 20);
    EXPECT_FALSE(imported.error().empty());
    EXPECT_EQ(broken.state, CChrEDoc::New);
    EXPECT_EQ(broken.data.signal.count(), 0);
}

TEST(DocumentMerge, JoinsWithoutAStepAndDetectsAgain)
{
    TempDir dir;
    ChromatogramData other;
    fillWithPeaks(other, 1200);
    for (int i = 0; i < other.signal.count(); ++i)
        other.signal.set(i, other.signal.at(i) + 500.0f);
    writeChromatogramFile(dir.path("other.chg"), other);

    Sinks sinks;
    CChrEDoc doc;
    sinks.attach(doc);
    fillWithPeaks(doc.data, 1200);
    ASSERT_TRUE(di::mergeWith(doc, dir.path("other.chg"), false));
    EXPECT_EQ(doc.data.signal.count(), 2399);
    EXPECT_EQ(doc.acquiredCount, 2399);
    // The second half starts where the first ended: its 500 uV offset is gone.
    EXPECT_NEAR(doc.data.signal.at(1200),
                doc.data.signal.at(1199) + (other.signal.at(1) - other.signal.at(0)), 1e-3);
    EXPECT_NEAR(doc.data.signal.at(1199 + 900), other.signal.at(900) - 500.0f, 0.05);
    EXPECT_EQ(doc.data.peaks.size(), 4) << "both halves' peaks found by the new detection";
    EXPECT_TRUE(doc.isModified());

    EXPECT_FALSE(di::mergeWith(doc, dir.path("none.chg"), true));
    EXPECT_TRUE(sinks.messages.back().starts_with("谱图文件载入失败。\n"));
    EXPECT_EQ(doc.data.signal.count(), 2399);
}
