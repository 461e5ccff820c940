// Runs the real launcher programs against a fake "java" that records its
// arguments, working directory and environment.
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
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class LauncherRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() / ("lumo_launcher_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mDir);
        fs::create_directories(mDir / "app");
        fs::create_directories(mDir / "data");
        fs::copy_file(LAUNCHER_BIN, mDir / "app" / "setup_console");
        fs::copy_file(GUISTARTER_BIN, mDir / "app" / "setup");
        std::ofstream java(mDir / "app" / "fakejava");
        java << "#!/bin/sh\n"
                "pwd > \"$RECORD\"\n"
                "for a in \"$@\"; do echo \"arg:$a\" >> \"$RECORD\"; done\n"
                "echo \"env:$LUMO_MARK\" >> \"$RECORD\"\n"
                "echo 'hello from java'\n"
                "echo 'trouble' >&2\n"
                "[ -n \"$FAKE_SLEEP\" ] && sleep \"$FAKE_SLEEP\"\n"
                "exit ${FAKE_EXIT:-0}\n";
        java.close();
        fs::permissions(mDir / "app" / "fakejava", fs::perms::owner_all);
        mLockDir = mDir / "locks";
        setenv("XDG_RUNTIME_DIR", mLockDir.c_str(), 1);
        setenv("XDG_DATA_HOME", (mDir / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(mDir); }

    void WriteIni(const std::string& text) { std::ofstream(mDir / "app" / "setup.ini") << text; }
    fs::path Record() const { return mDir / "record.txt"; }
    fs::path Log() const { return mDir / "run.log"; }

    // Runs a program of the app folder; the exit status, with stdout and stderr kept.
    int Run(const std::string& program, const std::string& args, const std::string& env = "")
    {
        std::string cmd = "cd '" + mDir.string() + "' && RECORD='" + Record().string() + "' LUMO_MARK=marked " + env +
                          " '" + (mDir / "app" / program).string() + "' " + args + " > '" +
                          (mDir / "out.txt").string() + "' 2> '" + (mDir / "err.txt").string() + "'";
        int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string LogOption() const { return "-applogloc '" + Log().string() + "'"; }
    std::vector<std::string> RecordedArgs() const
    {
        std::vector<std::string> args;
        for (const std::string& l : Lines(Read(Record())))
            if (l.rfind("arg:", 0) == 0)
                args.push_back(l.substr(4));
        return args;
    }
    std::string RecordedDir() const
    {
        auto lines = Lines(Read(Record()));
        return lines.empty() ? std::string() : lines[0];
    }
    std::string Java() const { return (mDir / "app" / "fakejava").string(); }

    fs::path mDir, mLockDir;
};

TEST_F(LauncherRun, AssemblesTheJavaCommandLine)
{
    WriteIni("[default]\nlaunchercmd=" + Java() +
             "\nJavaArgs_1=-Xmx<MEM>\nJavaArgs_3=-Dnever=1\nClasspath=<LIB>/a.jar:<LIB>/b.jar\nMainClass=com.vexo.Main\n"
             "AddtlArgs_1=--mode \"two words\"\nstartdir=\n[properties]\nMEM=512m\nLIB=/opt/lib\n");
    int rc = Run("setup_console", "-wait -console -autorun -quiet " + LogOption() + " extra -MainClass Other.Main");
    EXPECT_EQ(rc, 0) << Read(mDir / "err.txt");
    // JavaArgs_3 follows an empty JavaArgs_2 and is never read; the command
    // line overrides MainClass and its option is removed.
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-Xmx512m", "/opt/lib/a.jar:/opt/lib/b.jar", "Other.Main",
                                                        "--mode", "two words", "-quiet", "-applogloc", Log().string(),
                                                        "extra"}));
    EXPECT_NE(Read(Record()).find("env:marked"), std::string::npos); // the environment is passed on
    EXPECT_EQ(RecordedDir(), mDir.string()); // an empty startdir keeps the current folder
}

