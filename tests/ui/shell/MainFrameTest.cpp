#include "UiFixture.h"

#include "ui/graph/CResultListView.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

#include <functional>

using namespace dgaws;
using namespace dgaws::test;

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void openChannelMakesOneWindowWithTheDefaultMethodAndTheMenusReachEveryEntry()
    {
        UiFixture f;
        QVERIFY(f.active);
        QTest::keyClick(f.frame.get(), Qt::Key_A);
        QCOMPARE(f.frame->frames().size(), 1);
        CChildFrame* a = f.frame->frames().front();
        QCOMPARE(a->document().libraryMethodIndex, f.app->library().indexOf("QLDefault"));
        QCOMPARE(f.app->slot(0), &a->document());

        CChildFrame* b = f.frame->openChannel(1);
        // Opening an open channel again only brings its window forward.
        const qsizetype logged = f.app->eventLog().count();
        QCOMPARE(f.frame->openChannel(0), a);
        QCOMPARE(f.frame->frames().size(), 2);
        QCOMPARE(f.frame->activeFrame(), a);
        QCOMPARE(f.frame->channelTabs()->currentIndex(), 0);
        QCOMPARE(f.app->eventLog().count(), logged);

        // A closed channel window leaves its slot.
        for (QMdiSubWindow* s : f.frame->mdiArea()->subWindowList())
            if (s->widget() == b)
                QVERIFY(s->close());
        QCOMPARE(f.app->slot(1), nullptr);

        // Every menu, submenus too, reaches each of its entries by its own letter, and the
        // bars fit a 1280-pixel screen.
        const QRegularExpression mnemonic(QStringLiteral("&([^&])"));
        QStringList clashes;
        std::function<void(QMenu*)> walk = [&](QMenu* menu) {
            QMap<QChar, QString> seen;
            for (QAction* entry : menu->actions()) {
                if (entry->isSeparator() || !entry->isVisible())
                    continue;
                if (const auto m = mnemonic.match(entry->text()); m.hasMatch()) {
                    const QChar key = m.captured(1).at(0).toUpper();
                    if (seen.contains(key))
                        clashes << menu->title() + QStringLiteral(": ") + seen[key] +
                                QStringLiteral(" / ") + entry->text();
                    seen[key] = entry->text();
                }
                if (entry->menu())
                    walk(entry->menu());
            }
        };
        for (QAction* top : f.frame->menuBar()->actions())
            if (top->menu())
                walk(top->menu());
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));

        f.frame->showNormal();
        f.frame->resize(1280, 800);
        QTest::qWait(50);
        for (QToolBar* bar : f.frame->findChildren<QToolBar*>())
            if (bar->isVisible())
                QVERIFY2(bar->sizeHint().width() <= bar->width() + 1 &&
                             bar->geometry().right() <= f.frame->width(),
                         qPrintable(bar->windowTitle()));
    }

    void theOpenCommandsTakeTheirKindOfFileOnly()
    {
        UiFixture f;
        const QString chg = f.writeSample("A_x.chg");
        const QString text = qs(f.app->settings().ProjectPath + "/notes.txt");
        QFile(text).open(QIODevice::WriteOnly);

        f.prompts.files = {text};
        f.frame->actions().open->trigger();
        QCOMPARE(f.prompts.messages,
                 QStringList{QString::fromUtf8(
                     "打开功能只支持CHG格式谱图文件，其他格式请到数据服务中心打开")});
        QCOMPARE(f.frame->frames().size(), 0);

        for (int twice = 0; twice < 2; ++twice) {
            f.prompts.files = {chg};
            f.frame->actions().open->trigger();
            QCOMPARE(f.frame->frames().size(), 1);
        }
        QCOMPARE(f.frame->frames().front()->results()->rowCount(), 10);
        QCOMPARE(f.app->recentFiles().files(), std::vector<std::string>{ss(chg)});

        // A damaged file leaves no window behind.
        const QString bad = f.writeSample("bad.chg");
        QFile(bad).resize(50);
        QVERIFY(!f.frame->openChosen(bad));
        QVERIFY(f.prompts.messages.back().startsWith(QString::fromUtf8("谱图文件载入失败。\n")));
        QCOMPARE(f.frame->frames().size(), 1);

        // A binary chromatogram opens at the rate the operator gives; cancelled, at none.
        const QString dat = qs(f.app->settings().ProjectPath + "/run.dat");
        writeBinaryChromatogram(ss(dat), sample::makeSampleChromatogram());

        f.prompts.files = {dat};
        f.frame->actions().loadBinary->trigger();
        QCOMPARE(f.prompts.offeredIntegers, QList<int>{10});
        QCOMPARE(f.frame->frames().size(), 1);
        f.prompts.files = {dat};
        f.prompts.integers = {20};
        f.frame->actions().loadBinary->trigger();
        QCOMPARE(f.frame->frames().size(), 2);
        const ChromatogramData& d = f.frame->frames().back()->document().data;
        QCOMPARE(d.pointsPerSecond, 20);
        QCOMPARE(d.method.timeEnd, 10.0);  // 12000 samples at 20 per second
    }

    void aChangedFileAsksBeforeItsWindowCloses()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openDocument(f.writeSample("A_z.chg"));
        w->document().setModifiedFlag(true);

        f.prompts.yesNoCancel = {OperatorPrompts::Answer::Cancel};
        QVERIFY(!f.frame->close());
        QCOMPARE(f.prompts.questions.last(), QString::fromUtf8("是否保存对A_z.chg的更改？"));
        QCOMPARE(f.frame->frames().size(), 1);

        w->document().data.sampleAmount = 55.0;
        f.prompts.yesNoCancel = {OperatorPrompts::Answer::Yes};
        QVERIFY(f.frame->close());
        QCOMPARE(readChromatogramFile(f.app->settings().ProjectPath + "/A_z.chg").sampleAmount,
                 55.0);
    }
};

int runMainFrameTests(int argc, char** argv)
{
    MainFrameTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "MainFrameTest.moc"
