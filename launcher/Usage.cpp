#include "launcher/Usage.h"

namespace launch {

std::string UsageText(Kind kind)
{
    const bool console = kind == CONSOLE;
    std::string name = console ? "launcher" : "guistarter";
    std::string text =
        "usage: " + name + " [OPTION]... [-KEY VALUE]... [ARGUMENT]...\n"
        "  Starts the application that NAME.ini beside the program configures\n"
        "  (NAME: the name the program was started under, without _console; a\n"
        "  symbolic link counts with its own name and folder), passes on every\n"
        "  argument that is not its own and exits with the application's code.\n" +
        std::string(console ? "  The application's output is echoed and logged.\n"
                            : "  The application's output is only logged; failures are also shown as\n"
                              "  desktop notifications.\n") +
        "  -KEY VALUE          overrides the INI setting KEY (launchercmd, startdir,\n"
        "                      JavaArgs_1, ...)\n"
        "  -applogloc PATH     the log file (passed on as well); default: a new file\n"
        "                      NAME_TIME.log in the data location\n"
        "  -datalocation DIR   the data location (passed on as well); default:\n"
        "                      $XDG_DATA_HOME/Vexo/Kestrova\n"
        "  -templocation DIR   a private temporary folder, removed after the\n"
        "                      application ends\n"
        "  -nocleanup          keeps the -templocation folder\n"
        "  -noconsole          starts the application without capturing its output\n" +
        std::string(console ? "  -nomessage          not passed on; no other effect here\n"
                            : "  -nomessage          shows no desktop notifications\n") +
        "  -autorun            no message when a conflicting program runs\n"
        "  -wait, -console     not passed on; no other effect\n"
        "  -quiet              passed on; no other effect\n"
        "  --help              (as the only argument) prints this text\n"
        "  Options are matched without regard to case. Exit codes and files: see\n"
        "  " + name + "(1).\n";
    return text;
}

bool AsksForUsage(const Argv& args) { return args.size() == 1 && args[0] == "--help"; }

} // namespace launch
