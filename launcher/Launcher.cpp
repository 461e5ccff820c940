#include "launcher/Launcher.h"

#include "launcher/Log.h"
#include "launcher/Process.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace launch {

const char* const kLockPrefix = "9075CDB8-D9F1-46dc-BCBF-F7E465A9A630";

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && Lower(s.substr(s.size() - suffix.size())) == Lower(suffix);
}

std::string TrimRight(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

std::string ApplicationName(const std::string& executable)
{
    std::string name = fs::path(executable).filename().string();
    for (size_t pos; (pos = name.find("_console")) != std::string::npos;)
        name.erase(pos, 8);
    return name;
}

// Quotes a path for the shell.
std::string ShellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool Desktop() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

} // namespace

std::string Launcher::ExecutablePath()
{
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

Launcher::Launcher(const std::string& commandLine, Kind kind, const std::string& executable)
    : mKind(kind), mHome(fs::path(executable).parent_path().string()), mApplication(ApplicationName(executable)),
      mArgs(commandLine, ApplicationName(executable))
{
    SetLogPath(mArgs.logPath);
}

std::string Launcher::PlatformName()
{
    // "wx6" stands for a 32-bit program on a 64-bit system, as INI files
    // written for the two kinds of Windows programs expect; "win" otherwise.
    utsname u{};
    if (uname(&u) != 0) {
        LogInfo("EnvCalls::GetOs", "No handle");
        return {};
    }
    bool wide = std::string(u.machine).find("64") != std::string::npos;
    if (sizeof(void*) == 4 && wide) {
        LogInfo("EnvCalls::isWow64", "true");
        return "wx6";
    }
    return "win";
}

std::string Launcher::IniOnly(const std::string& key) const
{
    for (const std::string& section : {mPlatform, std::string("default")}) {
        std::optional<std::string> v = mIni->Get(section, key);
        if (v && !v->empty())
            return *v;
        if (v)
            return " "; // present and empty
    }
    return {};
}

std::string Launcher::Substitute(std::string text) const
{
    for (const auto& [name, value] : mProperties) {
        std::string token = "<" + name + ">";
        for (size_t pos = text.find(token); pos != std::string::npos; pos = text.find(token, pos + value.size()))
            text.replace(pos, token.size(), value);
    }
    return text;
}

std::string Launcher::Setting(const std::string& key)
{
    std::string value;
    if (!TakeOption(mArgs.line, "-" + key, true, true, &value))
        value = IniOnly(key);
    return Substitute(value);
}

std::string Launcher::NumberedSetting(const std::string& key)
{
    std::string joined;
    for (int i = 1;; ++i) {
        std::string v = Setting(key + std::to_string(i));
        if (v.empty())
            break;
        joined += v + " ";
    }
    return joined;
}

bool Launcher::LoadProperties()
{
    try {
        std::string master;
        for (const std::string& key : mIni->Keys("properties")) {
            std::string value = mIni->Get("properties", key).value_or("");
            if (key == "MASTERPROP")
                master = value;
            else
                mProperties.emplace_back(key, value);
        }
        if (!master.empty()) {
            LogInfo("DataControl::GetProperties::masterProperty", master);
            IniFile file(master);
            if (file.Keys("properties").empty()) {
                std::error_code ec;
                fs::path relative = fs::absolute(fs::path(IniPath()).parent_path() / master, ec);
                file = IniFile(relative.string());
            }
            for (const std::string& key : file.Keys("properties"))
                if (std::none_of(mProperties.begin(), mProperties.end(), [&](const auto& p) { return p.first == key; }))
                    mProperties.emplace_back(key, file.Get("properties", key).value_or(""));
            std::error_code ec;
            mProperties.emplace_back("WORKINGDIR", fs::current_path(ec).string());
            mProperties.emplace_back("LAUNCHERDIR", mHome);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Launcher::ShowMessage(int code, const std::string& detail)
{
    const char* text = code == INI_MISSING   ? "This file is missing:"
                       : code == NO_PLATFORM ? "This application does not support your platform."
                       : code == NO_MEMORY   ? "System does not have enough memory."
                                             : "";
    std::string message = std::string(text) + " " + detail;
    LogInfo("MessageDisplay", message);
    std::fprintf(stderr, "%s: %s\n", mApplication.c_str(), message.c_str());
    if (mKind == WINDOWED && !mArgs.noMessage && Desktop())
        RunDetached("notify-send \"" + mApplication + ": Error\" \"" + message + "\"");
}

int Launcher::CheckConflicts()
{
    std::string list = IniOnly("norunwith");
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = TrimRight(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma == std::string::npos ? list.size() + 1 : comma + 1;
        if (item.empty() || item == " ")
            continue;
        item = Lower(item);
        if (NamedLock::IsHeld(kLockPrefix + item)) {
            std::string message = "The #2 cannot be invoked while the #1 is running.";
            std::string other = mIni->Get(mPlatform, "norunwith_display_" + item)
                                    .value_or(mIni->Get("default", "norunwith_display_" + item).value_or(item));
            std::string id = TrimRight(IniOnly("id"));
            std::string self = mIni->Get(mPlatform, "norunwith_display_" + id)
                                   .value_or(mIni->Get("default", "norunwith_display_" + id).value_or(mApplication));
            message.replace(message.find("#2"), 2, self);
            message.replace(message.find("#1"), 2, other);
            LogWarning("MutexObj::IsRunning", message);
            if (!mArgs.autorun) {
                std::fprintf(stderr, "%s: %s\n", mApplication.c_str(), message.c_str());
                if (mKind == WINDOWED && !mArgs.noMessage && Desktop())
                    RunDetached("notify-send \"Error\" \"" + message + "\"");
            }
            return CONFLICT;
        }
    }
    std::string id = Lower(TrimRight(IniOnly("id")));
    if (!id.empty() && id != " ")
        mOwnLock.Acquire(kLockPrefix + id);
    return 0;
}

std::string Launcher::CreateCleanScript()
{
    if (mArgs.tempLocation.empty())
        return {};
    std::string path;
    do
        path = mArgs.tempLocation + "/clean_" + mApplication + "_" + std::to_string(std::rand()) + ".sh";
    while (fs::exists(path));
    std::ofstream out(path);
    out << "sleep 1\n"
        << "cd " << ShellQuote(mArgs.tempLocation) << "\n"
        << "rm -rf " << ShellQuote(mCleanupDir) << "\n"
        << "rm -f " << ShellQuote(path) << "\n";
    if (!out)
        return {};
    LogInfo("Run::CreateCleanProc::cleanfile", path);
    LogInfo("Run::CreateCleanProc::loc", mArgs.tempLocation);
    return path;
}

int Launcher::Run()
{
    // 1. The INI file.
    if (!fs::exists(IniPath())) {
        ShowMessage(INI_MISSING, IniPath());
        return INI_MISSING;
    }
    mIni = std::make_unique<IniFile>(IniPath());

    // 2.-3. The log.
    std::string logDir = fs::path(LogPath()).parent_path().string();
    std::error_code ec;
    fs::create_directories(logDir, ec);
    if (!ec || ec == std::errc::file_exists) {
        LogTimeLine();
        LogRaw("Launcher started.... \n");
        LogRaw("path= " + logDir + "\n");
        LogRaw("logfile= " + LogPath() + "\n");
    }
    LogInfo("LRun::start::templocation", mArgs.tempLocation);
    LogInfo("LRun::start::USERHOME", mArgs.dataLocation);

    // 4.-6. Platform, properties.
    mPlatform = PlatformName();
    if (mPlatform.empty()) {
        ShowMessage(NO_PLATFORM, "");
        return NO_PLATFORM;
    }
    if (!LoadProperties()) {
        ShowMessage(NO_MEMORY, "");
        return NO_MEMORY;
    }
    LogInfo("LRun::start::param", mArgs.line);
    LogInfo("Launcher::Run::start::inifile", IniPath());
    LogInfo("Launcher::Run::start::platform", mPlatform);

    // 7. Working directory.
    std::string startDir = Setting("startdir");
    if (startDir == " ") {
        LogInfo("Launcher::Run::start::startdir(workingdir)", fs::current_path(ec).string());
    } else if (startDir.empty()) {
        fs::current_path(mHome, ec);
        LogInfo("Launcher::Run::start::startdir(launchhome)", mHome);
    } else {
        fs::current_path(startDir, ec);
        LogInfo("Launcher::Run::start::startdir", startDir);
    }

    // 8. Conflicts.
    if (CheckConflicts() == CONFLICT)
        return CONFLICT;

    // 9. The child's command line (paths stay native).
    std::string command = Setting("launchercmd");
    if (EndsWithNoCase(command, "javaw.exe")) {
        LogInfo("Launcher::Run::start::windowed", "true");
        if (mKind == CONSOLE)
            command = command.substr(0, command.size() - 9) + "java.exe";
    }
    std::string line;
    if (!command.empty() && command != " ") {
        line = "\"" + command + "\" ";
        LogInfo("Launcher::Run::start::launchercmd", command);
    }
    std::string launcherArgs = Setting("launcherargs");
    if (!launcherArgs.empty() && launcherArgs != " ") {
        line += launcherArgs + " ";
        LogInfo("Launcher::Run::start::launcherargs", launcherArgs);
    } else {
        std::string javaArgs = NumberedSetting("JavaArgs_");
        if (!javaArgs.empty()) {
            line += javaArgs;
            LogInfo("Launcher::Run::start::javaargs", javaArgs);
        }
        std::string classPath = Setting("Classpath");
        if (!classPath.empty() && classPath != " ") {
            line += classPath + " ";
            LogInfo("Launcher::Run::start::classpath", classPath);
        }
        std::string mainClass = Setting("MainClass");
        if (!mainClass.empty() && mainClass != " ") {
            line += mainClass + " ";
            LogInfo("Launcher::Run::start::mainclass", mainClass);
        }
        std::string more = NumberedSetting("AddtlArgs_");
        if (!more.empty()) {
            line += more;
            LogInfo("Launcher::Run::start::addtlargs", more);
        }
    }
    if (mArgs.cleanupEnabled) {
        mCleanupDir = mArgs.tempLocation;
        LogInfo("Launcher::Run::start::cleandir", mCleanupDir);
    }
    line = Substitute(line + mArgs.line);

    // 10.-11. Run.
    int result;
    if (Lower(line).find("uninstall.jar") == std::string::npos) {
        if (mArgs.captureOutput) {
            LogInfo("Launcher::Run::start::Run with stdout", line);
            result = RunCaptured(line, mKind == CONSOLE);
        } else {
            LogInfo("Launcher::Run::start::Run as without stdout", line);
            result = RunAndWait(line);
        }
        // Never remove the root or the home folder, whatever the command line says.
        std::error_code same;
        bool dangerous = mCleanupDir.empty() || fs::equivalent(mCleanupDir, "/", same) ||
                         (std::getenv("HOME") && fs::equivalent(mCleanupDir, std::getenv("HOME"), same));
        if (!mCleanupDir.empty() && !LogPath().empty() && !dangerous) {
            fs::current_path(mArgs.tempLocation, ec);
            std::string script = CreateCleanScript();
            if (!script.empty()) {
                LogInfo("Launcher::Run::start::cleanup", script);
                RunDetached("/bin/sh \"" + script + "\"");
            }
        }
    } else {
        std::string dir = !mArgs.tempLocation.empty() ? mArgs.tempLocation
                          : !mArgs.dataLocation.empty() ? mArgs.dataLocation
                                                        : "/";
        fs::current_path(dir, ec);
        LogInfo("Launcher::Run::start::Run as uninstall", line);
        result = RunDetached(line);
    }
    mOwnLock.Release();
    return result;
}

} // namespace launch
