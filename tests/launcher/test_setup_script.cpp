// The set-up script as a new user meets it, and the checkout it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

int Shell(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Read(const fs::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Script(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_all);
}

TEST(SetupScript, WithoutSudoANonRootUserIsToldWhatToDo)
{
    // A PATH with the tools the script needs, no sudo, an "id" that says
    // "not root" and a package query that finds nothing installed.
    fs::path dir = fs::temp_directory_path() / ("lumo_setup_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "bin");
    for (const char* tool : {"bash", "dirname", "grep", "cat"}) {
        std::string found = "/usr/bin/" + std::string(tool);
        if (!fs::exists(found))
            found = "/bin/" + std::string(tool);
        fs::create_symlink(found, dir / "bin" / tool);
    }
    Script(dir / "bin" / "id", "#!/bin/bash\necho 1000\n");
    Script(dir / "bin" / "dpkg-query", "#!/bin/bash\nexit 1\n");
    Script(dir / "bin" / "apt-get", "#!/bin/bash\necho apt-get ran >> \"$(dirname \"$0\")/../apt.txt\"\n");
    Script(dir / "bin" / "cmake", "#!/bin/bash\necho cmake ran >> \"$(dirname \"$0\")/../cmake.txt\"\n");
    int rc = Shell("cd '" + dir.string() + "' && PATH='" + (dir / "bin").string() +
                   "' bash '" LUMO_PROJECT_DIR "/setup.sh' > out.txt 2> err.txt");
    std::string err = Read(dir / "err.txt");
    EXPECT_EQ(rc, 1) << err;
    EXPECT_NE(err.find("setup.sh: sudo is not installed"), std::string::npos) << err;
    EXPECT_NE(err.find("run setup.sh as root"), std::string::npos) << err;
    EXPECT_EQ(err.find("command not found"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "apt.txt"));
    EXPECT_FALSE(fs::exists(dir / "cmake.txt"));
    fs::remove_all(dir);
}

TEST(SetupScript, TheMainJobsOutputIsNotAnUntrackedFile)
{
    if (Shell("git -C '" LUMO_PROJECT_DIR "' rev-parse --is-inside-work-tree > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "not a git checkout";
    EXPECT_EQ(Shell("git -C '" LUMO_PROJECT_DIR "' check-ignore -q chart.png"), 0);
    EXPECT_NE(Shell("git -C '" LUMO_PROJECT_DIR "' check-ignore -q examples/data/chart.x3d"), 0);
}

} // namespace
