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
            int result;
        } cases[] = {
            {CStartWizardDlg::Automatic, QDialog::Accepted},
            {CStartWizardDlg::Manual, QDialog::Accepted},
            {CStartWizardDlg::Simulated, QDialog::Accepted},
            {CStartWizardDlg::NoConnection, QDialog::Rejected},
        };
        for (const auto& c : cases) {
            CStartWizardDlg wizard;
            QTest::mouseClick(wizard.button(c.choice), Qt::LeftButton);
            QCOMPARE(wizard.choice(), c.choice);
            QCOMPARE(wizard.result(), c.result);
        }
    }

    void thePortChoiceShowsThePortOfTheChosenLine()
    {
        CPortChoiceDlg dialog({QStringLiteral("USB Serial (ttyUSB0)"), QStringLiteral("ttyS0")},
                              {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0")});
        QVERIFY(dialog.chosenPort().isEmpty());
        dialog.list()->setCurrentRow(1);
        QCOMPARE(dialog.chosenPort(), QStringLiteral("/dev/ttyS0"));
    }

    void theWaitWindowShowsEachTextCentred()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
        CWaitWindow wait(&owner);
        wait.showText(QString::fromUtf8("采集器预热中，需要时间30秒..."));
        QVERIFY(wait.isVisible());
        QVERIFY(qAbs(wait.geometry().center().x() - owner.frameGeometry().center().x()) <= 1);
    }
};

int runConnectionWidgetTests(int argc, char** argv)
{
    ConnectionWidgetsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ConnectionWidgetsTest.moc"
