// Runs the real launcher programs against a fake "java" that records its
// arguments, working directory and environment.
#include "LauncherHarness.h"
#include "launcher/IniFile.h"
#include "launcher/LaunchArgs.h"
#include "launcher/NamedLock.h"
#include "launcher/Process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace launchtest;

namespace {

using launch::NamedLock;
const std::string kPrefix = "9075CDB8-D9F1-46dc-BCBF-F7E465A9A630";

TEST_F(LauncherRun, AssemblesTheJavaCommandLine)
{
    WriteIni(
        "[default]\nlaunchercmd=" + Java() +
        "\nJavaArgs_1=-Xmx<MEM>\nJavaArgs_3=-Dnever=1\nClasspath=<LIB>/a.jar:<LIB>/b.jar\nMainClass=com.vexo.Main\n"
        "AddtlArgs_1=--mode \"two words\"\nstartdir=\n[properties]\nMEM=512m\nLIB=/opt/lib\n");
    int rc = Run("setup_console", "-wait -console -autorun -quiet " + LogOption() + " extra -MainClass Other.Main");
    EXPECT_EQ(rc, 0) << Read(mDir / "err.txt");
    // JavaArgs_3 follows an empty JavaArgs_2 and is never read; the command
    // line overrides MainClass and its option is removed.
    EXPECT_EQ(RecordedArgs(),
              (std::vector<std::string>{"-Xmx512m", "/opt/lib/a.jar:/opt/lib/b.jar", "Other.Main", "--mode",
                                        "two words", "-quiet", "-applogloc", Log().string(), "extra"}));
    EXPECT_NE(Read(Record()).find("env:marked"), std::string::npos); // the environment is passed on
    EXPECT_EQ(RecordedDir(), mDir.string());                         // an empty startdir keeps the current folder
}

TEST_F(LauncherRun, LauncherArgsReplaceTheJavaKeys)
{
    WriteIni("[win]\nlaunchercmd=" + Java() +
             "\nlauncherargs=-jar tool.jar\n[default]\nJavaArgs_1=-Xmx1g\n"
             "MainClass=Never\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-jar", "tool.jar", "-applogloc", Log().string()}));
    EXPECT_EQ(RecordedDir(), (mDir / "app").string()); // no startdir: the launcher's home
}

TEST_F(LauncherRun, OutputIsCapturedAndTheExitCodePassesThrough)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption(), "FAKE_EXIT=7"), 7);
    std::string log = Read(Log());
    EXPECT_NE(log.find("hello from java\n"), std::string::npos);
    EXPECT_NE(log.find("trouble\n"), std::string::npos);
    EXPECT_NE(log.find("INFO: ExeProc::ExeandDisplay::GetExitCodeProcess=7\n"), std::string::npos) << log;
    EXPECT_NE(log.find("INFO: Launcher::main=7\n"), std::string::npos);
    EXPECT_NE(Read(mDir / "out.txt").find("hello from java"), std::string::npos); // the console echoes
    EXPECT_EQ(Run("setup", LogOption(), "FAKE_EXIT=3"), 3);
    EXPECT_EQ(Read(mDir / "out.txt"), ""); // the windowed starter logs only
    EXPECT_NE(Read(Log()).find("CGuistarterApp::ExitInstance=3"), std::string::npos);
}

TEST_F(LauncherRun, DefaultLogGoesToTheDataLocation)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", ""), 0);
    fs::path dir = mDir / "data" / "Vexo" / "Kestrova";
    int logs = 0;
    for (auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(name.rfind("setup_", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".log");
        std::string log = Read(entry.path());
        EXPECT_NE(log.find("Launcher started.... \n"), std::string::npos);
        EXPECT_NE(log.find("hello from java"), std::string::npos);
        ++logs;
    }
    EXPECT_EQ(logs, 1);
}

TEST_F(LauncherRun, NoConsoleRunsWithoutCapture)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", "-noconsole " + LogOption()), 0);
    std::string log = Read(Log());
    EXPECT_EQ(log.find("hello from java"), std::string::npos);
    EXPECT_NE(log.find("Run as without stdout"), std::string::npos);
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-applogloc", Log().string()}));
}

