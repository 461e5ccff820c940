// Failures a deployer must be able to see: each gets a message on standard
// error, an entry in the log and its own exit code, and nothing is started
// in the dark.
#include "LauncherHarness.h"
#include "launcher/IniFile.h"
#include "launcher/Substitution.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using namespace launchtest;

namespace {

// Exit codes as the shell sees them.
constexpr int kUnreadable = 256 - 102;
constexpr int kStartFailed = 255;
constexpr int kNoStartDir = 256 - 105;
constexpr int kOverLimit = 256 - 106;

// The message must reach both standard error and the log.
void ExpectReported(const std::string& err, const std::string& log, const std::string& message)
{
    EXPECT_TRUE(Contains(err, message)) << "standard error: " << err;
    EXPECT_TRUE(Contains(log, "INFO: MessageDisplay=" + message)) << "log: " << log;
}

TEST_F(LauncherRun, UnreadableIniIsRefusedAndNothingRuns)
{
    // The rest of the command line must not run as a program of its own.
    std::string rest = Quote(Java());
    fs::create_directories(mDir / "app" / "setup.ini"); // exists, cannot be read as a file
    EXPECT_EQ(Run("setup_console", LogOption() + " " + rest), kUnreadable);
    ExpectReported(Read(Err()), Read(Log()),
                   "This file cannot be read: " + (mDir / "app" / "setup.ini").string() + " (not a regular file)");
    EXPECT_FALSE(fs::exists(Record()));
    EXPECT_TRUE(Contains(Read(Log()), "INFO: Launcher::main=-102\n"));
    fs::remove(mDir / "app" / "setup.ini");

    if (geteuid() != 0) { // permissions do not stop root
        WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
        fs::permissions(mDir / "app" / "setup.ini", fs::perms::none);
        EXPECT_EQ(Run("setup_console", LogOption() + " " + rest), kUnreadable);
        EXPECT_TRUE(Contains(Read(Err()), "Permission denied")) << Read(Err());
        EXPECT_FALSE(fs::exists(Record()));
    }
}

TEST_F(LauncherRun, ByteOrderMarkDoesNotHideTheFirstSection)
{
    WriteIni("\xEF\xBB\xBF[default]\nlaunchercmd=" + Java() + "\nMainClass=com.vexo.Main\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0) << Read(Err());
    EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"com.vexo.Main", "-applogloc", Log().string()}));
}

TEST_F(LauncherRun, MissingOrNonExecutableJavaIsReported)
{
    WriteIni("[default]\nlaunchercmd=/nonexistent/java\n");
    EXPECT_EQ(Run("setup_console", LogOption()), kStartFailed);
    std::string log = Read(Log());
    ExpectReported(Read(Err()), log, "This program cannot be started: /nonexistent/java (No such file or directory)");
    EXPECT_TRUE(Contains(log, "ERROR: ExeProc::ExeandDisplay::cmd=/nonexistent/java")) << log;

    std::ofstream(mDir / "app" / "plainjava") << "#!/bin/sh\nexit 0\n"; // not executable
    fs::permissions(mDir / "app" / "plainjava", fs::perms::owner_read | fs::perms::owner_write);
    WriteIni("[default]\nlaunchercmd=" + (mDir / "app" / "plainjava").string() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption() + " -noconsole"), kStartFailed);
    ExpectReported(Read(Err()), Read(Log()),
                   "This program cannot be started: " + (mDir / "app" / "plainjava").string() + " (Permission denied)");
}

TEST_F(LauncherRun, MissingStartFolderIsRefused)
{
    fs::path missing = mDir / "missing";
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nstartdir=" + missing.string() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption()), kNoStartDir);
    std::string log = Read(Log());
    ExpectReported(Read(Err()), log, "The start folder cannot be used: " + missing.string());
    EXPECT_FALSE(Contains(log, "INFO: Launcher::Run::start::startdir=")) << log; // not logged as set
    EXPECT_FALSE(fs::exists(Record())); // the child never ran in the caller's folder
}

TEST_F(LauncherRun, DefaultTemporaryFolderIsLogged)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    fs::path temp = mDir / "own tmp";
    EXPECT_EQ(Run("setup_console", LogOption(), "TMP=" + Quote(temp.string())), 0);
    EXPECT_TRUE(Contains(Read(Log()), "INFO: EnvCalls::GetTemp::TMP=" + temp.string() + "\n")) << Read(Log());
    EXPECT_TRUE(fs::is_directory(temp));

    std::ofstream(mDir / "afile") << "x";
    EXPECT_EQ(Run("setup_console", LogOption(), "TMP=" + Quote((mDir / "afile").string())), 0);
    std::string warning = "EnvCalls::GetTemp::This is not a directory=" + (mDir / "afile").string();
    EXPECT_TRUE(Contains(Read(Log()), "WARNING: " + warning)) << Read(Log());
    EXPECT_TRUE(Contains(Read(Err()), (mDir / "afile").string())) << Read(Err());
}

TEST_F(LauncherRun, NestedPropertiesAreBounded)
{
    // Three levels expanding to 40 MB: unbounded, the substitution would
    // run for minutes.
    std::string c(4000, 'c'), b, a;
    for (int i = 0; i < 100; ++i) {
        b += "<C>";
        a += "<B>";
    }
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nlauncherargs=<A>\n[properties]\nA=" + a + "\nB=" + b + "\nC=" + c +
             "\n");
    EXPECT_EQ(Run("setup_console", LogOption(), "timeout 60"), kOverLimit);
    ExpectReported(Read(Err()), Read(Log()), "The settings exceed the launcher's limits: substituting property <C>");
    EXPECT_FALSE(fs::exists(Record()));
}

