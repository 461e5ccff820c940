#include "launcher/Launcher.h"

#include "launcher/CleanUp.h"
#include "launcher/Log.h"
#include "launcher/ProgramPath.h"
#include "launcher/Process.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace launch {

const char* const kLockPrefix = "9075CDB8-D9F1-46dc-BCBF-F7E465A9A630";

namespace {

// Ends a run early with a result code and the detail of its message.
struct LaunchError : std::runtime_error {
    LaunchError(int c, const std::string& detail) : std::runtime_error(detail), code(c) {}
    int code;
};

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

// Nothing but blanks: a key present with an empty (or blank) value.
bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

void Append(Argv& to, const Argv& more) { to.insert(to.end(), more.begin(), more.end()); }

std::string ApplicationName(const std::string& executable)
{
    std::string name = fs::path(executable).filename().string();
    for (size_t pos; (pos = name.find("_console")) != std::string::npos;)
        name.erase(pos, 8);
    return name;
}

std::string Folder(const std::string& path) { return fs::path(path).parent_path().string(); }

// What a failed start is reported with.
std::string StartFailure(const Argv& child, const std::string& error)
{
    if (child.empty())
        return "no program is set (launchercmd or launcherargs)";
    return child[0] + " (" + error + ")";
}

bool Desktop() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

} // namespace

