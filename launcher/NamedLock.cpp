#include "launcher/NamedLock.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace launch {

namespace {

std::string AbsoluteEnv(const char* name)
{
    const char* v = std::getenv(name);
    return v && v[0] == '/' ? std::string(v) : std::string();
}

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    if (home.empty())
        if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
            home = pw->pw_dir;
    return home;
}

void Say(std::string* problem, const std::string& text)
{
    if (problem)
        *problem = text;
}

// The lock folder, created with mode 0700 when missing; -1 unless it is a
// real folder of this user that nobody else can use.
int OpenDirectory(std::string* problem)
{
    std::string dir = NamedLock::Directory();
    if (dir.empty()) {
        Say(problem, "no folder for lock files: neither XDG_RUNTIME_DIR nor a home folder is set");
        return -1;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(dir).parent_path(), ec);
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        Say(problem, dir + ": " + std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (lstat(dir.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        Say(problem, dir + ": is a symbolic link");
        return -1;
    }
    if (lstat(dir.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        Say(problem, dir + ": is not a folder");
        return -1;
    }
    // Opened without following a link, in case one was put there meanwhile.
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        Say(problem, dir + ": " + std::strerror(errno));
        return -1;
    }
    std::string wrong;
    if (fstat(fd, &st) != 0) {
        wrong = std::strerror(errno);
    } else if (st.st_uid != geteuid()) {
        wrong = "belongs to another user";
    } else if ((st.st_mode & 077) != 0) {
        char mode[16];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        wrong = std::string("is open to other users (mode ") + mode + ", must be 0700)";
    }
    if (!wrong.empty()) {
        close(fd);
        Say(problem, dir + ": " + wrong);
        return -1;
    }
    return fd;
}

// A name is one file, never a path; names too long for a file name keep a
// readable head and a hash of the whole.
std::string FileName(const std::string& name)
{
    std::string safe;
    for (char c : name)
        safe += c == '/' ? '_' : c;
    if (safe.size() <= 200)
        return safe;
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : name)
        hash = (hash ^ c) * 1099511628211ull;
    char tail[24];
    std::snprintf(tail, sizeof tail, "-%016llx", static_cast<unsigned long long>(hash));
    return safe.substr(0, 150) + tail;
}

int OpenLockFile(const std::string& name, std::string* problem)
{
    int dir = OpenDirectory(problem);
    if (dir < 0)
        return -1;
    std::string file = FileName(name);
    int fd = openat(dir, file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        Say(problem, NamedLock::Directory() + "/" + file + ": " + std::strerror(errno));
    close(dir);
    return fd;
}

NamedLock::State Lock(int fd, std::string* problem)
{
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return NamedLock::State::Free;
    if (errno == EWOULDBLOCK)
        return NamedLock::State::Held;
    Say(problem, std::string("locking failed: ") + std::strerror(errno));
    return NamedLock::State::Unavailable;
}

} // namespace

std::string NamedLock::Directory()
{
    if (std::string run = AbsoluteEnv("XDG_RUNTIME_DIR"); !run.empty())
        return run + "/vexoworks-locks";
    if (std::string cache = AbsoluteEnv("XDG_CACHE_HOME"); !cache.empty())
        return cache + "/vexoworks-locks";
    std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.cache/vexoworks-locks";
}

NamedLock::State NamedLock::Probe(const std::string& name, std::string* problem)
{
    int fd = OpenLockFile(name, problem);
    if (fd < 0)
        return State::Unavailable;
    State state = Lock(fd, problem);
    close(fd); // closing drops a lock we may have taken
    return state;
}

NamedLock::State NamedLock::Acquire(const std::string& name, std::string* problem)
{
    Release();
    mFd = OpenLockFile(name, problem);
    if (mFd < 0)
        return State::Unavailable;
    State state = Lock(mFd, problem);
    if (state != State::Free)
        Release();
    return state;
}

void NamedLock::Release()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
}

} // namespace launch