TEST_F(LauncherRun, PropertyCountIsBounded)
{
    auto ini = [&](size_t count) {
        std::string text = "[default]\nlaunchercmd=" + Java() + "\nMainClass=<P0>\n[properties]\n";
        for (size_t i = 0; i < count; ++i)
            text += "P" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
        WriteIni(text);
    };
    ini(launch::kMaxProperties);
    EXPECT_EQ(Run("setup_console", LogOption()), 0) << Read(Err());
    EXPECT_EQ(FirstRecordedArg(), "v0");
    ini(launch::kMaxProperties + 1);
    EXPECT_EQ(Run("setup_console", LogOption()), kOverLimit);
    EXPECT_TRUE(Contains(Read(Err()), "more than 1000 properties")) << Read(Err());
}

TEST_F(LauncherRun, MasterPropertiesMustBeARegularFile)
{
    fs::path fifo = mDir / "app" / "master.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n[properties]\nMASTERPROP=" + fifo.string() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption(), "timeout 30"), kUnreadable); // never blocks
    ExpectReported(Read(Err()), Read(Log()), "This file cannot be read: " + fifo.string() + " (not a regular file)");
    EXPECT_FALSE(fs::exists(Record()));

    // A master file named relative to the INI file's folder still works.
    fs::remove(fifo);
    std::ofstream(fifo) << "[properties]\nCLS=From.Master\n";
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nMainClass=<CLS>\n[properties]\nMASTERPROP=master.ini\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0) << Read(Err());
    EXPECT_EQ(FirstRecordedArg(), "From.Master");
}

TEST(LauncherParts, IniFilesAreReadSafely)
{
    fs::path dir = fs::temp_directory_path() / ("lumo_ini_safe_" + std::to_string(getpid()));
    fs::create_directories(dir);
    ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    IniFile fifo((dir / "fifo.ini").string()); // returns at once
    EXPECT_EQ(fifo.State(), IniFile::Status::Unreadable);
    EXPECT_EQ(fifo.Problem(), "not a regular file");
    EXPECT_EQ(IniFile(dir.string()).State(), IniFile::Status::Unreadable);
    EXPECT_EQ(IniFile((dir / "none.ini").string()).State(), IniFile::Status::Missing);

    // Size bound: the limit is read, one byte more is refused.
    std::string head = "[s]\nk=v\n";
    std::ofstream(dir / "limit.ini") << head << std::string(IniFile::kMaxFileSize - head.size(), '\n');
    IniFile atLimit((dir / "limit.ini").string());
    EXPECT_EQ(atLimit.State(), IniFile::Status::Ok);
    EXPECT_EQ(atLimit.Get("s", "k").value_or(""), "v");
    std::ofstream(dir / "limit.ini", std::ios::app) << "\n";
    EXPECT_EQ(IniFile((dir / "limit.ini").string()).State(), IniFile::Status::Unreadable);

    std::ofstream(dir / "bom.ini") << "\xEF\xBB\xBF[first]\nkey=1\n";
    EXPECT_EQ(IniFile((dir / "bom.ini").string()).Get("first", "key").value_or(""), "1");
    fs::remove_all(dir);
}

TEST(LauncherParts, SubstitutionIsBoundedInDepthAndLength)
{
    using launch::Properties;
    using launch::SubstituteProperties;
    // List order: a value may use properties listed after it, not before.
    Properties order{{"A", "<B>x"}, {"B", "b"}, {"C", "c"}};
    EXPECT_EQ(SubstituteProperties("<A>-<C>-<D>", order), "bx-c-<D>");
    EXPECT_EQ(SubstituteProperties("<B>", {{"B", "<B><B>"}}), "<B><B>"); // no self-expansion

    // A chain P0 -> P1 -> ... as deep as allowed, then one level more.
    auto chain = [](int levels) {
        Properties p;
        for (int i = 0; i < levels; ++i)
            p.push_back({"P" + std::to_string(i), i + 1 < levels ? "<P" + std::to_string(i + 1) + ">" : "end"});
        return p;
    };
    EXPECT_EQ(SubstituteProperties("<P0>", chain(launch::kMaxSubstitutionDepth)), "end");
    EXPECT_THROW(SubstituteProperties("<P0>", chain(launch::kMaxSubstitutionDepth + 1)), launch::SubstitutionLimit);
    // A token assembled from a value and the text after it is still found.
    EXPECT_EQ(SubstituteProperties("<A>>", {{"A", "<B"}, {"B", "joined"}}), "joined");

    // Length: exactly the limit passes, one more is refused.
    size_t half = launch::kMaxSubstitutedLength / 2;
    Properties big{{"H", std::string(half, 'h')}};
    EXPECT_EQ(SubstituteProperties("<H><H>", big).size(), launch::kMaxSubstitutedLength);
    EXPECT_THROW(SubstituteProperties("<H><H>!", big), launch::SubstitutionLimit);
    // Text that needs no substitution is not measured.
    std::string plain(launch::kMaxSubstitutedLength + 10, 'p');
    EXPECT_EQ(SubstituteProperties(plain, big), plain);
}

} // namespace
