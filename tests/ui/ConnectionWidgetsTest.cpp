#include "ui/CPortChoiceDlg.h"
#include "ui/CStartWizardDlg.h"
#include "ui/CWaitWindow.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace dgaws;

class ConnectionWidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void theWizardReportsTheOperatorsChoice()
    {
        const struct {
            CStartWizardDlg::Choice choice;
            const char* text;
            int result;
        } cases[] = {
            {CStartWizardDlg::Automatic, "启动自动连接(&O)", QDialog::Accepted},
            {CStartWizardDlg::Manual, "手动连接(&C)", QDialog::Accepted},
            {CStartWizardDlg::Simulated, "模拟连接（&V）", QDialog::Accepted},
            {CStartWizardDlg::NoConnection, "取消连接(&C)", QDialog::Rejected},
        };
        for (const auto& c : cases) {
            CStartWizardDlg wizard;
            QCOMPARE(wizard.windowTitle(), QString::fromUtf8("启动向导"));
            QCOMPARE(wizard.button(c.choice)->text(), QString::fromUtf8(c.text));
            QTest::mouseClick(wizard.button(c.choice), Qt::LeftButton);
            QCOMPARE(wizard.choice(), c.choice);
            QCOMPARE(wizard.result(), c.result);
        }
    }

    void thePortChoiceShowsThePortOfTheChosenLine()
    {
        CPortChoiceDlg dialog({QStringLiteral("USB Serial (ttyUSB0)"), QStringLiteral("ttyS0")},
                              {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0")});
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("请从下表中选择要连接的端口"));
        QCOMPARE(dialog.chosen(), -1);
        QVERIFY(dialog.chosenPort().isEmpty());
        dialog.list()->setCurrentRow(1);
        QCOMPARE(dialog.chosen(), 1);
        QCOMPARE(dialog.chosenPort(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(dialog.chosenText(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(dialog.rememberBox()->text(), QString::fromUtf8("默认选择此端口，下次不要再询问我"));
        QVERIFY(!dialog.remember());
        dialog.rememberBox()->setChecked(true);
        QVERIFY(dialog.remember());
    }

    void theWaitWindowShowsEachTextCentred()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
        CWaitWindow wait(&owner);
        QCOMPARE(wait.text(), QString::fromUtf8("正在等待连接信息..."));
        wait.showText(QString::fromUtf8("采集器预热中，需要时间30秒..."));
        QVERIFY(wait.isVisible());
        QCOMPARE(wait.text(), QString::fromUtf8("采集器预热中，需要时间30秒..."));
        QVERIFY(qAbs(wait.geometry().center().x() - owner.frameGeometry().center().x()) <= 1);
        QVERIFY(wait.windowFlags() & Qt::FramelessWindowHint);
    }
};

int runConnectionWidgetTests(int argc, char** argv)
{
    ConnectionWidgetsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ConnectionWidgetsTest.moc"
