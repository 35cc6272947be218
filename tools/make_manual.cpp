// Writes the manual pages of both programs and the bash completion of dgaws-cli from the
// programs' own command lines, at build time, so that neither can describe an option the
// programs do not have or miss one they have:
//   dgaws-make-manual OUTDIR   ->  OUTDIR/dgaws-cli.1  OUTDIR/dgaws.1  OUTDIR/dgaws-cli.bash
#include "app/Version.h"
#include "app/WindowOptions.h"
#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Text as roff shows it: backslashes escaped, and a line never starts a request.
std::string roff(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        if (c == '\n')
            out += "\\&";
    }
    return (out.empty() || (out[0] != '.' && out[0] != '\'')) ? out : "\\&" + out;
}

std::vector<const CLI::App*> subcommandsOf(const CLI::App& app)
{
    return app.get_subcommands([](const CLI::App* a) { return !a->get_disabled(); });
}

// The shown options; every subcommand's own --help goes without saying.
std::vector<const CLI::Option*> optionsOf(const CLI::App& app, bool withHelp = false)
{
    const CLI::Option* help = withHelp ? nullptr : app.get_help_ptr();
    return app.get_options(
        [help](const CLI::Option* o) { return o->get_group() != "" && o != help; });
}

// "-o, --output FILE" or "FILE..." for a positional.
std::string optionSynopsis(const CLI::Option& o)
{
    std::string names;
    if (o.get_positional() && o.get_lnames().empty() && o.get_snames().empty()) {
        names = o.get_name(true);
        if (o.get_expected_max() > 1)
            names += "...";
        return names;
    }
    for (const std::string& s : o.get_snames())
        names += (names.empty() ? "-" : ", -") + s;
    for (const std::string& l : o.get_lnames())
        names += (names.empty() ? "--" : ", --") + l;
    if (o.get_type_size() != 0 && !o.get_type_name().empty())
        names += " " + o.get_type_name();
    return names;
}

bool takesValue(const CLI::Option& o)
{
    return !o.get_positional() && o.get_type_size() != 0;
}

std::string pathOf(const std::vector<std::string>& path)
{
    std::string text;
    for (const std::string& p : path)
        text += (text.empty() ? "" : " ") + p;
    return text;
}

void writeCommand(std::ostream& out, const CLI::App& app, std::vector<std::string> path)
{
    if (!path.empty()) {
        out << ".SS \"" << roff(pathOf(path)) << "\"\n";
        if (!app.get_description().empty())
            out << roff(app.get_description()) << "\n";
        for (const CLI::Option* o : optionsOf(app)) {
            out << ".TP\n.B " << roff(optionSynopsis(*o)) << "\n";
            out << roff(o->get_description().empty() ? std::string("(no description)")
                                                     : o->get_description())
                << "\n";
        }
    }
    for (const CLI::App* sub : subcommandsOf(app)) {
        std::vector<std::string> below = path;
        below.push_back(sub->get_name());
        writeCommand(out, *sub, below);
    }
}

void writeCliPage(std::ostream& out, const CLI::App& app)
{
    const std::string version = std::string("dgaws ") + dgaws::projectVersion();
    out << ".\\\" Written by dgaws-make-manual from the program's own command line.\n"
        << ".TH DGAWS\\-CLI 1 \"\" \"" << version << "\" \"User Commands\"\n"
        << ".SH NAME\ndgaws\\-cli \\- " << roff(app.get_description()) << "\n"
        << ".SH SYNOPSIS\n.B dgaws\\-cli\n.I COMMAND\n[\n.I OPTIONS\n]\n"
        << ".br\n.B dgaws\\-cli\n\\-\\-help | \\-\\-version\n"
        << ".SH DESCRIPTION\n"
        << "The workstation's records and processing without a display: chromatogram, method "
           "and calibration files, processing and batch processing, diagnosis, the test-record "
           "database, printed reports, spreadsheet workbooks, runs on the collector or the "
           "simulated connection. Every command takes \\-\\-json and then prints one JSON "
           "document; errors go to standard error with a non-zero exit status.\n"
        << ".SH OPTIONS\n";
    for (const CLI::Option* o : optionsOf(app, true))
        out << ".TP\n.B " << roff(optionSynopsis(*o)) << "\n" << roff(o->get_description()) << "\n";
    out << ".SH COMMANDS\nEvery command also takes \\-h, \\-\\-help.\n";
    writeCommand(out, app, {});
    out << ".SH ENVIRONMENT\n.TP\n.B DGAWS_HOME\nThe data root when \\-\\-home is not given "
           "(default ~/dgaws): settings file dgaws.ini, chromatograms, the method folder, "
           "event log and the test-record database.\n"
        << ".SH EXIT STATUS\n0 on success, 1 when a command fails, 2 for a usage error, 130 "
           "or 143 when a run was stopped by a signal (what was recorded is saved).\n"
        << ".SH SEE ALSO\n.BR dgaws (1)\n";
}

