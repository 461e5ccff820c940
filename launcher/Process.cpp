#include "launcher/Process.h"

#include "launcher/Log.h"

#include <cerrno>
#include <fcntl.h>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace launch {

std::vector<std::string> SplitCommandLine(const std::string& line)
{
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, any = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
            current += '"';
            any = true;
            ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any)
                args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        args.push_back(current);
    return args;
}

namespace {

// Spawns the command; stdoutFd >= 0 becomes the child's output and error.
pid_t Spawn(const std::string& commandLine, int stdoutFd, int closeFd, bool newSession, int& error)
{
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) {
        error = ENOENT;
        return -1;
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, stdoutFd);
    }
    if (closeFd >= 0)
        posix_spawn_file_actions_addclose(&actions, closeFd);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (newSession)
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

int WaitFor(pid_t pid, int& status)
{
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return 0;
}

} // namespace

int RunCaptured(const std::string& commandLine, bool echo)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        LogError("ExeProc::ExeandDisplay::CreatePipe", std::strerror(errno));
        return -1;
    }
    int error = 0;
    pid_t pid = Spawn(commandLine, fds[1], fds[0], false, error);
    LogInfo("ExeProc::ExeandDisplay::cmd", commandLine);
    if (pid < 0) {
        LogError("ExeProc::ExeandDisplay::cmd", commandLine);
        LogError("ExeProc::ExeandDisplay", std::strerror(error));
        close(fds[0]);
        close(fds[1]);
        return -1;
    }
    if (close(fds[1]) != 0)
        LogError("ExeProc::ReadFromPipe", "Closing handle failed");
    LogInfo("ExeProc::ReadFromPipe", "Standard output");
    char chunk[260];
    bool echoing = echo;
    while (true) {
        ssize_t n = read(fds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (echoing && write(STDOUT_FILENO, chunk, size_t(n)) != n)
            break; // our own output is gone: stop reading
        LogRaw(std::string(chunk, size_t(n)));
    }
    close(fds[0]);
    int status = 0;
    if (WaitFor(pid, status) != 0)
        return -1;
    int code = ExitCodeOf(status);
    LogInfo("ExeProc::ExeandDisplay::GetExitCodeProcess", std::to_string(code));
    return code;
}

int RunAndWait(const std::string& commandLine)
{
    int error = 0;
    pid_t pid = Spawn(commandLine, -1, -1, false, error);
    if (pid < 0) {
        LogError("ExeProc::ExeandWait::CreateProcess::cmd", commandLine);
        LogError("ExeProc::ExeandWait::CreateProcess", std::strerror(error));
        return -1;
    }
    int status = 0;
    if (WaitFor(pid, status) != 0) {
        LogError("ExeProc::ExeandWait::WaitForSingleObject::cmd", commandLine);
        LogError("ExeProc::ExeandWait::WaitForSingleObject", std::strerror(errno));
        return -1;
    }
    int code = ExitCodeOf(status);
    LogInfo("ExeProc::ExeandWait::GetExitCodeProcess", std::to_string(code));
    return code;
}

int RunDetached(const std::string& commandLine)
{
    // A short-lived starter process puts the child in a session of its own;
    // we wait for the starter only, never for the child.
    pid_t starter = fork();
    if (starter < 0) {
        LogError("ExeProc::execute::CreateThread", std::strerror(errno));
        return -1;
    }
    if (starter == 0) {
        int error = 0;
        pid_t pid = Spawn(commandLine, -1, -1, true, error);
        if (pid < 0) {
            LogError("ExeProc::ThreadProc::cmd", commandLine);
            LogError("ExeProc::ThreadProc::CreateProcess", std::strerror(error));
        } else {
            LogInfo("ExeProc::ThreadProc::cmd", commandLine);
        }
        _exit(0);
    }
    int status = 0;
    if (WaitFor(starter, status) != 0) {
        LogError("ExeProc::execute::WaitForMultipleObjects", std::strerror(errno));
        return -1;
    }
    return 0;
}

} // namespace launch