TEST_F(LauncherRun, LauncherArgsReplaceTheJavaKeys)
{
    WriteIni("[win]\nlaunchercmd=" + Java() + "\nlauncherargs=-jar tool.jar\n[default]\nJavaArgs_1=-Xmx1g\n"
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
    WriteIni("[win]\nstartdir=" + (mDir / "work").string() + "\nMainClass=\n[default]\nlaunchercmd=/nonexistent/java\n"
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
    WriteIni("[default]\nlaunchercmd=" + (mDir / "app" / "JavaW.EXE").string().substr(0, (mDir / "app").string().size()) +
             "/javaw.exe\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_EQ(Read(Record()), "java.exe\n");
    EXPECT_EQ(Run("setup", LogOption()), 0);
    EXPECT_EQ(Read(Record()), "javaw.exe\n");
}

TEST_F(LauncherRun, MissingIniFileAndMissingChild)
{
    EXPECT_EQ(Run("setup_console", LogOption()), 256 - 100);
    EXPECT_NE(Read(mDir / "err.txt").find("This file is missing: " + (mDir / "app" / "setup.ini").string()),
              std::string::npos);
    WriteIni("[default]\nlaunchercmd=/nonexistent/java\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 255); // -1
    std::string log = Read(Log());
    EXPECT_NE(log.find("ERROR: ExeProc::ExeandDisplay::cmd=\"/nonexistent/java\""), std::string::npos) << log;
}

TEST_F(LauncherRun, ConflictingProgramsStopTheRun)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nnorunwith=Other , second \nid=setup\n"
             "norunwith_display_other=Other Tool\nnorunwith_display_setup=Setup\n");
    {
        launch::NamedLock held;
        ASSERT_TRUE(held.Acquire(std::string("9075CDB8-D9F1-46dc-BCBF-F7E465A9A630") + "other"));
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
        launch::NamedLock held; // an item keeps a leading blank, loses trailing ones
        ASSERT_TRUE(held.Acquire(std::string("9075CDB8-D9F1-46dc-BCBF-F7E465A9A630") + " second"));
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
        seen = launch::NamedLock::IsHeld(std::string("9075CDB8-D9F1-46dc-BCBF-F7E465A9A630") + "setup");
    }
    first.join();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(launch::NamedLock::IsHeld(std::string("9075CDB8-D9F1-46dc-BCBF-F7E465A9A630") + "setup"));
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

TEST_F(LauncherRun, UninstallRunsDetached)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nAddtlArgs_1=-jar Uninstall.JAR\n");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run("setup_console", LogOption(), "FAKE_EXIT=9 FAKE_SLEEP=6"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000)); // not waited for
    EXPECT_NE(Read(Log()).find("Run as uninstall"), std::string::npos);
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
    std::string line = "-TempLocation \"/a b/c\" -nocleanup rest -waiting -wait";
    std::string value;
    EXPECT_TRUE(launch::TakeOption(line, "-templocation", true, true, &value));
    EXPECT_EQ(value, "/a b/c");
    EXPECT_TRUE(launch::TakeOption(line, "-wait", false, true, nullptr));
    EXPECT_EQ(line, "-nocleanup rest -waiting ");
    EXPECT_EQ(launch::FindOption("-waiting", "-wait"), std::string::npos);
    EXPECT_EQ(launch::FindOption("x-wait", "-wait"), std::string::npos);
    EXPECT_EQ(launch::SplitCommandLine("\"/my java\" -a \"b c\" say\\\"x \"\""),
              (std::vector<std::string>{"/my java", "-a", "b c", "say\"x", ""}));
}

TEST(LauncherParts, NamedLocksAreReleasedWhenTheHolderDies)
{
    setenv("XDG_RUNTIME_DIR", (fs::temp_directory_path() / ("lumo_locks_" + std::to_string(getpid()))).c_str(), 1);
    pid_t child = fork();
    if (child == 0) {
        launch::NamedLock lock;
        lock.Acquire("crash-test");
        sleep(2);
        _exit(0); // dies holding the lock
    }
    bool held = false;
    for (int i = 0; i < 150 && !held; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        held = launch::NamedLock::IsHeld("crash-test");
    }
    EXPECT_TRUE(held);
    int status;
    waitpid(child, &status, 0);
    EXPECT_FALSE(launch::NamedLock::IsHeld("crash-test"));
    fs::remove_all(launch::NamedLock::Directory());
}

} // namespace
