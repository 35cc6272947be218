// dgaws: the chromatography workstation window.
#include "ui/common/QtText.h"
#include "ui/run/RunController.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/CMainFrame.h"

#include "app/DataRoot.h"
#include "app/DataRootSetUp.h"
#include "app/RuntimeFolder.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/Version.h"
#include "app/WindowOptions.h"
#include "app/WorkstationApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <iostream>
#include <string>
#include <vector>

using namespace dgaws;

int main(int argc, char** argv)
{
    const WindowOptions options = WindowOptions::parse(std::vector<std::string>(argv, argv + argc));
    if (options.help || !options.error.empty()) {
        if (!options.error.empty())
            std::cerr << "dgaws: " << options.error << '\n';
        (options.help ? std::cout : std::cerr) << WindowOptions::usage();
        return options.help ? 0 : 2;
    }
    if (options.version) {
        std::cout << versionText("dgaws") << '\n';
        return 0;
    }

    ensureRuntimeFolder();
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dgaws"));
    QApplication::setApplicationDisplayName(QString::fromUtf8("VeltraGW-5800变压器油专用版V3.0"));
    // Qt's own buttons and dialogs (OK and Cancel, file, page set-up and print preview) speak
    // the operators' language like the rest of the window.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    const DataRoot root = DataRoot::resolve(options.home);

    // A second start of the same data root brings the running window forward and ends.
    SingleInstance instance(qs(root.root()));
    if (!instance.claim()) {
        QStringList files;
        for (const std::string& file : options.files)
            files << QFileInfo(qs(file)).absoluteFilePath();
        instance.activateRunning(2000, files);
        return 0;
    }

    WorkstationApp app(root);
    app.startUp(shippedDataFolder());
    // The database comes before the main window, so its failure has no window to sit on.
    app.connectDatabase([](const std::string& text) {
        QMessageBox::warning(nullptr, QApplication::applicationDisplayName(), qs(text));
    });
    if (const std::string damaged = WorkstationApp::damagedMethodsText(app.methodLoadFailures());
        !damaged.empty())
        QMessageBox::warning(nullptr, QApplication::applicationDisplayName(), qs(damaged));

    CMainFrame frame(app);
    QObject::connect(&instance, &SingleInstance::activationRequested, &frame,
                     &CMainFrame::bringToFront);
    QObject::connect(&instance, &SingleInstance::openRequested, &frame,
                     [&frame](const QString& path) { frame.openAnyFile(path); });
    // Without a window manager (a bare X server) maximising does nothing; the frame then
    // takes the screen itself.
    if (const QScreen* screen = frame.screen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();

    // Ctrl-C or a terminate request ends the window through its exit sequence, without
    // questions; the exit status tells the signal.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &frame, [&frame](int number) {
        frame.endFromOutside(TerminationSignals::exitStatus(number));
    });
    // The end of the desktop session: the runs are saved while the session manager waits,
    // and the exit sequence runs when the application quits, whichever way it does.
    QObject::connect(&qtApp, &QGuiApplication::commitDataRequest, &frame,
                     [&frame](QSessionManager&) { frame.commitSession(); });
    QObject::connect(&qtApp, &QCoreApplication::aboutToQuit, &frame,
                     [&frame] { frame.finishExit(); });

    for (const std::string& file : options.files)
        frame.openAnyFile(qs(file));
    frame.runController().setSimulationSpeed(options.speed);
    frame.runController().setUnattended(options.run);
    // The connection comes once the window is up, as the wizard belongs over it.
    QTimer::singleShot(0, &frame, [&frame, &options] {
        frame.startUpConnection(options.simulate);
        if (options.run)
            if (CChildFrame* a = frame.openChannel(0))
                frame.runController().run(a->document());
    });
    return QApplication::exec();
}
