// dgaws: the chromatography workstation window.
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "RunController.h"
#include "QtText.h"

#include "app/DataRoot.h"
#include "app/SingleInstance.h"
#include "app/WorkstationApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include <string>
#include <vector>

using namespace dgaws;

namespace {

// The shipped default method and demonstration data: beside the program in a build tree
// or an installation.
std::string shippedDataFolder()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {QStringLiteral("data"), QStringLiteral("../share/dgaws")})
        if (QFileInfo(programDir.filePath(candidate) + QStringLiteral("/QLDefault.she")).exists())
            return ss(QDir::cleanPath(programDir.filePath(candidate)));
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dgaws"));
    QApplication::setApplicationDisplayName(QString::fromUtf8("VeltraGW-5800变压器油专用版V3.0"));

    std::vector<std::string> arguments;
    for (const QString& a : QCoreApplication::arguments())
        arguments.push_back(ss(a));
    const DataRoot root = DataRoot::resolve(DataRoot::homeOption(arguments));

    // A second start of the same data root brings the running window forward and ends.
    SingleInstance instance(qs(root.root()));
    if (!instance.claim()) {
        instance.activateRunning();
        return 0;
    }

    WorkstationApp app(root);
    app.startUp(shippedDataFolder());
    // The database comes before the main window, so its failure has no window to sit on.
    app.connectDatabase([](const std::string& text) {
        QMessageBox::warning(nullptr, QApplication::applicationDisplayName(), qs(text));
    });

    CMainFrame frame(app);
    QObject::connect(&instance, &SingleInstance::activationRequested, &frame,
                     &CMainFrame::bringToFront);
    // Without a window manager (a bare X server) maximising does nothing; the frame then
    // takes the screen itself.
    if (const QScreen* screen = frame.screen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();

    // Options: --home DIR, --simulate (the simulated connection instead of the wizard),
    // --speed N (demonstration values per tick), --run (an unattended demonstration: the
    // simulated connection, channel A opened and its run started). Other arguments are
    // chromatogram files to open.
    bool simulate = false, run = false;
    double speed = 1.0;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if ((a == "--home" || a == "--speed") && i + 1 < arguments.size()) {
            if (a == "--speed")
                speed = std::max(1.0, QString::fromStdString(arguments[i + 1]).toDouble());
            ++i;
        } else if (a == "--simulate") {
            simulate = true;
        } else if (a == "--run") {
            run = simulate = true;
        } else if (a.rfind("--", 0) != 0) {
            frame.openChosen(qs(a));
        }
    }
    frame.runController().setSimulationSpeed(speed);
    frame.runController().setUnattended(run);
    // The connection comes once the window is up, as the wizard belongs over it.
    QTimer::singleShot(0, &frame, [&frame, simulate, run] {
        frame.startUpConnection(simulate);
        if (run)
            if (CChildFrame* a = frame.openChannel(0))
                frame.runController().run(a->document());
    });
    return QApplication::exec();
}