TEST_F(LauncherRun, SettingsComeFromTheCommandLineThenThePlatformThenDefault)
{
    fs::create_directories(mDir / "work");
    WriteIni("[win]\nstartdir=" + (mDir / "work").string() +
             "\nMainClass=\n[default]\nlaunchercmd=/nonexistent/java\n"
             "MainClass=From.Default\nClasspath=cp\n");
    EXPECT_EQ(Run("setup_console", "-launchercmd \"" + Java() + "\" " + LogOption()), 0);
    EXPECT_EQ(RecordedDir(), (mDir / "work").string());
    // An empty value in the platform section is one blank, not the default's value.
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"cp", "-applogloc", Log().string()}));
}

TEST_F(LauncherRun, ConsoleLauncherRunsJavaInsteadOfJavaw)
{
    for (const char* name : {"java.exe", "javaw.exe"}) {
        std::ofstream s(mDir / "app" / name);
        s << "#!/bin/sh\necho " << name << " > \"$RECORD\"\n";
        s.close();
        fs::permissions(mDir / "app" / name, fs::perms::owner_all);
    }
    WriteIni("[default]\nlaunchercmd=" +
             (mDir / "app" / "JavaW.EXE").string().substr(0, (mDir / "app").string().size()) + "/javaw.exe\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_EQ(Read(Record()), "java.exe\n");
    EXPECT_EQ(Run("setup", LogOption()), 0);
    EXPECT_EQ(Read(Record()), "javaw.exe\n");
}

TEST_F(LauncherRun, MissingIniFileIsReportedAndLogged)
{
    EXPECT_EQ(Run("setup_console", LogOption()), 256 - 100);
    std::string message = "This file is missing: " + (mDir / "app" / "setup.ini").string();
    EXPECT_TRUE(Contains(Read(Err()), message)) << Read(Err());
    EXPECT_TRUE(Contains(Read(Log()), "INFO: MessageDisplay=" + message + "\n")) << Read(Log());
    EXPECT_TRUE(Contains(Read(Log()), "INFO: Launcher::main=-100\n"));
}

TEST_F(LauncherRun, ConflictingProgramsStopTheRun)
{
    WriteIni("[default]\nlaunchercmd=" + Java() +
             "\nnorunwith=Other , second \nid=setup\n"
             "norunwith_display_other=Other Tool\nnorunwith_display_setup=Setup\n");
    {
        NamedLock held;
        ASSERT_EQ(held.Acquire(kPrefix + "other"), NamedLock::State::Free);
        EXPECT_EQ(Run("setup_console", LogOption()), 183);
        EXPECT_FALSE(fs::exists(Record()));
        std::string log = Read(Log());
        EXPECT_NE(log.find("WARNING: MutexObj::IsRunning=The Setup cannot be invoked while the Other Tool is running."),
                  std::string::npos)
            << log;
        EXPECT_NE(Read(mDir / "err.txt").find("cannot be invoked"), std::string::npos);
        EXPECT_EQ(Run("setup_console", "-autorun " + LogOption()), 183);
        EXPECT_EQ(Read(mDir / "err.txt"), ""); // no message with -autorun
    }
    {
        NamedLock held; // an item keeps a leading blank, loses trailing ones
        ASSERT_EQ(held.Acquire(kPrefix + " second"), NamedLock::State::Free);
        EXPECT_EQ(Run("setup_console", LogOption()), 183);
    }
    // The lock goes with its holder: the run starts now.
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_TRUE(fs::exists(Record()));
}

TEST_F(LauncherRun, OwnLockIsHeldWhileTheChildRuns)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nid=Setup \n");
    std::thread first([&] { Run("setup_console", "", "FAKE_SLEEP=2"); });
    bool seen = false;
    for (int i = 0; i < 40 && !seen; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        seen = NamedLock::Probe(kPrefix + "setup") == NamedLock::State::Held;
    }
    first.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(NamedLock::Probe(kPrefix + "setup"), NamedLock::State::Free);
}

