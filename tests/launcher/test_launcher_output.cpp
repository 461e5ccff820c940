// What the child is given and what becomes of its output: arguments pass as
// a vector, output survives a closed standard output, detached runs leave
// the caller's pipes alone, and paths mean the same wherever the child works.
#include "LauncherHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace launchtest;

namespace {

constexpr int kLines = 20000; // well beyond what a pipe buffers

// Every line the fake java printed reached the log, in order.
void ExpectAllLinesLogged(const std::string& log)
{
    size_t pos = 0;
    for (int i = 0; i < kLines; i += 997) {
        pos = log.find("line " + std::to_string(i) + "\n", pos);
        ASSERT_NE(pos, std::string::npos) << "line " << i;
    }
    EXPECT_TRUE(Contains(log, "line " + std::to_string(kLines - 1) + "\n"));
}

TEST_F(LauncherRun, ClosedStandardOutputLosesNothing)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    std::string env = "FAKE_EXIT=7 FAKE_LINES=" + std::to_string(kLines);
    EXPECT_EQ(Shell(Command("setup_console", LogOption(), env) + " >&- 2> " + Quote(Err().string())), 7);
    std::string log = Read(Log());
    ExpectAllLinesLogged(log);
    EXPECT_TRUE(Contains(log, "INFO: ExeProc::ExeandDisplay::GetExitCodeProcess=7\n"));
    EXPECT_TRUE(Contains(log, "INFO: Launcher::main=7\n"));
}

TEST_F(LauncherRun, EarlyClosedStandardOutputLosesNothing)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    fs::path rc = mDir / "rc.txt";
    std::string env = "FAKE_EXIT=7 FAKE_LINES=" + std::to_string(kLines);
    // The reader stops after a few bytes; the launcher must go on.
    Shell("{ " + Command("setup_console", LogOption(), env) + " 2> " + Quote(Err().string()) + "; echo $? > " +
          Quote(rc.string()) + "; } | head -c 100 > /dev/null");
    EXPECT_EQ(Read(rc), "7\n");
    std::string log = Read(Log());
    ExpectAllLinesLogged(log);
    EXPECT_TRUE(Contains(log, "INFO: ExeProc::ExeandDisplay::GetExitCodeProcess=7\n")) << log.substr(0, 2000);
    EXPECT_TRUE(Contains(log, "WARNING: ExeProc::ReadFromPipe=Standard output failed"));
}

TEST_F(LauncherRun, LoggedOutputSurvivesALauncherCrash)
{
    // The child kills the launcher once its output is in the log file (or
    // after 5 s: output held back in the launcher would be lost then).
    WriteScript(mDir / "app" / "killer", "#!/bin/sh\necho 'said before the crash'\n"
                                         "i=0; until grep -q 'said before' \"$LOGFILE\" || [ $i -ge 100 ]; do\n"
                                         "  sleep 0.05; i=$((i+1)); done\n"
                                         "kill -9 $PPID\n");
    WriteIni("[default]\nlaunchercmd=" + (mDir / "app" / "killer").string() + "\n");
    Run("setup_console", LogOption(), "LOGFILE=" + Quote(Log().string()));
    std::string log = Read(Log());
    EXPECT_TRUE(Contains(log, "said before the crash\n")) << log;
    EXPECT_FALSE(Contains(log, "Launcher::main="));
}

TEST_F(LauncherRun, DetachedRunsLeaveTheCallersPipelineAtOnce)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nAddtlArgs_1=-jar Uninstall.JAR\n");
    fs::path go = mDir / "go";
    // The child waits for a file that exists only once the pipeline around
    // the launcher has ended; a pipeline that waits for the child never ends
    // before the child gives up.
    fs::path rc = mDir / "rc.txt";
    Shell("{ " + Command("setup_console", LogOption(), "FAKE_EXIT=9 FAKE_WAIT_FOR=" + Quote(go.string())) +
          "; echo $? > " + Quote(rc.string()) + "; } | cat > " + Quote(Out().string()));
    std::ofstream(go) << "go";
    EXPECT_EQ(Read(rc), "0\n");
    fs::path outcome = Record().string() + ".wait";
    ASSERT_TRUE(WaitUntil([&] { return !Read(outcome).empty(); }, 15));
    EXPECT_EQ(Read(outcome), "released\n");
    EXPECT_TRUE(Contains(Read(Log()), "Run as uninstall"));
    EXPECT_EQ(Read(Out()), ""); // the child's output goes nowhere
}

TEST_F(LauncherRun, ArgumentsPassAsAVector)
{
    fs::path odd = mDir / "my \"java\" 'dir'";
    fs::create_directories(odd);
    fs::copy_file(Java(), odd / "java");
    WriteIni("[default]\nlaunchercmd=" + (odd / "java").string() + "\nAddtlArgs_1=--name \"a b\"\n");
    fs::path temp = mDir / "tmp \"quoted\"";
    std::string args = "-templocation " + Quote(temp.string()) + " " + LogOption() +
                       " 'say \"hi\"' '' 'back\\slash\\' '<NOPROP>' ' padded '";
    EXPECT_EQ(Run("setup_console", args), 0) << Read(Err());
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"--name", "a b", "-applogloc", Log().string(), "say \"hi\"", "",
                                                        "back\\slash\\", "<NOPROP>", " padded "}));
    // The temporary folder with a quote in its name is removed all the same.
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(temp); }, 6)) << Read(Log());
}

