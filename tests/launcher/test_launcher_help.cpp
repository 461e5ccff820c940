// --help: alone it describes the program and starts nothing; beside other
// arguments it belongs to the application like every argument the launcher
// does not read.
#include "LauncherHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace launchtest;

namespace {

TEST_F(LauncherRun, HelpAloneNeedsNoIniAndStartsNothing)
{
    EXPECT_EQ(Run("setup_console", "--help"), 0) << Read(Err());
    std::string out = Read(Out());
    EXPECT_EQ(out.rfind("usage: launcher ", 0), 0u) << out;
    EXPECT_TRUE(Contains(out, "-templocation DIR")) << out;
    EXPECT_TRUE(Read(Err()).empty()) << Read(Err());
    EXPECT_FALSE(fs::exists(Record()));

    EXPECT_EQ(Run("setup", "--help"), 0) << Read(Err());
    out = Read(Out());
    EXPECT_EQ(out.rfind("usage: guistarter ", 0), 0u) << out;
    EXPECT_TRUE(Contains(out, "-nomessage          shows no desktop notifications")) << out;
}

TEST_F(LauncherRun, HelpAloneWinsOverAConfiguredApplication)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", "--help", "FAKE_EXIT=7"), 0);
    EXPECT_FALSE(fs::exists(Record()));
}

TEST_F(LauncherRun, HelpBesideOtherArgumentsIsPassedOn)
{
    WriteIni("[default]\nlaunchercmd=" + Java() + "\n");
    EXPECT_EQ(Run("setup_console", LogOption() + " --help", "FAKE_EXIT=7"), 7) << Read(Err());
    std::vector<std::string> args = RecordedArgs();
    EXPECT_NE(std::find(args.begin(), args.end(), "--help"), args.end());
    EXPECT_FALSE(Contains(Read(Out()), "usage:"));

    // Without an INI file it is an ordinary run that finds none.
    fs::remove(mDir / "app" / "setup.ini");
    EXPECT_EQ(Run("setup_console", "--help extra"), 256 - 100);
    EXPECT_TRUE(Contains(Read(Err()), "This file is missing:")) << Read(Err());
}

} // namespace