TEST_F(LauncherRun, TemporaryLocationIsCleanedUpAfterTheRun)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    fs::path temp = mDir / "tmp dir";
    EXPECT_EQ(Run("setup_console", "-templocation \"" + temp.string() + "\" " + LogOption()), 0);
    std::string log = Read(Log());
    EXPECT_NE(log.find("INFO: Launcher::Run::start::cleanup="), std::string::npos) << log;
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-applogloc", Log().string()}));
    for (int i = 0; i < 60 && fs::exists(temp); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(temp));

    fs::path kept = mDir / "kept";
    EXPECT_EQ(Run("setup_console", "-templocation " + kept.string() + " -nocleanup " + LogOption()), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(fs::exists(kept));
}

TEST(LauncherParts, IniFilesReadLikeTheProfileFunctions)
{
    fs::path p = fs::temp_directory_path() / ("lumo_ini_" + std::to_string(getpid()) + ".ini");
    std::string longValue(4000, 'x');
    std::ofstream(p) << "; comment\n[Win]\n Key = a;b c \nquoted=\"q v\"\nempty=\nkey=second\nlong=" << longValue
                     << "\n[properties]\nB=2\nA=1\n";
    IniFile ini(p.string());
    EXPECT_EQ(ini.Get("win", "KEY").value(), "a;b c"); // no inline comments
    EXPECT_EQ(ini.Get("WIN", "quoted").value(), "q v");
    EXPECT_EQ(ini.Get("win", "empty").value(), "");
    EXPECT_FALSE(ini.Get("win", "absent").has_value());
    EXPECT_EQ(ini.Get("win", "long").value(), longValue);
    EXPECT_EQ(ini.Keys("properties"), (std::vector<std::string>{"B", "A"}));
    fs::remove(p);
    EXPECT_FALSE(IniFile("/nonexistent.ini").Exists());
}

TEST(LauncherParts, OptionsAndCommandLines)
{
    launch::Argv args{"-TempLocation", " /a \"b\"/c ", "-nocleanup", "rest", "-waiting", "x -wait", "-wait"};
    std::string value;
    EXPECT_TRUE(launch::TakeOption(args, "-templocation", true, true, &value));
    EXPECT_EQ(value, "/a \"b\"/c"); // blanks trimmed, quotes kept
    EXPECT_TRUE(launch::TakeOption(args, "-wait", false, true, nullptr));
    EXPECT_EQ(args, (launch::Argv{"-nocleanup", "rest", "-waiting", "x -wait"}));
    EXPECT_FALSE(launch::TakeOption(args, "-wait", false, true, nullptr)); // only whole arguments
    EXPECT_TRUE(launch::TakeOption(args, "-waiting", true, false, &value));
    EXPECT_EQ(value, "x -wait");
    EXPECT_EQ(args.size(), 4u); // kept
    launch::Argv last{"-applogloc"};
    EXPECT_TRUE(launch::TakeOption(last, "-applogloc", true, true, &value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(last.empty());

    EXPECT_EQ(launch::SplitCommandLine("\"/my java\" -a \"b c\" say\\\"x \"\""),
              (launch::Argv{"/my java", "-a", "b c", "say\"x", ""}));
    launch::Argv odd{"plain", "two words", "", "say\"x", "tab\there"};
    EXPECT_EQ(launch::SplitCommandLine(launch::JoinCommandLine(odd)), odd);
}

TEST(LauncherParts, NamedLocksAreReleasedWhenTheHolderDies)
{
    setenv("XDG_RUNTIME_DIR", (fs::temp_directory_path() / ("lumo_locks_" + std::to_string(getpid()))).c_str(), 1);
    pid_t child = fork();
    if (child == 0) {
        NamedLock lock;
        lock.Acquire("crash-test");
        sleep(2);
        _exit(0); // dies holding the lock
    }
    bool held = false;
    for (int i = 0; i < 150 && !held; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        held = NamedLock::Probe("crash-test") == NamedLock::State::Held;
    }
    EXPECT_TRUE(held);
    int status;
    waitpid(child, &status, 0);
    EXPECT_EQ(NamedLock::Probe("crash-test"), NamedLock::State::Free);
    fs::remove_all(fs::path(NamedLock::Directory()).parent_path());
}

} // namespace
