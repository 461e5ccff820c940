#include "launcher/NamedLock.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace launch {

std::string NamedLock::Directory()
{
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run)
        return std::string(run) + "/vexoworks-locks";
    return "/tmp/vexoworks-locks-" + std::to_string(getuid());
}

namespace {
int Open(const std::string& name)
{
    std::error_code ec;
    std::filesystem::create_directories(NamedLock::Directory(), ec);
    std::string safe;
    for (char c : name)
        safe += c == '/' ? '_' : c; // a name is one file, never a path
    return open((NamedLock::Directory() + "/" + safe).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}
} // namespace

bool NamedLock::IsHeld(const std::string& name)
{
    int fd = Open(name);
    if (fd < 0)
        return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd); // closing drops a lock we may have taken
    return held;
}

bool NamedLock::Acquire(const std::string& name)
{
    Release();
    mFd = Open(name);
    if (mFd < 0)
        return false;
    if (flock(mFd, LOCK_EX | LOCK_NB) != 0) {
        close(mFd);
        mFd = -1;
        return false;
    }
    return true;
}

void NamedLock::Release()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
}

} // namespace launch
