// Runs the real launcher programs, copied into a folder of their own, against
// a fake "java" that records its arguments, working folder and environment.
// LUMO_LAUNCHER_BIN and LUMO_GUISTARTER_BIN run the suite against other
// builds of the programs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace launchtest {

namespace fs = std::filesystem;

std::string Read(const fs::path& p);
std::vector<std::string> Lines(const std::string& text);
bool Contains(const std::string& text, const std::string& part);
// Polls until 'done' holds or about 'seconds' have passed.
bool WaitUntil(const std::function<bool()>& done, double seconds);
// A program (shell script) written and made executable.
void WriteScript(const fs::path& path, const std::string& text);
// The exit status of a shell command; -1 when it did not exit.
int Shell(const std::string& command);
// Quotes a text for the shell.
std::string Quote(const std::string& text);

class LauncherRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteIni(const std::string& text, const std::string& name = "setup.ini");
    fs::path Record() const { return mDir / "record.txt"; }
    fs::path Log() const { return mDir / "run.log"; }
    fs::path Out() const { return mDir / "out.txt"; }
    fs::path Err() const { return mDir / "err.txt"; }
    std::string Java() const { return (mDir / "app" / "fakejava").string(); }
    std::string LogOption() const { return "-applogloc " + Quote(Log().string()); }

    // The shell command that runs a program of the app folder from the test
    // folder, without redirections.
    std::string Command(const std::string& program, const std::string& args, const std::string& env = "") const;
    // Runs it; the exit status, with standard output and error kept.
    int Run(const std::string& program, const std::string& args, const std::string& env = "");

    std::vector<std::string> RecordedArgs() const;
    std::string RecordedDir() const;
    // The first recorded argument; empty when the child did not run.
    std::string FirstRecordedArg() const;

    fs::path mDir, mLockDir;
};

} // namespace launchtest
