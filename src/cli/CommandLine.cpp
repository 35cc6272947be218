#include "CommandLine.h"

#include "AcquireCommand.h"
#include "CalibrationCommand.h"
#include "CompareCommand.h"
#include "ConvertCommand.h"
#include "DbSubcommand.h"
#include "DiagnoseSubcommand.h"
#include "EditCommand.h"
#include "InfoCommand.h"
#include "MethodCommand.h"
#include "ProcessCommand.h"
#include "ReportCommand.h"
#include "SignalCommand.h"
#include "WorkbookCommand.h"

#include "app/Version.h"

namespace dgaws::cli {

void describeCommandLine(CLI::App& app)
{
    app.description("Headless tool of the dgaws chromatography data workstation");
    app.name("dgaws-cli");
    app.set_version_flag("--version", versionText("dgaws-cli"),
                         "Print the version and the commit built from, then exit");
    app.require_subcommand(1);

    addInfoCommand(app);
    addCalibrationCommand(app);
    addProcessCommand(app);
    addConvertCommand(app);
    addCompareCommand(app);
    addAcquireCommand(app);
    addDemoCommand(app);
    addRecoverCommand(app);
    addDiagnoseCommand(app);
    addDbCommand(app);
    addEditCommand(app);
    addSignalCommand(app);
    addWorkbookCommand(app);
    addReportCommand(app);
    addMethodCommand(app);
}

}  // namespace dgaws::cli
