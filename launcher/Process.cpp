#include "launcher/Process.h"

#include "launcher/Log.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace launch {

Argv SplitCommandLine(const std::string& line)
{
    Argv args;
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

std::string JoinCommandLine(const Argv& args)
{
    std::string line;
    for (const std::string& a : args) {
        if (!line.empty())
            line += ' ';
        if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) {
            line += a;
            continue;
        }
        line += '"';
        for (char c : a)
            line += c == '"' ? std::string("\\\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

void ProtectStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            // open() takes the lowest free descriptor: this one.
            int null = open("/dev/null", O_RDWR);
            if (null >= 0 && null != fd)
                close(null);
        }
    std::signal(SIGPIPE, SIG_IGN);
}

namespace {

enum class Streams { Inherit, Pipe, Null };

// Spawns the program; with Streams::Pipe 'pipeWrite' becomes the child's
// output and error and 'pipeRead' is closed in the child.
pid_t Spawn(const Argv& args, Streams streams, int pipeWrite, int pipeRead, bool newSession, int& error)
{
    if (args.empty() || args[0].empty()) {
        error = ENOENT;
        return -1;
    }
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams == Streams::Pipe) {
        posix_spawn_file_actions_adddup2(&actions, pipeWrite, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, pipeWrite, STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeWrite);
        posix_spawn_file_actions_addclose(&actions, pipeRead);
    } else if (streams == Streams::Null) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The launcher ignores SIGPIPE; the child gets the usual behaviour.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    short flags = POSIX_SPAWN_SETSIGDEF;
    if (newSession)
        flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, flags);
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

// Writes all of it; false when the output is gone.
bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void SetError(std::string* out, int error)
{
    if (out)
        *out = std::strerror(error);
}

} // namespace

int RunCaptured(const Argv& args, bool echo, std::string* startError)
{
    std::string line = JoinCommandLine(args);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        SetError(startError, errno);
        LogError("ExeProc::ExeandDisplay::CreatePipe", std::strerror(errno));
        return -1;
    }
    int error = 0;
    pid_t pid = Spawn(args, Streams::Pipe, fds[1], fds[0], false, error);
    LogInfo("ExeProc::ExeandDisplay::cmd", line);
    if (pid < 0) {
        SetError(startError, error);
        LogError("ExeProc::ExeandDisplay::cmd", line);
        LogError("ExeProc::ExeandDisplay", std::strerror(error));
        close(fds[0]);
        close(fds[1]);
        return -1;
    }
    if (close(fds[1]) != 0)
        LogError("ExeProc::ReadFromPipe", "Closing handle failed");
    LogInfo("ExeProc::ReadFromPipe", "Standard output");
    // Whatever the pipe holds, up to 64 KiB, is read at once: reading in
    // small pieces costs a round of system calls per piece and made the
    // launcher many times slower than its child on large output.
    std::vector<char> chunk(65536);
    bool echoing = echo;
    while (true) {
        ssize_t n = read(fds[0], chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (echoing && !WriteAll(STDOUT_FILENO, chunk.data(), size_t(n))) {
            // Our own output is gone; the child's output still goes to the
            // log, and the child must not be stopped by a full pipe.
            echoing = false;
            LogWarning("ExeProc::ReadFromPipe", std::string("Standard output failed: ") + std::strerror(errno));
        }
        LogRaw(chunk.data(), size_t(n));
    }
    close(fds[0]);
    int status = 0;
    if (WaitFor(pid, status) != 0)
        return -1;
    int code = ExitCodeOf(status);
    LogInfo("ExeProc::ExeandDisplay::GetExitCodeProcess", std::to_string(code));
    return code;
}

int RunAndWait(const Argv& args, std::string* startError)
{
    int error = 0;
    pid_t pid = Spawn(args, Streams::Inherit, -1, -1, false, error);
    if (pid < 0) {
        SetError(startError, error);
        LogError("ExeProc::ExeandWait::CreateProcess::cmd", JoinCommandLine(args));
        LogError("ExeProc::ExeandWait::CreateProcess", std::strerror(error));
        return -1;
    }
    int status = 0;
    if (WaitFor(pid, status) != 0) {
        LogError("ExeProc::ExeandWait::WaitForSingleObject::cmd", JoinCommandLine(args));
        LogError("ExeProc::ExeandWait::WaitForSingleObject", std::strerror(errno));
        return -1;
    }
    int code = ExitCodeOf(status);
    LogInfo("ExeProc::ExeandWait::GetExitCodeProcess", std::to_string(code));
    return code;
}

int RunDetached(const Argv& args, std::string* startError)
{
    // A short-lived starter process puts the child in a session of its own;
    // we wait for the starter only, never for the child. The starter reports
    // a failed start through a pipe.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        SetError(startError, errno);
        LogError("ExeProc::execute::CreateThread", std::strerror(errno));
        return -1;
    }
    pid_t starter = fork();
    if (starter < 0) {
        SetError(startError, errno);
        LogError("ExeProc::execute::CreateThread", std::strerror(errno));
        close(report[0]);
        close(report[1]);
        return -1;
    }
    if (starter == 0) {
        close(report[0]);
        int error = 0;
        pid_t pid = Spawn(args, Streams::Null, -1, -1, true, error);
        if (pid < 0) {
            LogError("ExeProc::ThreadProc::cmd", JoinCommandLine(args));
            LogError("ExeProc::ThreadProc::CreateProcess", std::strerror(error));
            ssize_t w = write(report[1], &error, sizeof error);
            (void)w;
        } else {
            LogInfo("ExeProc::ThreadProc::cmd", JoinCommandLine(args));
        }
        _exit(0);
    }
    close(report[1]);
    int error = 0;
    ssize_t got;
    do
        got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(report[0]);
    int status = 0;
    if (WaitFor(starter, status) != 0) {
        SetError(startError, errno);
        LogError("ExeProc::execute::WaitForMultipleObjects", std::strerror(errno));
        return -1;
    }
    if (got == sizeof error && error != 0) {
        SetError(startError, error);
        return -1;
    }
    return 0;
}

} // namespace launch
