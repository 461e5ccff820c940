#include "launcher/CleanUp.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace launch {

namespace {

const char kScript[] = "#!/bin/sh\n"
                       "# Removes the launcher's temporary folder once the launcher has ended.\n"
                       "sleep 1\n"
                       "cd -- \"$1\" || exit 1\n"
                       "rm -rf --one-file-system -- \"$2\"\n"
                       "rm -f -- \"$0\"\n";

// Whether 'inner' is 'outer' or lies below it (both real paths).
bool Within(const fs::path& inner, const fs::path& outer)
{
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o)
            return false;
    return true;
}

std::string RealPath(const std::string& path)
{
    if (path.empty())
        return {};
    std::error_code ec;
    fs::path real = fs::weakly_canonical(path, ec);
    return ec ? std::string() : real.string();
}

std::string RandomName(const std::string& application)
{
    std::random_device random;
    char digits[24];
    std::snprintf(digits, sizeof digits, "%08x%08x", unsigned(random()), unsigned(random()));
    return "clean_" + application + "_" + digits + ".sh";
}

std::string WriteScript(int dir, const std::string& folder, const std::string& application, std::string* problem)
{
    std::string name;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        name = RandomName(application);
        fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *problem = folder + "/" + name + ": " + std::strerror(errno);
        return {};
    }
    bool written = write(fd, kScript, sizeof kScript - 1) == ssize_t(sizeof kScript - 1);
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlinkat(dir, name.c_str(), 0);
        *problem = folder + "/" + name + ": " + std::strerror(error);
        return {};
    }
    return folder + "/" + name;
}

} // namespace

std::string CleanupRefusal(const std::string& folder, const std::string& launcherHome, std::string* resolved)
{
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0)
        return std::strerror(errno);
    if (S_ISLNK(st.st_mode))
        return "is a symbolic link";
    if (!S_ISDIR(st.st_mode))
        return "is not a folder";
    fs::path real = RealPath(folder);
    if (real.empty())
        return "its real path cannot be found";
    if (real == real.root_path())
        return "is the root folder";
    if (real.parent_path() == real.root_path())
        return "is a top-level folder of the system";
    std::vector<std::string> protectedFolders{launcherHome};
    if (const char* home = std::getenv("HOME"))
        protectedFolders.push_back(home);
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir)
        protectedFolders.push_back(pw->pw_dir);
    for (const std::string& p : protectedFolders) {
        std::string keep = RealPath(p);
        if (!keep.empty() && Within(keep, real))
            return "is or contains " + keep;
    }
    if (resolved)
        *resolved = real.string();
    return {};
}

std::string WriteCleanScript(const std::string& folder, const std::string& application, std::string* problem)
{
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) {
        *problem = folder + ": " + std::strerror(errno);
        return {};
    }
    std::string path;
    struct stat st {};
    if (fstat(dir, &st) != 0)
        *problem = folder + ": " + std::strerror(errno);
    else if (st.st_uid != geteuid())
        *problem = folder + ": belongs to another user";
    else if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        *problem = folder + ": other users may write to it";
    else
        path = WriteScript(dir, folder, application, problem);
    close(dir);
    return path;
}

} // namespace launch
