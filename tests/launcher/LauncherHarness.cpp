#include "LauncherHarness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace launchtest {

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

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool WaitUntil(const std::function<bool()>& done, double seconds)
{
    for (int i = 0; i < int(seconds * 20); ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

void WriteScript(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_all);
}

int Shell(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

namespace {
std::string Program(const char* variable, const char* built)
{
    const char* other = std::getenv(variable);
    return other && *other ? other : built;
}
} // namespace

void LauncherRun::SetUp()
{
    mDir = fs::temp_directory_path() / ("lumo_launcher_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(mDir);
    fs::create_directories(mDir / "app");
    fs::create_directories(mDir / "data");
    fs::copy_file(Program("LUMO_LAUNCHER_BIN", LAUNCHER_BIN), mDir / "app" / "setup_console");
    fs::copy_file(Program("LUMO_GUISTARTER_BIN", GUISTARTER_BIN), mDir / "app" / "setup");
    // FAKE_LINES: lines of output; FAKE_WAIT_FOR: a file to wait for (up to
    // 10 s), the outcome recorded in $RECORD.wait.
    WriteScript(mDir / "app" / "fakejava",
                "#!/bin/sh\n"
                "pwd > \"$RECORD\"\n"
                "for a in \"$@\"; do echo \"arg:$a\" >> \"$RECORD\"; done\n"
                "echo \"env:$LUMO_MARK\" >> \"$RECORD\"\n"
                "echo 'hello from java'\n"
                "echo 'trouble' >&2\n"
                "i=0\n"
                "while [ $i -lt \"${FAKE_LINES:-0}\" ]; do echo \"line $i\"; i=$((i+1)); done\n"
                "if [ -n \"$FAKE_WAIT_FOR\" ]; then\n"
                "  i=0; while [ ! -e \"$FAKE_WAIT_FOR\" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
                "  if [ -e \"$FAKE_WAIT_FOR\" ]; then echo released; else echo gave up; fi > \"$RECORD.wait\"\n"
                "fi\n"
                "[ -n \"$FAKE_SLEEP\" ] && sleep \"$FAKE_SLEEP\"\n"
                "exit ${FAKE_EXIT:-0}\n");
    mLockDir = mDir / "locks";
    setenv("XDG_RUNTIME_DIR", mLockDir.c_str(), 1);
    setenv("XDG_DATA_HOME", (mDir / "data").c_str(), 1);
}

void LauncherRun::TearDown() { fs::remove_all(mDir); }

void LauncherRun::WriteIni(const std::string& text, const std::string& name)
{
    std::ofstream(mDir / "app" / name) << text;
}

std::string LauncherRun::Command(const std::string& program, const std::string& args, const std::string& env) const
{
    return "cd " + Quote(mDir.string()) + " && RECORD=" + Quote(Record().string()) + " LUMO_MARK=marked " + env + " " +
           Quote((mDir / "app" / program).string()) + " " + args;
}

int LauncherRun::Run(const std::string& program, const std::string& args, const std::string& env)
{
    return Shell(Command(program, args, env) + " > " + Quote(Out().string()) + " 2> " + Quote(Err().string()));
}

std::vector<std::string> LauncherRun::RecordedArgs() const
{
    std::vector<std::string> args;
    for (const std::string& l : Lines(Read(Record())))
        if (l.rfind("arg:", 0) == 0)
            args.push_back(l.substr(4));
    return args;
}

std::string LauncherRun::FirstRecordedArg() const
{
    std::vector<std::string> args = RecordedArgs();
    return args.empty() ? std::string() : args.front();
}

std::string LauncherRun::RecordedDir() const
{
    auto lines = Lines(Read(Record()));
    return lines.empty() ? std::string() : lines[0];
}

} // namespace launchtest
