#include "app/CChrEDoc.h"
#include "app/ChannelFileName.h"
#include "app/CloseRules.h"
#include "app/WorkstationApp.h"
#include "chromatogram/CivilTime.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

#include "../chromatogram/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dgaws;
using dgaws::test::TempDir;

namespace {

struct Recorder {
    std::vector<std::string> messages;
    std::vector<std::string> logs;

    void attach(CChrEDoc& doc)
    {
        doc.setMessageSink([this](const std::string& m) { messages.push_back(m); });
        doc.setLogSink([this](const std::string& l) { logs.push_back(l); });
    }
};

ChromatogramData sampleRecord(int samples)
{
    ChromatogramData d;
    d.hasData = 1;
    d.pointsPerSecond = 10;
    std::vector<float> v(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i)
        v[static_cast<size_t>(i)] = static_cast<float>(i);
    d.signal.assign(v);
    return d;
}

struct Channels {
    WorkstationApp app{DataRoot("/nonexistent-root")};
    CChrEDoc a, b, file;

    Channels()
    {
        a.state = CChrEDoc::ChannelA;
        b.state = CChrEDoc::ChannelB;
        file.state = CChrEDoc::FromFile;
        app.setSlot(0, &a);
        app.setSlot(1, &b);
    }
};

}  // namespace

// Saved and opened again with its log lines, the title's star following the modified flag
// exactly once; a live channel saves only the samples it acquired.
TEST(DocumentFiles, SaveThenLoadWithTheirLogLinesStateAndTitle)
{
    TempDir dir;
    Recorder rec;
    CChrEDoc doc;
    rec.attach(doc);
    doc.data = sampleRecord(30);
    doc.data.method.deviceNo = "主变1";
    doc.setTitle("A_001.chg");
    doc.setModifiedFlag(true);
    doc.setModifiedFlag(true);
    EXPECT_EQ(doc.title(), "A_001.chg*");
    doc.setTitle("A_001.chg*");
    EXPECT_EQ(doc.title(), "A_001.chg*");
    const std::string path = dir.path("样品.chg");
    ASSERT_TRUE(doc.saveToFile(path));
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.title(), "A_001.chg");
    EXPECT_EQ(doc.pathName, path);
    doc.setTitle("B**");
    EXPECT_EQ(doc.title(), "B*") << "clearing removes exactly one trailing star";
    doc.setTitle("");
    doc.setModifiedFlag(true);
    EXPECT_EQ(doc.title(), "");

    CChrEDoc other;
    rec.attach(other);
    ASSERT_TRUE(other.loadFromFile(path));
    EXPECT_EQ(other.state, CChrEDoc::FromFile);
    EXPECT_EQ(other.pathName, path);
    EXPECT_EQ(other.data.method.deviceNo, "主变1");
    EXPECT_EQ(
        rec.logs,
        (std::vector<std::string>{"用户保存了名为样品.chg的文件", "用户打开了名为样品.chg的文件"}));
    EXPECT_TRUE(rec.messages.empty());

    other.acquiredCount = 12;  // a file's count of acquired points means nothing
    ASSERT_TRUE(other.saveToFile(dir.path("f.chg")));
    EXPECT_EQ(readChromatogramFile(dir.path("f.chg")).signal.count(), 30);
    CChrEDoc live;
    live.state = CChrEDoc::ChannelB;
    live.data = sampleRecord(24000);
    live.acquiredCount = 1234;
    ASSERT_TRUE(live.saveToFile(dir.path("b.chg")));
    EXPECT_EQ(readChromatogramFile(dir.path("b.chg")).signal.count(), 1234);
}

// The operator reads the operation's own text, then why it failed; the caller gets the same.
void expectShownWithReason(const Result<void>& r, const Recorder& rec, const std::string& text,
                           const std::string& reason)
{
    ASSERT_FALSE(r);
    ASSERT_FALSE(rec.messages.empty());
    EXPECT_EQ(rec.messages.back(), r.error());
    EXPECT_TRUE(r.error().starts_with(text + "\n")) << r.error();
    EXPECT_NE(r.error().find(reason, text.size()), std::string::npos) << r.error();
}

