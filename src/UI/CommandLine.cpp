#include "UI/CommandLine.hpp"

#include <cstdio>
#include <cstring>

namespace tavelor {

namespace {

constexpr const char* kHelp =
    "Usage: tavelor [--help | --version]\n"
    "\n"
    "Saves where your application windows are and how large they are, as named\n"
    "layout profiles, and puts them back: from its menu in the system tray, or\n"
    "with a global shortcut that applies the active profile.\n"
    "\n"
    "Started without arguments, Tavelor runs in the system tray until \"Quit\".\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n";

bool isOneOf(const char* argument, const char* shortName, const char* longName)
{
    return std::strcmp(argument, shortName) == 0 || std::strcmp(argument, longName) == 0;
}

} // namespace

std::optional<int> handleCommandLine(int argc, const char* const* argv)
{
    if (argc <= 1)
        return std::nullopt;
    const char* argument = argv[1];
    // One option at a time: "--help --version" would leave one unanswered.
    if (argc == 2 && isOneOf(argument, "-h", "--help")) {
        (void)std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && isOneOf(argument, "-v", "--version")) {
        (void)std::printf("Tavelor %s\n", TAVELOR_VERSION);
        return 0;
    }
    const char* unexpected =
        argc == 2 || !(isOneOf(argument, "-h", "--help") || isOneOf(argument, "-v", "--version"))
            ? argument
            : argv[2];
    (void)std::fprintf(stderr,
                       "tavelor: unexpected argument \"%s\"\n"
                       "Try \"tavelor --help\" for the options.\n",
                       unexpected);
    return 2;
}

} // namespace tavelor
