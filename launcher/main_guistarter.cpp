// The windowed starter: no window of its own; messages go to a desktop
// notification (when there is a desktop) besides standard error and the log.
#include "launcher/Launcher.h"
#include "launcher/Log.h"

#include <string>

int main(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        line += arg.empty() ? std::string("\"\"") : arg.find(' ') != std::string::npos ? "\"" + arg + "\"" : arg;
        line += " ";
    }
    std::string self = launch::Launcher::ExecutablePath();
    launch::Launcher launcher(line, launch::WINDOWED, self.empty() ? argv[0] : self);
    int result = launcher.Run();
    launch::LogInfo("CGuistarterApp::InitInstance", std::to_string(result));
    launch::LogInfo("CGuistarterApp::ExitInstance", std::to_string(result));
    return result;
}
