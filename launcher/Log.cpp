#include "launcher/Log.h"

#include <cstdio>
#include <ctime>

namespace launch {

namespace {

std::string& Path()
{
    static std::string path;
    return path;
}

void Append(const std::string& text)
{
    if (Path().empty())
        return;
    if (FILE* f = std::fopen(Path().c_str(), "a")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
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
    Append(TimeLine() + level + " " + tag + "=" + value + "\n");
}

} // namespace

void SetLogPath(const std::string& path) { Path() = path; }
const std::string& LogPath() { return Path(); }
void LogInfo(const std::string& tag, const std::string& value) { Entry("INFO:", tag, value); }
void LogWarning(const std::string& tag, const std::string& value) { Entry("WARNING:", tag, value); }
void LogError(const std::string& tag, const std::string& value) { Entry("ERROR:", tag, value); }
void LogRaw(const std::string& text) { Append(text); }
void LogTimeLine() { Append(TimeLine()); }

} // namespace launch
