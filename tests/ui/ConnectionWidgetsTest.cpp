#include "ui/CPortChoiceDlg.h"
#include "ui/CStartWizardDlg.h"

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
        for (auto choice : {CStartWizardDlg::Automatic, CStartWizardDlg::Manual,
                            CStartWizardDlg::Simulated, CStartWizardDlg::NoConnection}) {
            CStartWizardDlg wizard;
            QTest::mouseClick(wizard.button(choice), Qt::LeftButton);
            QCOMPARE(wizard.choice(), choice);
            QCOMPARE(wizard.result(), choice == CStartWizardDlg::NoConnection
                                          ? int(QDialog::Rejected) : int(QDialog::Accepted));
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

};

int runConnectionWidgetTests(int argc, char** argv)
{
    ConnectionWidgetsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ConnectionWidgetsTest.moc"