void writeWindowPage(std::ostream& out)
{
    const std::string version = std::string("dgaws ") + dgaws::projectVersion();
    out << ".\\\" Written by dgaws-make-manual from the program's own command line.\n"
        << ".TH DGAWS 1 \"\" \"" << version << "\" \"User Commands\"\n"
        << ".SH NAME\ndgaws \\- chromatography data workstation for the dissolved-gas analysis "
           "of transformer oil\n"
        << ".SH SYNOPSIS\n";
    std::istringstream usage(dgaws::WindowOptions::usage());
    std::string line;
    std::getline(usage, line);
    const std::string prefix = "Usage: ";
    out << roff(line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line) << "\n";
    // Further forms of the call, until the options begin.
    std::vector<std::string> options;
    while (std::getline(usage, line)) {
        const size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line[start] == '-') {
            options.push_back(line);
            break;
        }
        if (start != std::string::npos)
            out << ".br\n" << roff(line.substr(start)) << "\n";
    }
    out << ".SH DESCRIPTION\nThe workstation window: acquisition from the collector on a "
           "serial port (or the simulated connection), peak detection and integration, "
           "identification and quantitation, gas-in-oil conversion and transformer diagnosis, "
           "the test-record database, reports and workbooks. A second start with the same data "
           "root brings the running window forward and hands it its files.\n"
        << ".SH OPTIONS\n";
    while (std::getline(usage, line))
        options.push_back(line);
    for (const std::string& entry : options) {
        // "  --home DIR   data root ..." : the option, then after a run of spaces its text.
        const size_t start = entry.find_first_not_of(' ');
        const size_t gap = entry.find("  ", start);
        if (start == std::string::npos || gap == std::string::npos)
            continue;
        out << ".TP\n.B " << roff(entry.substr(start, gap - start)) << "\n"
            << roff(entry.substr(entry.find_first_not_of(' ', gap))) << "\n";
    }
    out << ".SH ENVIRONMENT\n.TP\n.B DGAWS_HOME\nThe data root when \\-\\-home is not given "
           "(default ~/dgaws). It is set up on first use with the data and method folders, "
           "the shipped default method, spreadsheet templates and demonstration data.\n"
        << ".SH SEE ALSO\n.BR dgaws\\-cli (1)\n";
}

// Completion tables, one entry per command path, which starts with the program's name.
void collect(const CLI::App& app, const std::string& path, std::ostream& subs,
             std::ostream& options, std::ostream& valued)
{
    std::string names, all, withValue;
    for (const CLI::App* sub : subcommandsOf(app))
        names += (names.empty() ? "" : " ") + sub->get_name();
    for (const CLI::Option* o : optionsOf(app, true)) {
        std::vector<std::string> spelled;
        for (const std::string& l : o->get_lnames())
            spelled.push_back("--" + l);
        for (const std::string& s : o->get_snames())
            spelled.push_back("-" + s);
        for (const std::string& n : spelled) {
            all += (all.empty() ? "" : " ") + n;
            if (takesValue(*o))
                withValue += " " + n + " ";
        }
    }
    subs << "        [\"" << path << "\"]=\"" << names << "\"\n";
    options << "        [\"" << path << "\"]=\"" << all << "\"\n";
    valued << "        [\"" << path << "\"]=\"" << withValue << "\"\n";
    for (const CLI::App* sub : subcommandsOf(app))
        collect(*sub, path + " " + sub->get_name(), subs, options, valued);
}

void writeCompletion(std::ostream& out, const CLI::App& app)
{
    std::ostringstream subs, options, valued;
    collect(app, app.get_name(), subs, options, valued);
    out << "# bash completion for dgaws-cli, written by dgaws-make-manual from its command line\n"
        << "_dgaws_cli()\n{\n"
        << "    local -A subs=(\n"
        << subs.str() << "    )\n"
        << "    local -A options=(\n"
        << options.str() << "    )\n"
        << "    local -A valued=(\n"
        << valued.str() << "    )\n"
        << R"(    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local path=dgaws-cli i word
    # The command path typed so far: each word that names a subcommand of the path before.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        local next="$path $word"
        if [[ " ${subs[$path]} " == *" $word "* && -n ${subs[$next]+set} ]]; then
            path=$next
        fi
    done
    if [[ $COMP_CWORD -gt 1 && ${valued[$path]} == *" $prev "* ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${options[$path]}" -- "$cur"))
    elif [[ -n ${subs[$path]} ]]; then
        COMPREPLY=($(compgen -W "${subs[$path]}" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _dgaws_cli dgaws-cli
)";
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "dgaws-make-manual: cannot write " << path << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: dgaws-make-manual OUTDIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    CLI::App app;
    dgaws::cli::describeCommandLine(app);
    std::ostringstream cli, window, completion;
    writeCliPage(cli, app);
    writeWindowPage(window);
    writeCompletion(completion, app);
    const bool written = writeFile(dir + "/dgaws-cli.1", cli.str()) &&
        writeFile(dir + "/dgaws.1", window.str()) &&
        writeFile(dir + "/dgaws-cli.bash", completion.str());
    return written ? 0 : 1;
}
