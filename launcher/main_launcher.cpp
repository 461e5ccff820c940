// The console launcher: passes its arguments on to the child unchanged.
#include "launcher/Launcher.h"
#include "launcher/Log.h"
#include "launcher/Process.h"
#include "launcher/ProgramPath.h"
#include "launcher/Usage.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    launch::ProtectStandardStreams();
    int result;
    try {
        launch::Argv args(argv + std::min(argc, 1), argv + argc);
        if (launch::AsksForUsage(args)) {
            std::fputs(launch::UsageText(launch::CONSOLE).c_str(), stdout);
            return 0;
        }
        launch::Launcher launcher(args, launch::CONSOLE, launch::InvokedPath(argc > 0 ? argv[0] : ""));
        result = launcher.Run();
        launch::LogInfo("Launcher::main", std::to_string(result));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "launcher: %s\n", e.what());
        result = launch::START_FAILED;
    }
    return result;
}
