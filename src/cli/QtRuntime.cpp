#include "QtRuntime.h"

#include <QGuiApplication>

namespace dgaws::cli {

void ensureQtRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // The tool shows no window, but printing a report lays text out with the system's fonts,
    // which needs a GUI application; the offscreen platform gives one without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "dgaws-cli";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the process ends with it, and Qt's thread data outlives it that way.
    static auto* app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

}  // namespace dgaws::cli
