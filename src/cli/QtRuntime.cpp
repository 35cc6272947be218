#include "QtRuntime.h"

#include "app/RuntimeFolder.h"

#include <QGuiApplication>

namespace dgaws::cli {

namespace {

int argc = 1;
char name[] = "dgaws-cli";
char* argv[] = {name, nullptr};

}  // namespace

void ensureCoreRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    ensureRuntimeFolder();
    // Never destroyed: the process ends with it, and Qt's thread data outlives it that way.
    static auto* app = new QCoreApplication(argc, argv);
    static_cast<void>(app);
}

void ensureGuiRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    ensureRuntimeFolder();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

}  // namespace dgaws::cli
