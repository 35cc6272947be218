#include "ui/run/PortChoiceDialog.h"
#include "ui/run/StartWizardDialog.h"

#include "DialogShot.h"

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
        for (auto choice : {StartWizardDialog::Automatic, StartWizardDialog::Manual,
                            StartWizardDialog::Simulated, StartWizardDialog::NoConnection}) {
            StartWizardDialog wizard;
            if (choice == StartWizardDialog::Automatic)
                saveDialogShot(wizard, "start-wizard");
            QTest::mouseClick(wizard.button(choice), Qt::LeftButton);
            QCOMPARE(wizard.choice(), choice);
            QCOMPARE(wizard.result(),
                     choice == StartWizardDialog::NoConnection ? int(QDialog::Rejected)
                                                               : int(QDialog::Accepted));
        }
    }

    void thePortChoiceShowsThePortOfTheChosenLine()
    {
        PortChoiceDialog dialog({QStringLiteral("USB Serial (ttyUSB0)"), QStringLiteral("ttyS0")},
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
