// dgaws-cli: the workstation's records and processing without a display. Each subcommand
// lives in its own file and registers itself in describeCommandLine.
#include "CommandLine.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app;
    dgaws::cli::describeCommandLine(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::RuntimeError& e) {
        // A command that has already reported its failure and chose the status.
        return e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        // Help and the version print and succeed; every other parse failure is a usage error.
        return app.exit(e) == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cerr << "dgaws-cli: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
