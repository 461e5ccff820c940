#include "platform/print/PrintSpooler.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace lumo::print {

bool IsValidPrinterName(const std::string& name)
{
    if (name.empty() || name.size() > 127 || name[0] == '-')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == ' ' || c == '/' || c == '\\' || c == '#' || c == '\'' || c == '"')
            return false;
    return true;
}

bool SubmitPrintFile(const std::string& program, const std::string& printer, const std::string& title,
                     const std::string& file, std::string& error)
{
    if (program.empty()) {
        error = "no print command";
        return false;
    }
    if (!IsValidPrinterName(printer)) {
        error = "not a printer name CUPS accepts";
        return false;
    }
    if (file.empty() || file[0] != '/') {
        error = "the print file must be named by an absolute path";
        return false;
    }
    std::string cleanTitle = title.substr(0, 255);
    for (char& c : cleanTitle)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    std::vector<std::string> args = {program, "-d", printer, "-t", cleanTitle, file};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    int rc = program.find('/') == std::string::npos
                 ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                 : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error = "cannot start " + program + ": " + std::strerror(rc);
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("cannot wait for the print command: ") + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    error = program + (WIFEXITED(status) ? " failed with status " + std::to_string(WEXITSTATUS(status))
                                         : std::string(" was stopped by a signal"));
    return false;
}

} // namespace lumo::print
