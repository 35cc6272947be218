#include "QtRuntime.h"

#include <QCoreApplication>

namespace dgaws::cli {

void ensureQtRuntime()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "dgaws-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

}  // namespace dgaws::cli
