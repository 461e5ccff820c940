#include "platform/com/TrustedFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Trusted(const struct stat& st)
{
    bool owner = st.st_uid == geteuid() || st.st_uid == 0;
    return owner && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

lumo::FileCheck FromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return lumo::FileCheck::Missing;
    case ELOOP:
    case ENOTDIR:
        return lumo::FileCheck::Untrusted;
    default:
        return lumo::FileCheck::Failed;
    }
}

} // namespace

lumo::FileCheck lumo::OpenTrustedFolder(const std::string& path, int* fd)
{
    *fd = -1;
    if (path.empty() || path[0] != '/')
        return FileCheck::Untrusted;
    int dir = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return FromErrno(errno);
    struct stat st;
    if (fstat(dir, &st) != 0 || !S_ISDIR(st.st_mode) || !Trusted(st)) {
        close(dir);
        return FileCheck::Untrusted;
    }
    *fd = dir;
    return FileCheck::Ok;
}

lumo::FileCheck lumo::ReadTrustedFile(int folderFd, const std::string& name, std::size_t maxBytes, std::string* content)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return FileCheck::Untrusted;
    // Non-blocking so that a planted FIFO cannot stall the open.
    int fd = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FromErrno(errno);
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !Trusted(st) || std::size_t(st.st_size) > maxBytes) {
        close(fd);
        return FileCheck::Untrusted;
    }
    content->clear();
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return FileCheck::Failed;
        }
        if (n == 0)
            break;
        if (content->size() + std::size_t(n) > maxBytes) { // grew since fstat
            close(fd);
            return FileCheck::Untrusted;
        }
        content->append(buffer, std::size_t(n));
    }
    close(fd);
    return FileCheck::Ok;
}

lumo::FileCheck lumo::CheckTrustedFile(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return FileCheck::Untrusted;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return FromErrno(errno);
    if (!S_ISREG(st.st_mode) || !Trusted(st))
        return FileCheck::Untrusted;
    return FileCheck::Ok;
}

bool lumo::CreateFolders(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return false;
    std::size_t pos = 1;
    for (;;) {
        std::size_t slash = path.find('/', pos);
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
        pos = slash + 1;
    }
}