TEST(DocumentFiles, FailuresShowTheirTextAndReasonAndChangeNothing)
{
    TempDir dir;
    Recorder rec;
    CChrEDoc doc;
    rec.attach(doc);
    doc.data = sampleRecord(10);
    doc.pathName = "/earlier.chg";
    doc.setTitle("t");
    doc.setModifiedFlag(true);
    const std::string bad = dir.path("no/such/folder/x.chg");
    expectShownWithReason(doc.saveToFile(bad), rec,
                          "谱图文件" + bad + "保存失败,请检查保存路径是否存在。",
                          "No such file or directory");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pathName, "/earlier.chg");
    EXPECT_TRUE(rec.logs.empty());

    // A damaged file leaves the open document untouched.
    const std::string good = dir.path("good.chg");
    ASSERT_TRUE(doc.saveToFile(good));
    std::string bytes = readWholeFile(good);
    writeFileAtomically(dir.path("cut.chg"), bytes.substr(0, bytes.size() / 2));
    doc.data.method.tester = "甲";
    expectShownWithReason(doc.loadFromFile(dir.path("cut.chg")), rec, "谱图文件载入失败。",
                          "unexpected end of file");
    EXPECT_EQ(doc.data.method.tester, "甲");
    EXPECT_EQ(doc.pathName, good);
    expectShownWithReason(doc.loadFromFile(dir.path("missing.chg")), rec, "谱图文件载入失败。",
                          "missing.chg");
}

TEST(DocumentBinary, RefusalsAndTheLoadedRange)
{
    TempDir dir;
    Recorder rec;
    CChrEDoc doc;
    rec.attach(doc);
    EXPECT_FALSE(doc.saveBinary(dir.path("x.dat")));
    EXPECT_EQ(rec.messages.back(), "该谱图没有数据，无法输出保存！");
    doc.data = sampleRecord(1200);
    ChannelRun running{.acquiring = true};
    doc.attachRun(&running);
    EXPECT_FALSE(doc.saveBinary(dir.path("x.dat")));
    EXPECT_EQ(rec.messages.back(), "采样还未停止，无法输出保存！");
    running.acquiring = false;
    ASSERT_TRUE(doc.saveBinary(dir.path("x.dat")));
    expectShownWithReason(doc.saveBinary(dir.path("none/x.dat")), rec, "V3.3格式保存谱图失败。",
                          "No such file or directory");

    CChrEDoc loaded;
    rec.attach(loaded);
    ASSERT_TRUE(loaded.loadBinary(dir.path("x.dat")));
    EXPECT_EQ(loaded.state, CChrEDoc::FromFile);
    EXPECT_DOUBLE_EQ(loaded.data.method.timeEnd, 2.0);
    EXPECT_FLOAT_EQ(static_cast<float>(loaded.data.method.levelMax), 1.199f);
    EXPECT_EQ(rec.logs.back(), "用户打开了一张V3.0格式色谱谱图文件x.dat。");
    expectShownWithReason(loaded.loadBinary(dir.path("none.dat")), rec,
                          "以V3.3格式读取谱图出现未知原因的错误。", "none.dat");
}

