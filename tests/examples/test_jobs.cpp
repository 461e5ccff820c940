#include "examples/render/Jobs.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using x3drender::Job;

bool Read(const std::string& text, std::vector<Job>& jobs, std::string& error)
{
    std::istringstream in(text);
    return x3drender::ReadJobList(in, jobs, error);
}

TEST(JobList, LinesGiveInputOutputAndAnOptionalSize)
{
    std::vector<Job> jobs;
    std::string error;
    ASSERT_TRUE(Read("a.x3d a.png\n# comment\n\n  \"b c.x3d\"\t\"b c.png\" 320x200\r\n", jobs, error)) << error;
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].input, "a.x3d");
    EXPECT_EQ(jobs[0].width, 0);
    EXPECT_EQ(jobs[1].input, "b c.x3d");
    EXPECT_EQ(jobs[1].output, "b c.png");
    EXPECT_EQ(jobs[1].width, 320);
    EXPECT_EQ(jobs[1].height, 200);
    EXPECT_EQ(jobs[1].line, 4);
}

TEST(JobList, BadLinesSayWhichAndWhy)
{
    std::vector<Job> jobs;
    std::string error;
    EXPECT_FALSE(Read("a.x3d\n", jobs, error));
    EXPECT_EQ(error, "line 1: expected INPUT OUTPUT [WIDTHxHEIGHT]");
    EXPECT_FALSE(Read("a b c d\n", jobs, error));
    EXPECT_FALSE(Read("ok.x3d ok.png\n\"open.x3d out.png\n", jobs, error));
    EXPECT_EQ(error, "line 2: a quote is not closed");
    EXPECT_FALSE(Read("a b 0x10\n", jobs, error));
    EXPECT_FALSE(Read("a b 16385x10\n", jobs, error));
    EXPECT_FALSE(Read("a b 10x10x\n", jobs, error));
    jobs.clear();
    EXPECT_TRUE(Read("a b 16384x1\n", jobs, error));
}

TEST(JobList, LinesAreBoundedInLength)
{
    std::vector<Job> jobs;
    std::string error;
    std::string name(64 * 1024 - 4, 'x');
    EXPECT_TRUE(Read(name + " b.p\n", jobs, error)); // exactly 64 KiB
    EXPECT_FALSE(Read(name + " bb.p\n", jobs, error));
    EXPECT_NE(error.find("longer than"), std::string::npos);
}

} // namespace
