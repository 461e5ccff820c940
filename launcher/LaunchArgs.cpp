#include "launcher/LaunchArgs.h"

#include "launcher/Log.h"

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace launch {

namespace {

bool IsWordEnd(const std::string& line, size_t pos)
{
    if (pos >= line.size())
        return true;
    auto c = static_cast<unsigned char>(line[pos]);
    return !std::isalnum(c) && !std::ispunct(c);
}

std::string TrimValue(std::string v)
{
    size_t a = v.find_first_not_of(" \t\"");
    if (a == std::string::npos)
        return {};
    size_t b = v.find_last_not_of(" \t\"");
    return v.substr(a, b - a + 1);
}

} // namespace

size_t FindOption(const std::string& line, const std::string& option)
{
    for (size_t pos = 0; pos + option.size() <= line.size(); ++pos) {
        if (pos > 0 && !std::isspace(static_cast<unsigned char>(line[pos - 1])))
            continue;
        bool same = true;
        for (size_t i = 0; i < option.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(line[pos + i])) ==
                   std::tolower(static_cast<unsigned char>(option[i]));
        if (same && IsWordEnd(line, pos + option.size()))
            return pos;
    }
    return std::string::npos;
}

bool TakeOption(std::string& line, const std::string& option, bool withValue, bool remove, std::string* value)
{
    size_t pos = FindOption(line, option);
    if (pos == std::string::npos)
        return false;
    size_t end = pos + option.size();
    if (withValue) {
        size_t start = line.find_first_not_of(" \t", end);
        if (start == std::string::npos) {
            end = line.size();
            if (value)
                value->clear();
        } else {
            size_t stop;
            if (line[start] == '"') {
                size_t close = line.find('"', start + 1);
                stop = close == std::string::npos ? line.size() : close + 1;
            } else {
                stop = line.find_first_of(" \t", start);
                if (stop == std::string::npos)
                    stop = line.size();
            }
            if (value)
                *value = TrimValue(line.substr(start, stop - start));
            end = stop;
        }
    }
    if (remove) {
        // Take one blank after the option with it, so that words stay apart.
        if (end < line.size() && line[end] == ' ')
            ++end;
        line.erase(pos, end - pos);
    }
    return true;
}

std::string DefaultTempDirectory()
{
    const char* env = std::getenv("TMP");
    if (!env || !*env)
        env = std::getenv("TEMP");
    if (!env || !*env)
        env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec && ec != std::errc::file_exists) {
        LogWarning("EnvCalls::GetTemp::invalid", dir);
        return {};
    }
    if (!fs::is_directory(dir, ec)) {
        LogWarning("EnvCalls::GetTemp::This is not a directory", dir);
        return {};
    }
    LogInfo("EnvCalls::GetTemp::TMP", dir);
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

LaunchArgs::LaunchArgs(const std::string& commandLine, const std::string& application) : line(commandLine)
{
    wait = TakeOption(line, "-wait", false, true, nullptr);
    TakeOption(line, "-console", false, true, nullptr);
    captureOutput = !TakeOption(line, "-noconsole", false, true, nullptr);
    quiet = TakeOption(line, "-quiet", false, false, nullptr);
    noMessage = TakeOption(line, "-nomessage", false, true, nullptr);
    TakeOption(line, "-applogloc", true, false, &logPath);
    if (TakeOption(line, "-templocation", true, true, &tempLocation)) {
        cleanupEnabled = !TakeOption(line, "-nocleanup", false, true, nullptr);
    } else {
        tempLocation = DefaultTempDirectory();
        cleanupEnabled = false;
    }
    if (!tempLocation.empty()) {
        std::error_code ec;
        fs::create_directories(tempLocation, ec);
    }
    if (!TakeOption(line, "-datalocation", true, false, &dataLocation))
        dataLocation = DefaultDataLocation();
    if (logPath.empty()) {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        logPath = dataLocation + "/" + application + "_" + std::to_string(t.tm_year + 1900) + "-" +
                  std::to_string(t.tm_mon + 1) + "-" + std::to_string(t.tm_mday) + "-" + std::to_string(t.tm_hour) +
                  "." + std::to_string(t.tm_min) + "." + std::to_string(t.tm_sec) + ".log";
    }
    autorun = TakeOption(line, "-autorun", false, true, nullptr);
}

} // namespace launch
