// dgaws: the chromatography workstation window.
#include "CMainFrame.h"
#include "QtText.h"

#include "app/DataRoot.h"
#include "app/SingleInstance.h"
#include "app/WorkstationApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

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

    CMainFrame frame(app);
    QObject::connect(&instance, &SingleInstance::activationRequested, &frame,
                     &CMainFrame::bringToFront);
    // Without a window manager (a bare X server) maximising does nothing; the frame then
    // takes the screen itself.
    if (const QScreen* screen = frame.screen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();

    // Chromatogram files named on the command line open as documents.
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--home") {
            ++i;
            continue;
        }
        if (a.rfind("--", 0) == 0)
            continue;
        frame.openChosen(qs(a));
    }
    return QApplication::exec();
}