TEST_F(LauncherRun, NotificationArgumentsStayWhole)
{
    fs::create_directories(mDir / "bin");
    fs::path notes = mDir / "notify.txt";
    WriteScript(mDir / "bin" / "notify-send", "#!/bin/sh\nfor a in \"$@\"; do echo \"arg:$a\"; done > " +
                                                  Quote(notes.string() + ".part") + "\nmv " +
                                                  Quote(notes.string() + ".part") + " " + Quote(notes.string()) + "\n");
    // A missing INI file whose folder has quotes in its name.
    fs::path odd = mDir / "app" / "say \"hi\"";
    fs::create_directories(odd);
    fs::copy_file(mDir / "app" / "setup", odd / "setup");
    std::string env = "DISPLAY=:77 PATH=" + Quote((mDir / "bin").string()) + ":\"$PATH\"";
    EXPECT_EQ(Run("say \"hi\"/setup", LogOption(), env), 256 - 100);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(notes); }, 10));
    std::string message = "This file is missing: " + (odd / "setup.ini").string();
    EXPECT_EQ(Lines(Read(notes)), (std::vector<std::string>{"arg:setup: Error", "arg:" + message}));
}

TEST_F(LauncherRun, BlankLauncherArgsLeaveTheJavaKeysInUse)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nlauncherargs=\"   \"\nJavaArgs_1=-Xmx1g\nMainClass=Main\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-Xmx1g", "Main", "-applogloc", Log().string()}));
    WriteIni("[win]\nlauncherargs=\n[default]\nlauncherargs=-jar x.jar\nlaunchercmd=" + Java() + "\nMainClass=Main\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"Main", "-applogloc", Log().string()}));
}

TEST_F(LauncherRun, ProgramsStartedThroughLinksReadTheLinksIni)
{
    // One program in bin/, two links to it in app/, each with its INI file.
    fs::create_directories(mDir / "bin");
    fs::rename(mDir / "app" / "setup_console", mDir / "bin" / "launcher");
    fs::create_symlink("../bin/launcher", mDir / "app" / "tool_console");
    fs::create_symlink("../bin/launcher", mDir / "app" / "other");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nMainClass=Tool\n", "tool.ini");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nMainClass=Other\n", "other.ini");
    EXPECT_EQ(Run("tool_console", LogOption()), 0) << Read(Err());
    EXPECT_EQ(FirstRecordedArg(), "Tool");
    EXPECT_EQ(RecordedDir(), (mDir / "app").string()); // the link's folder is the home
    EXPECT_EQ(Run("other", LogOption()), 0) << Read(Err());
    EXPECT_EQ(FirstRecordedArg(), "Other");
    // Found along PATH, by the name it was called.
    std::string viaPath = "cd " + Quote(mDir.string()) + " && RECORD=" + Quote(Record().string()) +
                          " PATH=" + Quote((mDir / "app").string()) + ":\"$PATH\" tool_console " + LogOption();
    EXPECT_EQ(Shell(viaPath + " > /dev/null 2>&1"), 0);
    EXPECT_EQ(FirstRecordedArg(), "Tool");
    // A link elsewhere, with no INI file beside it, uses the one beside the program.
    fs::create_directories(mDir / "links");
    fs::create_symlink("../bin/launcher", mDir / "links" / "tool");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nMainClass=Beside.Program\n", "../bin/tool.ini");
    EXPECT_EQ(Shell("cd " + Quote(mDir.string()) + " && RECORD=" + Quote(Record().string()) + " links/tool " +
                    LogOption() + " > /dev/null 2>&1"),
              0);
    EXPECT_EQ(FirstRecordedArg(), "Beside.Program");
}

TEST_F(LauncherRun, RelativePathsMeanTheStartingFolder)
{
    fs::create_directories(mDir / "work");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nstartdir=" + (mDir / "work").string() + "\n");
    // The programs run from mDir; the child works in mDir/work.
    EXPECT_EQ(Run("setup_console", "-applogloc rel.log -templocation reltmp -datalocation reldata"), 0) << Read(Err());
    EXPECT_EQ(RecordedDir(), (mDir / "work").string());
    std::string log = Read(mDir / "rel.log");
    EXPECT_TRUE(Contains(log, "Launcher started.... \n"));
    EXPECT_TRUE(Contains(log, "INFO: Launcher::main=0\n")) << log; // one log, from start to end
    EXPECT_FALSE(fs::exists(mDir / "work" / "rel.log"));
    // The child is told the same files.
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"-applogloc", (mDir / "rel.log").string(), "-datalocation",
                                                        (mDir / "reldata").string()}));
    EXPECT_TRUE(Contains(log, "INFO: Launcher::Run::start::cleandir=" + (mDir / "reltmp").string() + "\n"));
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(mDir / "reltmp"); }, 6)) << log;
}

} // namespace
