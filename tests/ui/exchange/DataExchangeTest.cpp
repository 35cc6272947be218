#include "DialogShot.h"
#include "UiFixture.h"

#include "chromatogram/AiaFile.h"
#include "chromatogram/TextChromatogram.h"
#include "chromatogram/TextFormat.h"
#include "ui/exchange/DataServiceCommands.h"
#include "ui/exchange/SignalCommands.h"
#include "ui/graph/CChrEGraphView.h"

#include <QAction>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

using namespace dgaws;
using namespace dgaws::test;

class DataExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void aiaImportedSmoothedAndExportedReadsBackSmoothed()
    {
        UiFixture f;
        f.prompts.files << DGAWS_TESTDATA_DIR "/aia/uniform-0.4s.cdf";
        f.command(qs("载入国际通用谱图格式(&I)"))->trigger();
        CChildFrame* w = f.frame->activeFrame();
        QVERIFY(w);
        QVERIFY(f.logged("用户打开了一张国际通用色谱文件uniform-0.4s.cdf。"));
        CChrEDoc& doc = w->document();
        const std::vector<float> original = doc.data.signal.values();
        QVERIFY(original.size() > 8);

        f.prompts.integers.push_back(4);
        QAction* smooth = f.command(qs(SignalCommands::kSmooth));
        QVERIFY(smooth->isEnabled());
        smooth->trigger();
        QCOMPARE(f.prompts.offeredIntegers.last(), 4);
        const std::vector<float> smoothed = doc.data.signal.values();
        QVERIFY(smoothed != original);

        const QString out = qs(f.dir.path("smoothed.cdf"));
        f.prompts.files << out;
        f.command(qs("保存为国际通用谱图格式(&G)"))->trigger();
        QCOMPARE(dgaws::importCdf(ss(out)).signal.values(), smoothed);

        // The smoothing was one undo step: the samples come back as they were.
        w->undoEdit();
        QCOMPARE(doc.data.signal.values(), original);
    }

    void exportOfAnEmptyChromatogramIsRefusedBeforeTheDialog()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openChannel(0);
        QVERIFY(w);
        f.prompts.files << qs(f.dir.path("never.txt"));
        QVERIFY(!f.frame->dataService().exportText(*w, TextLayout::Plain));
        QCOMPARE(f.prompts.messages.last(), qs(kExportNoData));
        QCOMPARE(f.prompts.files.size(), 1);
    }

    void standardTextImportSetsTheRateOfNewRuns()
    {
        UiFixture f;
        QCOMPARE(f.app->settings().pointsPerSecond, 20);
        const std::string path = f.dir.path("ten.txt");
        saveText(sample::makeSampleChromatogram(10, 1.0), path, TextLayout::Standard);
        f.prompts.files << qs(path);
        f.command(qs("载入通用色谱文本文件(&C)"))->trigger();
        QVERIFY(f.frame->activeFrame());
        QCOMPARE(f.frame->activeFrame()->document().data.pointsPerSecond, 10);
        QCOMPARE(f.app->settings().pointsPerSecond, 10);
        QVERIFY(f.logged("用户打开了一张标准色谱谱图文本文件ten.txt。"));

        // A rate the card cannot take is the file's own; new runs keep theirs, and the
        // operator is told.
        const std::string odd = f.dir.path("thirteen.txt");
        saveText(sample::makeSampleChromatogram(13, 1.0), odd, TextLayout::Standard);
        f.prompts.files << qs(odd);
        f.prompts.messages.clear();
        f.command(qs("载入通用色谱文本文件(&C)"))->trigger();
        QCOMPARE(f.frame->activeFrame()->document().data.pointsPerSecond, 13);
        QCOMPARE(f.app->settings().pointsPerSecond, 10);
        QCOMPARE(f.prompts.messages,
                 QStringList{qs(formatText(DataServiceCommands::kRateNotTaken, "13"))});
    }

    // On one chromatogram: the linked one is drawn and hidden, the noise close-up centres on
    // the newest sample, baseline subtraction and restore are one undo step each, and a merge
    // puts the chosen file first when asked.
    void signalCommandsChangeTheOpenChromatogramAsAsked()
    {
        UiFixture f;
        ChromatogramData data = sample::makeSampleChromatogram(20, 8.0);
        data.linkedFile = ss(f.writeSample("B.chg", sample::makeSampleChromatogram(20, 2.0)));
        CChildFrame* w = f.frame->openDocument(f.writeSample("A.chg", data));
        CChrEDoc& doc = w->document();
        QCOMPARE(w->graph()->linkedSamples(), 2400);
        f.command(qs(SignalCommands::kLinked))->trigger();
        QCOMPARE(w->graph()->linkedSamples(), 0);
        f.command(qs(SignalCommands::kNoise))->trigger();
        const int last = doc.data.signal.count() - 1;
        QCOMPARE(w->graph()->xAxis->range().lower, doc.data.indexToTime(last) - 5.0);
        QCOMPARE(w->graph()->yAxis->range().center(), doc.data.signal.at(last) * 0.001);

        // A baseline shorter than the signal is refused and changes nothing.
        const std::vector<float> original = doc.data.signal.values();
        f.prompts.files << f.writeSample("short.chg", sample::makeSampleChromatogram(20, 0.5));
        QVERIFY(!f.frame->signalCommands().subtractBaseline(*w));
        QCOMPARE(f.prompts.messages.last(), qs(SignalCorrection::kBaselineTooShort));
        QCOMPARE(doc.data.signal.values(), original);
        f.prompts.files << f.writeSample("base.chg", sample::makeSampleChromatogram(20, 9.0));
        QVERIFY(f.frame->signalCommands().subtractBaseline(*w));
        const std::vector<float> corrected = doc.data.signal.values();
        QVERIFY(corrected != original);
        QVERIFY(f.frame->signalCommands().restore(*w));
        QCOMPARE(doc.data.signal.values(), original);
        w->undoEdit();
        QCOMPARE(doc.data.signal.values(), corrected);
        w->undoEdit();
        QCOMPARE(doc.data.signal.values(), original);

        ChromatogramData tail = sample::makeSampleChromatogram(20, 0.5);
        f.prompts.files << f.writeSample("chosen.chg", tail);
        whenDialogShows([](QDialog& d) {
            for (QRadioButton* b : d.findChildren<QRadioButton*>())
                if (b->text() == qs(MergeOrderDialog::kChosenFirst))
                    b->setChecked(true);
            saveDialogShot(d, "merge-order");
            d.accept();
        });
        doc.setModifiedFlag(false);
        f.command(qs(DataServiceCommands::kMerge))->trigger();
        const SignalBuffer& merged = doc.data.signal;
        const int p = tail.signal.count();
        QCOMPARE(merged.count(), p + static_cast<int>(original.size()) - 1);
        QCOMPARE(merged.at(0), tail.signal.at(0));
        QCOMPARE(merged.at(p - 1), tail.signal.at(p - 1));
        QVERIFY(doc.isModified());
    }

    void droppedChromatogramsOpenByTheirKind()
    {
        UiFixture f;
        const QString chg = f.writeSample("dropped.chg");
        const std::string txt = f.dir.path("standard.txt");
        saveText(sample::makeSampleChromatogram(10, 0.5), txt, TextLayout::Standard);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(chg), QUrl::fromLocalFile(qs(txt))});
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window: the application delivers a drop only inside a drag.
        static_cast<QObject*>(f.frame.get())->event(&drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(f.frame->frames().size(), 2);
        QCOMPARE(f.frame->frames()[0]->document().pathName, ss(chg));
        // The time column was recognised: the rate comes from the file.
        QCOMPARE(f.frame->frames()[1]->document().data.pointsPerSecond, 10);
    }
};

int runDataExchangeTests(int argc, char** argv)
{
    DataExchangeTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "DataExchangeTest.moc"
