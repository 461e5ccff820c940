// The launch logic shared by guistarter and launcher: reads the INI file
// beside the executable and the command line, refuses to start beside a
// conflicting program, assembles the child's command line, runs it and
// returns its exit code.
#pragma once

#include "launcher/IniFile.h"
#include "launcher/LaunchArgs.h"
#include "launcher/NamedLock.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace launch {

enum Kind { WINDOWED = 100, CONSOLE = 200 };

// Result codes of a run that did not start the child.
enum Result { INI_MISSING = -100, NO_PLATFORM = -101, NO_MEMORY = -103, CONFLICT = 183 };

// The prefix of every named lock.
extern const char* const kLockPrefix;

class Launcher {
public:
    // executable: the path of the running program (its folder is the home,
    // its name without "_console" the application name).
    Launcher(const std::string& commandLine, Kind kind, const std::string& executable);

    int Run();

    const std::string& Home() const { return mHome; }
    const std::string& Application() const { return mApplication; }
    std::string IniPath() const { return mHome + "/" + mApplication + ".ini"; }

    // A setting from the command line ("-key value", removed from it), else
    // the platform section, else "default"; a key present but empty in a
    // section gives one blank. Properties are substituted.
    std::string Setting(const std::string& key);
    // Key + 1, + 2, ... joined, each followed by a blank, up to the first empty one.
    std::string NumberedSetting(const std::string& key);
    std::string Substitute(std::string text) const;
    // Loads the properties (and a master file's); false when out of memory.
    bool LoadProperties();
    // 183 when a program named in "norunwith" runs (and takes the own lock otherwise).
    int CheckConflicts();
    // Writes the clean-up script; its path, or empty.
    std::string CreateCleanScript();
    void ShowMessage(int code, const std::string& detail);

    static std::string PlatformName();
    // The path of the running executable.
    static std::string ExecutablePath();

private:
    std::string IniOnly(const std::string& key) const;

    Kind mKind;
    std::string mHome;
    std::string mApplication;
    LaunchArgs mArgs;
    std::unique_ptr<IniFile> mIni;
    std::string mPlatform;
    std::vector<std::pair<std::string, std::string>> mProperties;
    std::string mCleanupDir;
    NamedLock mOwnLock;
};

} // namespace launch
