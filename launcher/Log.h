// The launcher's log file: every entry is a time line (asctime) and a line
// "LEVEL TAG=VALUE"; child output is appended raw. Nothing is written while
// no log path is set.
#pragma once

#include <string>

namespace launch {

// Sets (or clears) the log path; the file is opened on the first write and
// stays open, each entry reaching the file with one write, so that what was
// logged survives a crash of the launcher.
void SetLogPath(const std::string& path);
const std::string& LogPath();
void LogInfo(const std::string& tag, const std::string& value);
void LogWarning(const std::string& tag, const std::string& value);
void LogError(const std::string& tag, const std::string& value);
void LogRaw(const char* data, size_t size);
void LogRaw(const std::string& text);
// The time line alone, as the log's start writes it.
void LogTimeLine();

} // namespace launch