TEST(DocumentSave, ProposesAPathInTheMethodsFolderWhenThereIsNone)
{
    TempDir dir;
    ProposalEnvironment env;
    env.now = [] { return test::civilTime(2026, 12, 6, 9, 5, 7); };
    env.fileExists = [](const std::string& p) { return std::filesystem::exists(p); };
    env.workDirectory = [&] { return dir.root().string(); };

    CChrEDoc doc;
    doc.state = CChrEDoc::ChannelA;
    doc.data = sampleRecord(20);
    doc.acquiredCount = 20;
    doc.data.method.text4 = dir.path("runs");
    doc.data.method.option2 = 1;
    doc.data.method.listA = {{0, "%Y%m"}};
    doc.data.method.deviceNo = "T1";
    doc.data.method.autoName2 = 1;  // device number and sequence
    ASSERT_TRUE(doc.save(env));
    EXPECT_EQ(doc.pathName, dir.path("runs/2026年/12月/A_T1001.chg"));
    EXPECT_EQ(doc.data.method.saveFolder, dir.path("runs/2026年/12月"));
    doc.pathName.clear();
    ASSERT_TRUE(doc.save(env));
    EXPECT_EQ(doc.pathName, dir.path("runs/2026年/12月/A_T1002.chg")) << "the next free number";

    // Both automatic switches off: the document's own proposed name, in the save folder.
    CChrEDoc named;
    named.data = sampleRecord(5);
    named.data.method.autoName2 = 0;
    named.data.method.autoName1 = 0;
    named.data.method.option2 = 0;
    named.data.method.text4 = dir.root().string();
    EXPECT_EQ(named.proposeSavePath(env), dir.path("谱图文件名(未知).chg"));
    // An unnamed chromatogram saved twice makes two files, never one over the other.
    ASSERT_TRUE(named.save(env));
    named.pathName.clear();
    named.data.signal.set(0, 42.0f);
    ASSERT_TRUE(named.save(env));
    EXPECT_EQ(named.pathName, dir.path("谱图文件名(未知)(2).chg"));
    EXPECT_NE(readChromatogramFile(dir.path("谱图文件名(未知).chg")).signal.at(0), 42.0f);
    named.pathName.clear();
    named.proposedName = "B_20261206.chg";
    ASSERT_TRUE(named.save(env));
    EXPECT_EQ(named.pathName, dir.path("B_20261206.chg"));
}

TEST(CloseRules, WindowsAskToSaveChangesAndWaitWhileAChannelOfItsSlotsSamples)
{
    Channels c;
    CChrEDoc fresh;  // a new document counts as one from a file
    for (CChrEDoc* d : {&c.b, &c.file, &fresh}) {
        EXPECT_EQ(decideDocumentClose(*d, c.app), CloseDecision::Close);
        d->setModifiedFlag(true);
        EXPECT_EQ(decideDocumentClose(*d, c.app), CloseDecision::AskToSave);
    }
    ChannelRun running{.acquiring = true};
    CChrEDoc third;
    third.attachRun(&running);
    c.app.setSlot(2, &third);
    EXPECT_FALSE(channelSampling(c.app)) << "only the channel slots count";
    c.a.attachRun(&running);
    EXPECT_TRUE(channelSampling(c.app));
    EXPECT_EQ(decideDocumentClose(c.a, c.app), CloseDecision::Refuse);
    EXPECT_EQ(decideDocumentClose(c.b, c.app), CloseDecision::Refuse)
        << "channel B waits while channel A samples";
    EXPECT_EQ(decideDocumentClose(c.file, c.app), CloseDecision::AskToSave)
        << "a file's window is not held by a run";
    running.acquiring = false;
    EXPECT_FALSE(channelSampling(c.app));
    running.acquiring = true;
    c.app.documentDestroyed(&c.a);
    EXPECT_FALSE(channelSampling(c.app)) << "a document out of its slot holds nothing";
}

TEST(OtherChannelFile, SwapsTheChannelOfNameAndFolder)
{
    EXPECT_EQ(otherChannelFile("/d/A_/A_2024030501.chg"), "/d/B_/B_2024030501.chg");
    EXPECT_EQ(otherChannelFile("/d/2024年/B_dev_001.chg"), "/d/2024年/A_dev_001.chg");
    EXPECT_EQ(otherChannelFile("A_x.chg"), "B_x.chg");
    EXPECT_EQ(otherChannelFile("/A_data/A_x.chg"), "/A_data/B_x.chg")
        << "only a folder named exactly after a channel is a channel folder";
    EXPECT_EQ(otherChannelFile("/d/C_x.chg"), "");
    EXPECT_EQ(otherChannelFile("/d/sample.chg"), "");
    EXPECT_EQ(otherChannelFile(""), "");
}
