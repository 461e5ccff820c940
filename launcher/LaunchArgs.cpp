#include "launcher/LaunchArgs.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace launch {

namespace {

bool SameWord(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string TrimBlanks(const std::string& v)
{
    size_t a = v.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    size_t b = v.find_last_not_of(" \t");
    return v.substr(a, b - a + 1);
}

// Relative to the folder the launcher started in, whatever folder it works
// in later.
std::string Absolute(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return ec ? path : p.string();
}

// The value of an option that stays for the child, made absolute there too,
// so that the child and the launcher name the same file.
std::string KeepAbsolute(Argv& args, const std::string& option, const std::string& value)
{
    std::string absolute = Absolute(value);
    size_t pos = FindOption(args, option);
    if (!value.empty() && pos != std::string::npos && pos + 1 < args.size())
        args[pos + 1] = absolute;
    return absolute;
}

} // namespace

size_t FindOption(const Argv& args, const std::string& option)
{
    for (size_t i = 0; i < args.size(); ++i)
        if (SameWord(args[i], option))
            return i;
    return std::string::npos;
}

bool TakeOption(Argv& args, const std::string& option, bool withValue, bool remove, std::string* value)
{
    size_t pos = FindOption(args, option);
    if (pos == std::string::npos)
        return false;
    size_t count = 1;
    if (withValue) {
        if (value)
            *value = pos + 1 < args.size() ? TrimBlanks(args[pos + 1]) : std::string();
        if (pos + 1 < args.size())
            count = 2;
    }
    if (remove)
        args.erase(args.begin() + pos, args.begin() + pos + count);
    return true;
}

std::string DefaultTempDirectory(std::vector<LogNote>& notes)
{
    const char* env = std::getenv("TMP");
    if (!env || !*env)
        env = std::getenv("TEMP");
    if (!env || !*env)
        env = std::getenv("TMPDIR");
    std::string dir = Absolute(env && *env ? env : "/tmp");
    std::error_code ec;
    fs::create_directories(dir, ec);
    std::error_code statError;
    fs::file_status status = fs::status(dir, statError);
    if (fs::exists(status) && !fs::is_directory(status)) {
        notes.push_back({LogNote::WARNING, "EnvCalls::GetTemp::This is not a directory", dir,
                         "the temporary folder " + dir + " is not a folder"});
        return {};
    }
    if (!fs::is_directory(status)) {
        notes.push_back({LogNote::WARNING, "EnvCalls::GetTemp::invalid", dir + ": " + ec.message(),
                         "the temporary folder " + dir + " cannot be created: " + ec.message()});
        return {};
    }
    notes.push_back({LogNote::INFO, "EnvCalls::GetTemp::TMP", dir, ""});
    return dir;
}

std::string DefaultDataLocation()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return base + "/Vexo/Kestrova";
}

LaunchArgs::LaunchArgs(const Argv& arguments, const std::string& application) : args(arguments)
{
    wait = TakeOption(args, "-wait", false, true, nullptr);
    TakeOption(args, "-console", false, true, nullptr);
    captureOutput = !TakeOption(args, "-noconsole", false, true, nullptr);
    quiet = TakeOption(args, "-quiet", false, false, nullptr);
    noMessage = TakeOption(args, "-nomessage", false, true, nullptr);
    TakeOption(args, "-applogloc", true, false, &logPath);
    logPath = KeepAbsolute(args, "-applogloc", logPath);
    if (TakeOption(args, "-templocation", true, true, &tempLocation)) {
        cleanupEnabled = !TakeOption(args, "-nocleanup", false, true, nullptr);
        tempLocation = Absolute(tempLocation);
        if (!tempLocation.empty()) {
            // Missing parents get the usual mode; the folder itself is
            // private, as the clean-up script it receives requires.
            std::error_code ec;
            fs::create_directories(fs::path(tempLocation).parent_path(), ec);
            if (mkdir(tempLocation.c_str(), 0700) != 0 && errno != EEXIST) {
                std::string why = std::strerror(errno);
                notes.push_back({LogNote::WARNING, "LRun::start::templocation", tempLocation + ": " + why,
                                 "the temporary location " + tempLocation + " cannot be created: " + why});
            }
        }
    } else {
        tempLocation = DefaultTempDirectory(notes);
        cleanupEnabled = false;
    }
    if (TakeOption(args, "-datalocation", true, false, &dataLocation))
        dataLocation = KeepAbsolute(args, "-datalocation", dataLocation);
    else
        dataLocation = Absolute(DefaultDataLocation());
    if (logPath.empty()) {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        logPath = dataLocation + "/" + application + "_" + std::to_string(t.tm_year + 1900) + "-" +
                  std::to_string(t.tm_mon + 1) + "-" + std::to_string(t.tm_mday) + "-" + std::to_string(t.tm_hour) +
                  "." + std::to_string(t.tm_min) + "." + std::to_string(t.tm_sec) + ".log";
    }
    autorun = TakeOption(args, "-autorun", false, true, nullptr);
}

} // namespace launch
