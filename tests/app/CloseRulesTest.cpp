#include "app/CChrEDoc.h"
#include "app/ChannelFileName.h"
#include "app/CloseRules.h"
#include "app/WorkstationApp.h"

#include <gtest/gtest.h>

using namespace dgaws;

namespace {

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

TEST(CloseRules, LiveWindowsCloseWithoutAskingUnlessAChannelSamples)
{
    Channels c;
    c.b.setModifiedFlag(true);
    EXPECT_EQ(decideDocumentClose(c.b, c.app), CloseDecision::Close) << "a changed live window does not ask";
    ChannelRun running{.acquiring = true};
    c.a.attachRun(&running);
    EXPECT_TRUE(channelSampling(c.app));
    EXPECT_EQ(decideDocumentClose(c.a, c.app), CloseDecision::Refuse);
    EXPECT_EQ(decideDocumentClose(c.b, c.app), CloseDecision::Refuse)
        << "channel B waits while channel A samples";
    EXPECT_EQ(decideDocumentClose(c.file, c.app), CloseDecision::Close)
        << "a file's window is not held by a run";
    running.acquiring = false;
    EXPECT_FALSE(channelSampling(c.app));
}

TEST(CloseRules, FileWindowsAskOnlyWhenChanged)
{
    Channels c;
    EXPECT_EQ(decideDocumentClose(c.file, c.app), CloseDecision::Close);
    c.file.setModifiedFlag(true);
    EXPECT_EQ(decideDocumentClose(c.file, c.app), CloseDecision::AskToSave);
    CChrEDoc fresh;  // a new document counts as one from a file
    fresh.setModifiedFlag(true);
    EXPECT_EQ(decideDocumentClose(fresh, c.app), CloseDecision::AskToSave);
}

TEST(CloseRules, OnlyTheChannelSlotsCount)
{
    Channels c;
    CChrEDoc third;
    ChannelRun running{.acquiring = true};
    third.attachRun(&running);
    c.app.setSlot(2, &third);
    EXPECT_FALSE(channelSampling(c.app));
    c.app.documentDestroyed(&c.a);
    c.a.attachRun(&running);
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
