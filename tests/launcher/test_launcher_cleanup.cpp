// The launcher's files in other people's reach: what the clean-up may
// remove, how its script is created, and where the conflict locks live.
#include "LauncherHarness.h"
#include "launcher/CleanUp.h"
#include "launcher/NamedLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using namespace launchtest;

namespace {

constexpr int kNoLocking = 256 - 104;
constexpr uid_t kNobody = 65534;

// The clean-up script named in the log, or empty.
std::string ScriptOf(const std::string& log)
{
    const std::string tag = "INFO: Run::CreateCleanProc::cleanfile=";
    size_t pos = log.find(tag);
    return pos == std::string::npos ? std::string()
                                    : log.substr(pos + tag.size(), log.find('\n', pos) - pos - tag.size());
}

TEST_F(LauncherRun, CleanUpNeverRemovesTheHomeFolderOrAnythingAboveIt)
{
    fs::path home = mDir / "home" / "user";
    fs::create_directories(home);
    std::ofstream(home / "precious") << "keep";
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    std::string env = "HOME=" + Quote(home.string());
    for (const fs::path& folder : {home, mDir / "home", mDir}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(Run("setup_console", "-templocation " + Quote(folder.string()) + " " + LogOption(), env), 0);
        std::string log = Read(Log());
        EXPECT_TRUE(Contains(log, "WARNING: Launcher::Run::start::cleanup=not removing " + folder.string() +
                                      ": is or contains"))
            << log;
        EXPECT_TRUE(Contains(Read(Err()), "not removing " + folder.string())) << Read(Err());
        EXPECT_EQ(ScriptOf(log), "");
        fs::remove(Log());
    }
    EXPECT_TRUE(fs::exists(home / "precious"));
}

TEST_F(LauncherRun, CleanUpNeverFollowsSymbolicLinks)
{
    fs::path outside = mDir / "outside";
    fs::create_directories(outside / "inner");
    std::ofstream(outside / "file") << "keep";
    std::ofstream(outside / "inner" / "file") << "keep";
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");

    // A temporary location that is itself a link is refused.
    fs::create_directory_symlink(outside, mDir / "link");
    EXPECT_EQ(Run("setup_console", "-templocation " + Quote((mDir / "link").string()) + " " + LogOption()), 0);
    EXPECT_TRUE(Contains(Read(Log()), "not removing " + (mDir / "link").string() + ": is a symbolic link"))
        << Read(Log());

    // Links inside the temporary location go with it; what they lead to stays.
    fs::path temp = mDir / "temp";
    fs::create_directories(temp / "sub");
    fs::create_directory_symlink(outside, temp / "dirlink");
    fs::create_directory_symlink(outside / "inner", temp / "sub" / "deeper");
    fs::create_symlink(outside / "file", temp / "filelink");
    EXPECT_EQ(Run("setup_console", "-templocation " + Quote(temp.string()) + " " + LogOption()), 0);
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(fs::symlink_status(temp)); }, 6)) << Read(Log());
    EXPECT_EQ(Read(outside / "file"), "keep");
    EXPECT_EQ(Read(outside / "inner" / "file"), "keep");
    EXPECT_TRUE(fs::exists(mDir / "link"));
}

TEST_F(LauncherRun, CleanScriptNamesAreUnpredictable)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    std::string names[2];
    for (int i = 0; i < 2; ++i) {
        fs::path temp = mDir / ("temp" + std::to_string(i));
        EXPECT_EQ(Run("setup_console", "-templocation " + Quote(temp.string()) + " " + LogOption()), 0);
        std::string script = ScriptOf(Read(Log()));
        ASSERT_FALSE(script.empty()) << Read(Log());
        names[i] = fs::path(script).filename().string();
        EXPECT_EQ(fs::path(script).parent_path(), temp);
        fs::remove(Log());
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_GE(names[0].size(), std::string("clean_setup_0123456789abcdef.sh").size()) << names[0];
}

TEST_F(LauncherRun, CleanScriptIsNeverWrittenThroughAPlantedLink)
{
    // A link planted at the name a fixed random sequence would give first.
    fs::path temp = mDir / "temp";
    fs::create_directories(temp);
    fs::permissions(temp, fs::perms::owner_all);
    fs::path victim = mDir / "victim";
    fs::create_symlink(victim, temp / "clean_setup_1804289383.sh");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", "-templocation " + Quote(temp.string()) + " " + LogOption()), 0);
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(fs::symlink_status(temp)); }, 6)) << Read(Log());
    EXPECT_FALSE(fs::exists(victim));
}

