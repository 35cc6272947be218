#include "UiFixture.h"

#include "ui/CFileTreeView.h"
#include "ui/CResultListView.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTabBar>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

namespace {

QStringList logTexts(WorkstationApp& app)
{
    QStringList out;
    for (const auto& r : app.eventLog().entries())
        out << qs(r.text);
    return out;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheCardTitleAndTheDataFolder()
    {
        UiFixture f([](const DataRoot& root) {
            QSettings(qs(root.settingsFile()), QSettings::IniFormat).setValue("System/CardType", 1);
        });
        QCOMPARE(f.frame->windowTitle(), qs(f.app->mainFrameTitle()));
        QVERIFY(f.frame->windowTitle().endsWith(QStringLiteral("DX4410")));
        QCOMPARE(f.frame->fileTree()->root(), qs(f.app->settings().ProjectPath));
        QVERIFY2(QFileInfo::exists(qs(f.app->settings().SchemePath + "/QLDefault.she")),
                 "the shipped default method is in the method folder");
    }

    void openChannelMakesOneWindowWithTheDefaultMethod()
    {
        UiFixture f;
        QVERIFY(f.active);
        QTest::keyClick(f.frame.get(), Qt::Key_A);
        QCOMPARE(f.frame->frames().size(), 1);
        CChildFrame* a = f.frame->frames().front();
        QCOMPARE(a->windowTitle(), QString::fromUtf8("通道A"));
        QCOMPARE(a->document().data.methodName, std::string("QLDefault"));
        QCOMPARE(a->document().libraryMethodIndex, f.app->library().indexOf("QLDefault"));
        QCOMPARE(f.app->slot(0), &a->document());

        f.frame->openChannel(1);
        QCOMPARE(f.frame->channelTabs()->count(), 2);

        // Opening an open channel again only brings its window forward.
        const qsizetype logged = f.app->eventLog().count();
        QCOMPARE(f.frame->openChannel(0), a);
        QCOMPARE(f.frame->frames().size(), 2);
        QCOMPARE(f.frame->activeFrame(), a);
        QCOMPARE(f.frame->channelTabs()->currentIndex(), 0);
        QCOMPARE(f.app->eventLog().count(), logged);
    }

    void theOpenCommandTakesOnlyChromatogramFiles()
    {
        UiFixture f;
        const QString chg = f.writeSample("A_x.chg");
        const QString text = qs(f.app->settings().ProjectPath + "/notes.txt");
        QFile(text).open(QIODevice::WriteOnly);

        f.prompts.files = {text};
        f.frame->actions().open->trigger();
        QCOMPARE(f.prompts.messages,
                 QStringList{QString::fromUtf8("打开功能只支持CHG格式谱图文件，其他格式请到数据服务中心打开")});
        QCOMPARE(f.frame->frames().size(), 0);

        f.prompts.files = {chg};
        f.frame->actions().open->trigger();
        QCOMPARE(f.frame->frames().size(), 1);
        CChildFrame* w = f.frame->frames().front();
        QCOMPARE(w->windowTitle(), QStringLiteral("A_x.chg"));
        QCOMPARE(w->results()->rowCount(), 10);

        f.prompts.files = {chg};
        f.frame->actions().open->trigger();
        QCOMPARE(f.frame->frames().size(), 1);
        QCOMPARE(f.app->recentFiles().files(), std::vector<std::string>{ss(chg)});

        // A damaged file leaves no window behind.
        const QString bad = qs(f.app->settings().ProjectPath + "/bad.chg");
        QFile b(bad);
        b.open(QIODevice::WriteOnly);
        b.write("755garbage");
        b.close();
        QVERIFY(!f.frame->openChosen(bad));
        QVERIFY(f.prompts.messages.back().startsWith(QString::fromUtf8("谱图文件载入失败。\n")));
        QCOMPARE(f.frame->frames().size(), 1);
    }

    void aBinaryChromatogramOpensAtTheRateTheOperatorGives()
    {
        UiFixture f;
        const QString dat = qs(f.app->settings().ProjectPath + "/run.dat");
        writeBinaryChromatogram(ss(dat), sample::makeSampleChromatogram());

        // Cancelling the rate opens nothing.
        f.prompts.files = {dat};
        f.frame->actions().loadBinary->trigger();
        QCOMPARE(f.prompts.offeredIntegers, QList<int>{10});
        QCOMPARE(f.frame->frames().size(), 0);

        f.prompts.files = {dat};
        f.prompts.integers = {20};
        f.frame->actions().loadBinary->trigger();
        QCOMPARE(f.frame->frames().size(), 1);
        const ChromatogramData& d = f.frame->frames().front()->document().data;
        QCOMPARE(d.pointsPerSecond, 20);
        QCOMPARE(d.method.timeEnd, 10.0);  // 12000 samples at 20 per second
    }

    void nothingClosesWhileAChannelSamples()
    {
        UiFixture f;
        CChildFrame* a = f.frame->openChannel(0);
        CChildFrame* b = f.frame->openChannel(1);
        const QString chg = f.writeSample("A_y.chg");
        CChildFrame* file = f.frame->openDocument(chg);
        ChannelRun running{.acquiring = true};
        a->document().attachRun(&running);

        QVERIFY(!f.frame->close());
        QCOMPARE(f.prompts.messages.last(), QString::fromUtf8("正在采样，不能关闭。"));
        QVERIFY(!logTexts(*f.app).contains(QString::fromUtf8("系统退出")));

        const int before = f.prompts.messages.size();
        QMdiSubWindow* subB = nullptr;
        for (QMdiSubWindow* s : f.frame->mdiArea()->subWindowList())
            if (s->widget() == b)
                subB = s;
        QVERIFY(!subB->close());
        QCOMPARE(f.prompts.messages.size(), before + 1);
        QCOMPARE(f.frame->frames().size(), 3);

        // A file's window is not held by the run.
        QVERIFY(f.frame->frameOf(&file->document()));
        file->document().setModifiedFlag(false);
        QMdiSubWindow* subFile = nullptr;
        for (QMdiSubWindow* s : f.frame->mdiArea()->subWindowList())
            if (s->widget() == file)
                subFile = s;
        QVERIFY(subFile->close());

        a->document().attachRun(nullptr);
        QVERIFY(subB->close());
        QCOMPARE(f.app->slot(1), nullptr);
        QVERIFY(f.prompts.questions.isEmpty());
        QVERIFY(f.frame->close());
        QCOMPARE(logTexts(*f.app).back(), QString::fromUtf8("系统退出"));
        QVERIFY(QFileInfo::exists(qs(f.root.settingsFile())));
    }

    void aChangedFileAsksBeforeItsWindowCloses()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_z.chg"));
        w->document().setModifiedFlag(true);
        w->updateTitle();
        QCOMPARE(w->windowTitle(), QStringLiteral("A_z.chg*"));

        f.prompts.yesNoCancel = {OperatorPrompts::Answer::Cancel};
        QVERIFY(!f.frame->close());
        QCOMPARE(f.prompts.questions.last(), QString::fromUtf8("是否保存对A_z.chg的更改？"));
        QCOMPARE(f.frame->frames().size(), 1);

        w->document().data.sampleAmount = 55.0;
        f.prompts.yesNoCancel = {OperatorPrompts::Answer::Yes};
        QVERIFY(f.frame->close());
        QCOMPARE(readChromatogramFile(f.app->settings().ProjectPath + "/A_z.chg").sampleAmount, 55.0);
    }

    void viewSwitchesAreRememberedInTheSettings()
    {
        UiFixture f;
        f.frame->actions().viewTree->trigger();
        f.frame->actions().viewResult->trigger();
        QVERIFY(f.frame->close());
        QSettings ini(qs(f.root.settingsFile()), QSettings::IniFormat);
        QCOMPARE(ini.value("System/ViewTree").toInt(), 0);
        QCOMPARE(ini.value("System/ViewResult").toInt(), 1);
    }
};

int runMainFrameTests(int argc, char** argv)
{
    MainFrameTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MainFrameTest.moc"
