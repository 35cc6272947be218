#include "WindowOptions.h"

#include "DataRoot.h"

#include <cmath>
#include <cstdlib>

namespace dgaws {
namespace {

// Qt's own options, which the application object takes out of the command line after this
// has read it: they are passed by, with the value of those that have one.
bool isToolkitOption(const std::string& a, bool& takesValue)
{
    static const char* const withValue[] = {"-platform",        "-platformpluginpath",
                                            "-platformtheme",   "-plugin",
                                            "-qwindowgeometry", "-qwindowtitle",
                                            "-qwindowicon",     "-style",
                                            "-stylesheet",      "-session",
                                            "-display",         "-geometry"};
    takesValue = false;
    if (a.size() < 2 || a[0] != '-' || a[1] == '-' || a == "-h")
        return false;
    for (const char* o : withValue)
        takesValue = takesValue || a == o;
    return true;
}

}  // namespace

const char* WindowOptions::usage()
{
    return "Usage: dgaws [--home DIR] [--simulate] [--run] [--speed N] [FILE.chg ...]\n"
           "       dgaws --help | --version\n"
           "  --home DIR   data root (default $DGAWS_HOME, else ~/dgaws)\n"
           "  --simulate   start on the simulated connection instead of the start-up wizard\n"
           "  --run        unattended demonstration: simulated connection, channel A runs\n"
           "  --speed N    play the demonstration data N times faster (N >= 1)\n"
           "  --version    print the version and the commit built from, then exit\n"
           "  -h, --help   this text\n";
}

WindowOptions WindowOptions::parse(const std::vector<std::string>& arguments)
{
    WindowOptions o;
    o.home = DataRoot::homeOption(arguments);
    for (size_t i = 1; i < arguments.size() && o.error.empty(); ++i) {
        const std::string& a = arguments[i];
        bool toolkitValue = false;
        const bool toolkit = isToolkitOption(a, toolkitValue);
        const bool takesValue = a == "--home" || a == "--speed" || toolkitValue;
        if (takesValue && i + 1 >= arguments.size()) {
            o.error = "option " + a + " needs a value";
        } else if (toolkit) {
            i += toolkitValue ? 1 : 0;
        } else if (a == "--home") {
            ++i;
        } else if (a == "--speed") {
            const std::string& text = arguments[++i];
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !std::isfinite(v) || v < 1.0)
                o.error = "--speed needs a number of at least 1, not \"" + text + "\"";
            else
                o.speed = v;
        } else if (a.rfind("--home=", 0) == 0) {
            continue;
        } else if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--run") {
            o.run = o.simulate = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a.size() > 1 && a[0] == '-') {
            o.error = "unknown option " + a;
        } else {
            o.files.push_back(a);
        }
    }
    return o;
}

}  // namespace dgaws
