#include "UiFixture.h"

#include "ui/graph/CChrEGraphView.h"
#include "ui/settings/CSysSetPages.h"
#include "ui/settings/CSysSetPropertySheet.h"
#include "ui/settings/PasswordDialog.h"
#include "ui/shell/LogViewDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

using namespace dgaws;
using namespace dgaws::test;

class SettingsDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void theSheetShowsAndEditsEveryKeyOfTheSettings()
    {
        SystemSettings s;
        s.AutoBase = 1;
        s.CardType = 1;
        s.CacuFrequence = 2;
        s.MergeAB = 1;
        s.StopB3 = "3.500";
        CSysSetPropertySheet sheet(s);
        QCOMPARE(sheet.findChild<QLineEdit*>("StopB3")->text(), QStringLiteral("3.500"));
        auto* card = static_cast<CSysSet_CardDlg*>(sheet.page(2));
        QCOMPARE(card->cardTypes()->checkedId(), 1);
        QCOMPARE(card->rates()->checkedId(), 2);

        // Every check box and text of the pages edits a key of the settings.
        SystemSettings probe;
        QStringList keys;
        for (const auto& field : probe.fields())
            keys << qs(field.key);
        for (QCheckBox* box : sheet.findChildren<QCheckBox*>())
            QVERIFY2(keys.contains(box->objectName()), qPrintable(box->objectName()));
        for (QLineEdit* edit : sheet.findChildren<QLineEdit*>())
            QVERIFY2(keys.contains(edit->objectName()), qPrintable(edit->objectName()));

        sheet.findChild<QCheckBox*>("ConvertB")->setChecked(true);
        sheet.findChild<QLineEdit*>("StartA1")->setText(QStringLiteral("1.5"));
        card->cardTypes()->button(0)->setChecked(true);
        card->rates()->button(0)->setChecked(true);
        static_cast<CSysSet_FileSetDlg*>(sheet.page(3))
            ->mergeDirection()
            ->button(0)
            ->setChecked(true);
        const SystemSettings e = sheet.edited();
        QCOMPARE(e.ConvertB, 1);
        QCOMPARE(e.StartA1, std::string("1.5"));
        QCOMPARE(e.CardType, 0);
        QCOMPARE(e.CacuFrequence, 0);
        QCOMPARE(e.MergeAB, 0);
        QCOMPARE(e.AutoBase, 1);  // untouched items keep their values
    }

    void systemOptionsAskAboutAnUnusualStartRiseAndThePasswordIsSetOnce()
    {
        UiFixture f;
        CChildFrame* w = f.frame->openChannel(0);
        QVERIFY(!w->graph()->auxiliaryLines());
        whenDialogShows([](QDialog& d) {
            d.findChild<QCheckBox*>("LineInPic")->setChecked(true);
            d.findChild<QLineEdit*>("AutoStartHeight")->setText(QStringLiteral("1.2"));
            d.findChild<QLineEdit*>("StopA2")->setText(QStringLiteral("4"));
            d.accept();
        });
        f.prompts.yesNo = {false};
        f.frame->actions().systemOptions->trigger();
        QCOMPARE(f.prompts.questions,
                 QStringList{QString::fromUtf8(
                     "输入的高度识别数据不在经验性的0.2mv和1mv的区间内，您确认要系统采用该参数吗,"
                     "点取消将不予采用？")});
        QSettings ini(qs(f.root.settingsFile()), QSettings::IniFormat);
        QCOMPARE(ini.value("System/AutoStartHeight").toString(), QStringLiteral("0.2"));
        QCOMPARE(ini.value("System/StopA2").toString(), QStringLiteral("4.000"));
        QVERIFY2(w->graph()->auxiliaryLines(), "open graphs follow the auxiliary-line setting");

        // The password dialog stays open until the change succeeds.
        f.prompts.messages.clear();
        whenDialogShows([](QDialog& d) {
            auto& dialog = static_cast<PasswordDialog&>(d);
            dialog.newPassword()->setText(QStringLiteral("abc"));
            dialog.confirmation()->setText(QStringLiteral("abd"));
            dialog.accept();
            QVERIFY(dialog.isVisible());
            dialog.confirmation()->setText(QStringLiteral("abc"));
            dialog.accept();
        });
        f.frame->actions().password->trigger();
        QCOMPARE(f.prompts.messages,
                 (QStringList{QString::fromUtf8("密码不一致，不能设置新密码"),
                              QString::fromUtf8("密码设置完成。")}));
        QCOMPARE(f.app->settings().Password, std::string("abc"));
    }

    void theLogIsListedNewestFirstAndAtMostFiveHundred()
    {
        CLog entries;
        const QDateTime t0(QDate(2024, 5, 6), QTime(7, 8, 9));
        for (int i = 0; i < 620; ++i)
            entries.push_back({t0.addSecs(i), "事件" + std::to_string(i)});
        LogViewDialog dialog(entries);
        QTableWidget& t = *dialog.table();
        QCOMPARE(t.rowCount(), 500);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("620"));
        QCOMPARE(t.item(0, 1)->text(),
                 t0.addSecs(619).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        QCOMPARE(t.item(499, 2)->text(), QString::fromUtf8("事件120"));
    }
};

int runSettingsDialogTests(int argc, char** argv)
{
    SettingsDialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "SettingsDialogsTest.moc"
