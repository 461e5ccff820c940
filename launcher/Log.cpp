#include "launcher/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace launch {

namespace {

struct LogFile {
    std::string path;
    int fd = -1;
    bool warned = false; // an unwritable log is reported once on standard error

    ~LogFile() { Close(); }
    void Close()
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
};

LogFile& File()
{
    static LogFile file;
    return file;
}

bool Open(LogFile& f)
{
    if (f.fd >= 0)
        return true;
    // A link planted at the log's name is not followed; the child does not
    // inherit the descriptor.
    f.fd = open(f.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (f.fd < 0 && !f.warned) {
        f.warned = true;
        std::fprintf(stderr, "cannot write the log file %s: %s\n", f.path.c_str(), std::strerror(errno));
    }
    return f.fd >= 0;
}

void Append(const char* data, size_t size)
{
    LogFile& f = File();
    if (f.path.empty() || !Open(f))
        return;
    while (size > 0) {
        ssize_t n = write(f.fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        size -= size_t(n);
    }
}

std::string TimeLine()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    return asctime_r(&local, buf) ? std::string(buf) : std::string("\n");
}

void Entry(const char* level, const std::string& tag, const std::string& value)
{
    std::string text = TimeLine() + level + " " + tag + "=" + value + "\n";
    Append(text.data(), text.size());
}

} // namespace

void SetLogPath(const std::string& path)
{
    LogFile& f = File();
    if (path == f.path)
        return;
    f.Close();
    f.path = path;
    f.warned = false;
}

const std::string& LogPath() { return File().path; }
void LogInfo(const std::string& tag, const std::string& value) { Entry("INFO:", tag, value); }
void LogWarning(const std::string& tag, const std::string& value) { Entry("WARNING:", tag, value); }
void LogError(const std::string& tag, const std::string& value) { Entry("ERROR:", tag, value); }
void LogRaw(const char* data, size_t size) { Append(data, size); }
void LogRaw(const std::string& text) { Append(text.data(), text.size()); }
void LogTimeLine()
{
    std::string line = TimeLine();
    Append(line.data(), line.size());
}

} // namespace launch
