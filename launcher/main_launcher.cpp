// The console launcher: passes its arguments on as one command line.
#include "launcher/Launcher.h"
#include "launcher/Log.h"

#include <string>

int main(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.empty())
            line += "\"\"";
        else if (arg.find(' ') != std::string::npos)
            line += "\"" + arg + "\"";
        else
            line += arg;
        line += " ";
    }
    std::string self = launch::Launcher::ExecutablePath();
    launch::Launcher launcher(line, launch::CONSOLE, self.empty() ? argv[0] : self);
    int result = launcher.Run();
    launch::LogInfo("Launcher::main", std::to_string(result));
    return result;
}
