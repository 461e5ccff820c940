#include "launcher/ProgramPath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace launch {

std::string ExecutablePath()
{
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string InvokedPath(const std::string& argv0)
{
    auto absolute = [](const std::string& path) {
        std::error_code ec;
        fs::path p = fs::absolute(path, ec);
        if (ec)
            return path;
        // Only "." and doubled slashes go: ".." after a link means the
        // link target's parent.
        if (std::none_of(p.begin(), p.end(), [](const fs::path& part) { return part == ".."; }))
            p = p.lexically_normal();
        return p.string();
    };
    if (argv0.find('/') != std::string::npos)
        return absolute(argv0);
    const char* path = std::getenv("PATH");
    if (!argv0.empty() && path) {
        std::string list = path;
        for (size_t start = 0; start <= list.size();) {
            size_t colon = std::min(list.find(':', start), list.size());
            std::string dir = list.substr(start, colon - start);
            std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + argv0;
            std::error_code ec;
            if (access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate, ec))
                return absolute(candidate);
            start = colon + 1;
        }
    }
    return ExecutablePath();
}

} // namespace launch