Launcher::Launcher(const Argv& args, Kind kind, const std::string& invoked)
    : mKind(kind), mHome(Folder(invoked)), mApplication(ApplicationName(invoked)), mArgs(args, ApplicationName(invoked))
{
    std::error_code ec;
    if (!fs::exists(IniPath(), ec)) {
        std::string real = ExecutablePath();
        if (!real.empty() && Folder(real) != mHome && fs::exists(Folder(real) + "/" + mApplication + ".ini", ec))
            mHome = Folder(real);
    }
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

std::string Launcher::Substitute(const std::string& text) const
{
    try {
        return SubstituteProperties(text, mProperties);
    } catch (const SubstitutionLimit& e) {
        throw LaunchError(OVER_LIMIT, e.what());
    }
}

std::string Launcher::Setting(const std::string& key)
{
    std::string value;
    if (!TakeOption(mArgs.args, "-" + key, true, true, &value))
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

void Launcher::LoadProperties()
{
    auto add = [this](const std::string& key, const std::string& value) {
        if (mProperties.size() >= kMaxProperties)
            throw LaunchError(OVER_LIMIT, "more than " + std::to_string(kMaxProperties) + " properties");
        mProperties.emplace_back(key, value);
    };
    std::string master;
    for (const std::string& key : mIni->Keys("properties")) {
        std::string value = mIni->Get("properties", key).value_or("");
        if (key == "MASTERPROP")
            master = value;
        else
            add(key, value);
    }
    if (master.empty())
        return;
    LogInfo("DataControl::GetProperties::masterProperty", master);
    // As given, else beside the INI file. A file that is there must be a
    // readable regular file: a FIFO would block the launcher.
    IniFile file(master);
    if (file.Keys("properties").empty()) {
        std::error_code ec;
        std::string beside = fs::absolute(fs::path(IniPath()).parent_path() / master, ec).string();
        IniFile other(beside);
        if (other.State() == IniFile::Status::Unreadable)
            throw LaunchError(INI_UNREADABLE, beside + " (" + other.Problem() + ")");
        if (file.State() == IniFile::Status::Unreadable && !other.Exists())
            throw LaunchError(INI_UNREADABLE, master + " (" + file.Problem() + ")");
        if (other.Exists())
            file = std::move(other);
    }
    if (!file.Exists())
        LogWarning("DataControl::GetProperties::masterProperty", master + ": " + file.Problem());
    for (const std::string& key : file.Keys("properties"))
        if (std::none_of(mProperties.begin(), mProperties.end(), [&](const auto& p) { return p.first == key; }))
            add(key, file.Get("properties", key).value_or(""));
    std::error_code ec;
    mProperties.emplace_back("WORKINGDIR", fs::current_path(ec).string());
    mProperties.emplace_back("LAUNCHERDIR", mHome);
}

void Launcher::ShowMessage(int code, const std::string& detail)
{
    const char* text = code == INI_MISSING      ? "This file is missing:"
                       : code == NO_PLATFORM    ? "This application does not support your platform."
                       : code == INI_UNREADABLE ? "This file cannot be read:"
                       : code == NO_MEMORY      ? "System does not have enough memory."
                       : code == NO_LOCKING     ? "The check for conflicting programs cannot be made:"
                       : code == NO_START_DIR   ? "The start folder cannot be used:"
                       : code == OVER_LIMIT     ? "The settings exceed the launcher's limits:"
                       : code == START_FAILED   ? "This program cannot be started:"
                                                : "";
    std::string message = detail.empty() ? std::string(text) : std::string(text) + " " + detail;
    LogInfo("MessageDisplay", message);
    std::fprintf(stderr, "%s: %s\n", mApplication.c_str(), message.c_str());
    if (mKind == WINDOWED && !mArgs.noMessage && Desktop())
        RunDetached({"notify-send", mApplication + ": Error", message});
}

void Launcher::Warn(const std::string& tag, const std::string& text)
{
    LogWarning(tag, text);
    std::fprintf(stderr, "%s: %s\n", mApplication.c_str(), text.c_str());
}

int Launcher::CheckConflicts()
{
    std::string list = IniOnly("norunwith");
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item =
            TrimRight(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma == std::string::npos ? list.size() + 1 : comma + 1;
        if (item.empty() || item == " ")
            continue;
        item = Lower(item);
        std::string problem;
        NamedLock::State state = NamedLock::Probe(kLockPrefix + item, &problem);
        if (state == NamedLock::State::Unavailable)
            throw LaunchError(NO_LOCKING, problem);
        if (state == NamedLock::State::Held) {
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
                    RunDetached({"notify-send", "Error", message});
            }
            return CONFLICT;
        }
    }
    std::string id = Lower(TrimRight(IniOnly("id")));
    if (!id.empty() && id != " ") {
        // Unless our own lock is taken, others cannot see that we run.
        std::string problem;
        if (mOwnLock.Acquire(kLockPrefix + id, &problem) == NamedLock::State::Unavailable)
            throw LaunchError(NO_LOCKING, problem);
    }
    return 0;
}

void Launcher::StartLog()
{
    std::string logDir = fs::path(LogPath()).parent_path().string();
    std::error_code ec;
    fs::create_directories(logDir, ec);
    if (!ec || ec == std::errc::file_exists) {
        LogTimeLine();
        LogRaw("Launcher started.... \n");
        LogRaw("path= " + logDir + "\n");
        LogRaw("logfile= " + LogPath() + "\n");
    }
    // What was found before the log could be written.
    for (const LogNote& note : mArgs.notes) {
        if (note.level == LogNote::WARNING) {
            LogWarning(note.tag, note.value);
            std::fprintf(stderr, "%s: %s\n", mApplication.c_str(), note.message.c_str());
        } else {
            LogInfo(note.tag, note.value);
        }
    }
}

void Launcher::EnterStartFolder()
{
    std::string startDir = Setting("startdir");
    std::error_code ec;
    if (!startDir.empty() && IsBlank(startDir)) {
        LogInfo("Launcher::Run::start::startdir(workingdir)", fs::current_path(ec).string());
        return;
    }
    std::string dir = startDir.empty() ? mHome : startDir;
    fs::current_path(dir, ec);
    if (ec) {
        LogError("Launcher::Run::start::startdir", dir + ": " + ec.message());
        throw LaunchError(NO_START_DIR, dir + " (" + ec.message() + ")");
    }
    if (startDir.empty())
        LogInfo("Launcher::Run::start::startdir(launchhome)", mHome);
    else
        LogInfo("Launcher::Run::start::startdir", startDir);
}

Argv Launcher::ChildArguments()
{
    std::string command = Setting("launchercmd");
    if (EndsWithNoCase(command, "javaw.exe")) {
        LogInfo("Launcher::Run::start::windowed", "true");
        if (mKind == CONSOLE)
            command = command.substr(0, command.size() - 9) + "java.exe";
    }
    // The program is one argument, whatever characters its path holds; the
    // settings' texts are split into arguments; the launcher's own remaining
    // arguments pass unchanged.
    Argv child;
    if (!IsBlank(command)) {
        child.push_back(command);
        LogInfo("Launcher::Run::start::launchercmd", command);
    }
    std::string launcherArgs = Setting("launcherargs");
    if (!IsBlank(launcherArgs)) {
        Append(child, SplitCommandLine(launcherArgs));
        LogInfo("Launcher::Run::start::launcherargs", launcherArgs);
    } else {
        std::string javaArgs = NumberedSetting("JavaArgs_");
        if (!IsBlank(javaArgs)) {
            Append(child, SplitCommandLine(javaArgs));
            LogInfo("Launcher::Run::start::javaargs", javaArgs);
        }
        std::string classPath = Setting("Classpath");
        if (!IsBlank(classPath)) {
            Append(child, SplitCommandLine(classPath));
            LogInfo("Launcher::Run::start::classpath", classPath);
        }
        std::string mainClass = Setting("MainClass");
        if (!IsBlank(mainClass)) {
            Append(child, SplitCommandLine(mainClass));
            LogInfo("Launcher::Run::start::mainclass", mainClass);
        }
        std::string more = NumberedSetting("AddtlArgs_");
        if (!IsBlank(more)) {
            Append(child, SplitCommandLine(more));
            LogInfo("Launcher::Run::start::addtlargs", more);
        }
    }
    if (mArgs.cleanupEnabled) {
        mCleanupDir = mArgs.tempLocation;
        LogInfo("Launcher::Run::start::cleandir", mCleanupDir);
    }
    Append(child, mArgs.args);
    for (std::string& arg : child)
        arg = Substitute(arg);
    return child;
}

void Launcher::ScheduleCleanup()
{
    std::string folder;
    std::string refusal = CleanupRefusal(mCleanupDir, mHome, &folder);
    if (!refusal.empty()) {
        Warn("Launcher::Run::start::cleanup", "not removing " + mCleanupDir + ": " + refusal);
        return;
    }
    std::error_code ec;
    fs::current_path(folder, ec);
    std::string problem;
    std::string script = WriteCleanScript(folder, mApplication, &problem);
    if (script.empty()) {
        Warn("Launcher::Run::start::cleanup", "not removing " + mCleanupDir + ": no clean-up script: " + problem);
        return;
    }
    LogInfo("Run::CreateCleanProc::cleanfile", script);
    LogInfo("Run::CreateCleanProc::loc", folder);
    LogInfo("Launcher::Run::start::cleanup", script);
    std::string error;
    if (RunDetached({"/bin/sh", script, folder, folder}, &error) != 0)
        Warn("Launcher::Run::start::cleanup", "the clean-up script cannot be started: " + error);
}

int Launcher::Start()
{
    StartLog();

    mIni = std::make_unique<IniFile>(IniPath());
    if (mIni->State() == IniFile::Status::Missing)
        throw LaunchError(INI_MISSING, IniPath());
    if (mIni->State() == IniFile::Status::Unreadable)
        throw LaunchError(INI_UNREADABLE, IniPath() + " (" + mIni->Problem() + ")");
    LogInfo("LRun::start::templocation", mArgs.tempLocation);
    LogInfo("LRun::start::USERHOME", mArgs.dataLocation);

    mPlatform = PlatformName();
    if (mPlatform.empty())
        throw LaunchError(NO_PLATFORM, "");
    LoadProperties();
    LogInfo("LRun::start::param", JoinCommandLine(mArgs.args));
    LogInfo("Launcher::Run::start::inifile", IniPath());
    LogInfo("Launcher::Run::start::platform", mPlatform);

    EnterStartFolder();
    if (CheckConflicts() == CONFLICT)
        return CONFLICT;

    Argv child = ChildArguments();
    std::string line = JoinCommandLine(child);
    bool uninstall = std::any_of(child.begin(), child.end(), [](const std::string& a) {
        return Lower(a).find("uninstall.jar") != std::string::npos;
    });
    int result;
    std::string error;
    if (!uninstall) {
        if (mArgs.captureOutput) {
            LogInfo("Launcher::Run::start::Run with stdout", line);
            result = RunCaptured(child, mKind == CONSOLE, &error);
        } else {
            LogInfo("Launcher::Run::start::Run as without stdout", line);
            result = RunAndWait(child, &error);
        }
        if (!error.empty())
            ShowMessage(START_FAILED, StartFailure(child, error));
        if (!mCleanupDir.empty() && !LogPath().empty())
            ScheduleCleanup();
    } else {
        std::string dir = !mArgs.tempLocation.empty()   ? mArgs.tempLocation
                          : !mArgs.dataLocation.empty() ? mArgs.dataLocation
                                                        : "/";
        std::error_code ec;
        fs::current_path(dir, ec);
        LogInfo("Launcher::Run::start::Run as uninstall", line);
        result = RunDetached(child, &error);
        if (!error.empty())
            ShowMessage(START_FAILED, StartFailure(child, error));
    }
    return result;
}

int Launcher::Run()
{
    int result = START_FAILED;
    try {
        try {
            result = Start();
        } catch (const LaunchError& e) {
            result = e.code;
            ShowMessage(e.code, e.what());
        } catch (const std::bad_alloc&) {
            result = NO_MEMORY;
            ShowMessage(NO_MEMORY, "");
        } catch (const std::exception& e) {
            result = START_FAILED;
            ShowMessage(START_FAILED, e.what());
        }
    } catch (...) {
        // The message itself failed; the result still stands.
    }
    mOwnLock.Release();
    return result;
}

} // namespace launch
