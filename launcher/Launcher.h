// The launch logic shared by guistarter and launcher: reads the INI file
// beside the program and the command line, refuses to start beside a
// conflicting program, assembles the child's arguments, runs it and returns
// its exit code.
#pragma once

#include "launcher/IniFile.h"
#include "launcher/LaunchArgs.h"
#include "launcher/NamedLock.h"
#include "launcher/Substitution.h"

#include <memory>
#include <string>

namespace launch {

enum Kind { WINDOWED = 100, CONSOLE = 200 };

// Result codes of a run that did not start the child, or not as asked.
enum Result {
    START_FAILED = -1,     // the child could not be started
    INI_MISSING = -100,    // the INI file is missing
    NO_PLATFORM = -101,    // the platform cannot be told
    INI_UNREADABLE = -102, // the INI file or its master properties file cannot be read
    NO_MEMORY = -103,      // out of memory
    NO_LOCKING = -104,     // the check for conflicting programs cannot be made
    NO_START_DIR = -105,   // the start folder cannot be entered
    OVER_LIMIT = -106,     // properties too many, nested too deep or expanding too far
    CONFLICT = 183         // a conflicting program runs
};

// The prefix of every named lock.
extern const char* const kLockPrefix;

class Launcher {
public:
    // invoked: the path the program was started under (a link's own path,
    // not its target): its name without "_console" is the application
    // name, and its folder the home, unless the INI file is found only
    // beside the program the link leads to.
    Launcher(const Argv& args, Kind kind, const std::string& invoked);

    // Never throws.
    int Run();

    const std::string& Home() const { return mHome; }
    const std::string& Application() const { return mApplication; }
    std::string IniPath() const { return mHome + "/" + mApplication + ".ini"; }

    static std::string PlatformName();

private:
    int Start();
    void StartLog();
    // A setting from the command line ("-key value", removed from it), else
    // the platform section, else "default"; a key present but empty in a
    // section gives one blank. Properties are substituted.
    std::string Setting(const std::string& key);
    // Key + 1, + 2, ... joined, each followed by a blank, up to the first empty one.
    std::string NumberedSetting(const std::string& key);
    std::string Substitute(const std::string& text) const;
    std::string IniOnly(const std::string& key) const;
    void LoadProperties();
    void EnterStartFolder();
    // CONFLICT when a program named in "norunwith" runs (and takes the own
    // lock otherwise).
    int CheckConflicts();
    Argv ChildArguments();
    void ScheduleCleanup();
    void ShowMessage(int code, const std::string& detail);
    // A notice on standard error and, as a warning, in the log.
    void Warn(const std::string& tag, const std::string& text);

    Kind mKind;
    std::string mHome;
    std::string mApplication;
    LaunchArgs mArgs;
    std::unique_ptr<IniFile> mIni;
    std::string mPlatform;
    Properties mProperties;
    std::string mCleanupDir;
    NamedLock mOwnLock;
};

} // namespace launch
