// dgaws-cli: the workstation's records and processing without a display. Each subcommand
// lives in its own file and registers itself here.
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

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Headless tool of the dgaws chromatography data workstation"};
    app.name("dgaws-cli");
    app.require_subcommand(1);

    dgaws::cli::addInfoCommand(app);
    dgaws::cli::addCalibrationCommand(app);
    dgaws::cli::addProcessCommand(app);
    dgaws::cli::addConvertCommand(app);
    dgaws::cli::addCompareCommand(app);
    dgaws::cli::addAcquireCommand(app);
    dgaws::cli::addDemoCommand(app);
    dgaws::cli::addRecoverCommand(app);
    dgaws::cli::addDiagnoseCommand(app);
    dgaws::cli::addDbCommand(app);
    dgaws::cli::addEditCommand(app);
    dgaws::cli::addSignalCommand(app);
    dgaws::cli::addWorkbookCommand(app);
    dgaws::cli::addReportCommand(app);
    dgaws::cli::addMethodCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::RuntimeError& e) {
        // A command that has already reported its failure and chose the status.
        return e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        // Help prints and succeeds; every other parse failure is a usage error.
        return app.exit(e) == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cerr << "dgaws-cli: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