TEST_F(LauncherRun, CleanScriptNeedsAFolderOnlyTheUserCanWrite)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    fs::path temp = mDir / "shared";
    fs::create_directories(temp);
    fs::permissions(temp, fs::perms::all); // 0777
    EXPECT_EQ(Run("setup_console", "-templocation " + Quote(temp.string()) + " " + LogOption()), 0);
    std::string log = Read(Log());
    EXPECT_TRUE(Contains(log, "WARNING: Launcher::Run::start::cleanup=not removing " + temp.string() +
                                  ": no clean-up script: " + temp.string() + ": other users may write to it"))
        << log;
    EXPECT_TRUE(Contains(Read(Err()), "other users may write to it"));
    EXPECT_EQ(ScriptOf(log), "");
    EXPECT_TRUE(fs::is_empty(temp));

    if (geteuid() == 0) { // only root can hand a folder to another user
        fs::permissions(temp, fs::perms::owner_all);
        ASSERT_EQ(chown(temp.c_str(), kNobody, kNobody), 0);
        EXPECT_EQ(Run("setup_console", "-templocation " + Quote(temp.string()) + " " + LogOption()), 0);
        EXPECT_TRUE(Contains(Read(Log()), temp.string() + ": belongs to another user")) << Read(Log());
        EXPECT_TRUE(fs::is_empty(temp));
    }
}

TEST(LauncherParts, CleanUpRefusesSystemFolders)
{
    std::string resolved;
    EXPECT_EQ(launch::CleanupRefusal("/", "/nonexistent", &resolved), "is the root folder");
    for (const char* top : {"/tmp", "/usr", "/etc", "/var"}) {
        if (fs::is_directory(top) && !fs::is_symlink(top)) {
            EXPECT_EQ(launch::CleanupRefusal(top, "/nonexistent", &resolved), "is a top-level folder of the system")
                << top;
        }
    }
    EXPECT_EQ(launch::CleanupRefusal("/nonexistent/folder", "/nonexistent", &resolved), "No such file or directory");
    EXPECT_EQ(resolved, "");

    // The launcher's own home and what lies above it stay; a folder beside
    // it may go.
    fs::path base = fs::temp_directory_path() / ("lumo_refusal_" + std::to_string(getpid()));
    fs::create_directories(base / "app");
    fs::create_directories(base / "temp");
    EXPECT_EQ(launch::CleanupRefusal((base / "app").string(), (base / "app").string(), &resolved),
              "is or contains " + fs::canonical(base / "app").string());
    EXPECT_NE(launch::CleanupRefusal(base.string(), (base / "app").string(), &resolved), "");
    EXPECT_EQ(launch::CleanupRefusal((base / "temp").string(), (base / "app").string(), &resolved), "");
    EXPECT_EQ(resolved, fs::canonical(base / "temp").string());
    fs::remove_all(base);
}

TEST_F(LauncherRun, UnusableLockFolderStopsTheStart)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nnorunwith=other\nid=setup\n");
    fs::path folder = mLockDir / "vexoworks-locks";
    fs::create_directories(mLockDir);
    std::ofstream(folder) << "not a folder";
    EXPECT_EQ(Run("setup_console", LogOption()), kNoLocking);
    std::string message = "The check for conflicting programs cannot be made: " + folder.string() + ": is not a folder";
    EXPECT_TRUE(Contains(Read(Err()), message)) << Read(Err());
    EXPECT_TRUE(Contains(Read(Log()), "INFO: MessageDisplay=" + message)) << Read(Log());
    EXPECT_FALSE(fs::exists(Record()));

    fs::remove(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(Run("setup_console", LogOption()), kNoLocking);
    EXPECT_TRUE(Contains(Read(Err()), folder.string() + ": is open to other users (mode 0750, must be 0700)"))
        << Read(Err());
    EXPECT_FALSE(fs::exists(Record()));

    fs::remove(folder);
    fs::create_directories(mDir / "elsewhere");
    fs::permissions(mDir / "elsewhere", fs::perms::owner_all);
    fs::create_directory_symlink(mDir / "elsewhere", folder);
    EXPECT_EQ(Run("setup_console", LogOption()), kNoLocking);
    EXPECT_TRUE(Contains(Read(Err()), folder.string() + ": is a symbolic link")) << Read(Err());

    if (geteuid() == 0) {
        fs::remove(folder);
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all);
        ASSERT_EQ(chown(folder.c_str(), kNobody, kNobody), 0);
        EXPECT_EQ(Run("setup_console", LogOption()), kNoLocking);
        EXPECT_TRUE(Contains(Read(Err()), folder.string() + ": belongs to another user")) << Read(Err());
    }
    EXPECT_FALSE(fs::exists(Record()));

    // Without "norunwith" and "id" no lock is needed, and none is checked.
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption()), 0);
}

TEST_F(LauncherRun, WithoutARuntimeFolderLocksStayInTheUsersOwnFolder)
{
    fs::path home = mDir / "home";
    fs::create_directories(home);
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("XDG_CACHE_HOME");
    WriteIni("[default]\nlaunchercmd=" + Java() + "\nid=setup\n");
    EXPECT_EQ(Run("setup_console", LogOption(), "HOME=" + Quote(home.string())), 0) << Read(Err());
    fs::path folder = home / ".cache" / "vexoworks-locks";
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0) << Read(Err());
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_TRUE(fs::exists(folder / "9075CDB8-D9F1-46dc-BCBF-F7E465A9A630setup"));
}

} // namespace
