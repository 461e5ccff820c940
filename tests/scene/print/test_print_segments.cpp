// Print segments: a wide scene split into pages along x.
#include "scene/nodes/Group.h"
#include "scene/print/Print.h"

#include <gtest/gtest.h>

namespace {

CVBox3f Box(float minX, float maxX, float minZ = -1.0f, float maxZ = 1.0f)
{
    CVBox3f b;
    b.Set(CVVector(minX, -1.0f, minZ), CVVector(maxX, 2.0f, maxZ));
    return b;
}

void ExpectX(const CVBox3f& b, float minX, float maxX)
{
    CVVector mn, mx;
    b.ComputeMinMax(mn, mx);
    EXPECT_NEAR(mn.x, minX, 1e-5);
    EXPECT_NEAR(mx.x, maxX, 1e-5);
    EXPECT_NEAR(mn.y, -1.0f, 1e-5); // y and z come from the scene
    EXPECT_NEAR(mx.y, 2.0f, 1e-5);
}

} // namespace

TEST(PrintSegmentsTest, WidthsSplitTheSceneIntoPagesWithTheLastOneCut)
{
    CVPrint print;
    for (int i = 0; i < 3; ++i)
        print.AddPrintSegment(1.0);
    CVBox3f scene = Box(0.0f, 2.5f), out;
    int valid = -1;
    EXPECT_EQ(print.GetSegmentBbox(0, &scene, &out, 0, valid), 0);
    EXPECT_EQ(valid, 1);
    ExpectX(out, 0.0f, 1.0f);
    EXPECT_EQ(print.GetSegmentBbox(1, &scene, &out, 0, valid), 0);
    EXPECT_EQ(valid, 1);
    ExpectX(out, 1.0f, 2.0f);
    EXPECT_EQ(print.GetSegmentBbox(2, &scene, &out, 0, valid), 1);
    EXPECT_EQ(valid, 1);
    ExpectX(out, 2.0f, 2.5f);
    EXPECT_EQ(print.GetNumPages(scene, 0), 4);
    print.SetIncludeSection(0);
    EXPECT_EQ(print.GetNumPages(scene, 0), 3);
    print.SetIncludeSegments(0);
    EXPECT_EQ(print.GetNumPages(scene, 0), 0);
}

TEST(PrintSegmentsTest, SegmentsPastTheSceneAreNotValid)
{
    CVPrint print;
    for (int i = 0; i < 4; ++i)
        print.AddPrintSegment(1.0);
    CVBox3f scene = Box(-1.0f, 1.5f), out;
    int valid = -1;
    EXPECT_EQ(print.GetSegmentBbox(3, &scene, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(print.GetNumPages(scene, 0), 1 + 3);
    // Beyond the list, and before it.
    EXPECT_EQ(print.GetSegmentBbox(4, &scene, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(print.GetSegmentBbox(-1, &scene, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
}

TEST(PrintSegmentsTest, ToleranceIsATenthOfAPercentOfTheSceneWidth)
{
    CVBox3f scene = Box(0.0f, 1000.0f), out;
    int valid = 0;
    {
        // Ends 0.5 short of the scene: within the tolerance of 1, so last.
        CVPrint print;
        print.AddPrintSegment(999.5);
        print.AddPrintSegment(10.0);
        EXPECT_EQ(print.GetSegmentBbox(0, &scene, &out, 0, valid), 1);
        EXPECT_EQ(valid, 1);
        // The next one starts within the tolerance of its end: no page.
        EXPECT_EQ(print.GetSegmentBbox(1, &scene, &out, 0, valid), 1);
        EXPECT_EQ(valid, 0);
        EXPECT_EQ(print.GetNumPages(scene, 0), 2);
    }
    {
        // Ends 1.5 short: not last, and the rest is a page of its own.
        CVPrint print;
        print.AddPrintSegment(998.5);
        print.AddPrintSegment(10.0);
        EXPECT_EQ(print.GetSegmentBbox(0, &scene, &out, 0, valid), 0);
        EXPECT_EQ(print.GetSegmentBbox(1, &scene, &out, 0, valid), 1);
        EXPECT_EQ(valid, 1);
        ExpectX(out, 998.5f, 1000.0f);
        EXPECT_EQ(print.GetNumPages(scene, 0), 3);
    }
}

TEST(PrintSegmentsTest, SwapXZSplitsAlongTheDepth)
{
    CVPrint print;
    print.AddPrintSegment(3.0);
    print.AddPrintSegment(3.0);
    // 2 wide, 8 deep around x = 0: with the sizes swapped, x runs -4 to 4.
    CVBox3f scene = Box(-1.0f, 1.0f, -4.0f, 4.0f), out;
    int valid = 0;
    EXPECT_EQ(print.GetSegmentBbox(0, &scene, &out, 1, valid), 0);
    EXPECT_EQ(valid, 1);
    ExpectX(out, -4.0f, -1.0f);
    EXPECT_EQ(print.GetNumPages(scene, 1), 1 + 2);
    EXPECT_EQ(print.GetNumPages(scene, 0), 1 + 1);
}

TEST(PrintSegmentsTest, WithoutSegmentsTheWholeSceneIsOnePage)
{
    CVPrint print;
    CVBox3f scene = Box(0.0f, 5.0f), out;
    int valid = 0;
    EXPECT_EQ(print.GetSegmentBbox(0, &scene, &out, 0, valid), 1);
    EXPECT_EQ(valid, 1);
    ExpectX(out, 0.0f, 5.0f);
    EXPECT_EQ(print.GetNumPages(scene, 0), 1);
}

TEST(PrintSegmentsTest, EmptyOrMissingSceneGivesNoValidSegment)
{
    CVPrint print;
    print.AddPrintSegment(1.0);
    CVBox3f empty, out;
    int valid = 1;
    EXPECT_EQ(print.GetSegmentBbox(0, &empty, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_EQ(print.GetSegmentBbox(0, nullptr, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(print.GetNumPages(empty, 0), 1);
    // A scene of no width: the segment starts at its own end.
    CVBox3f flat = Box(2.0f, 2.0f);
    EXPECT_EQ(print.GetSegmentBbox(0, &flat, &out, 0, valid), 1);
    EXPECT_EQ(valid, 0);
}

TEST(PrintSceneTest, PrintSceneIsHeldWhileSet)
{
    CVGroup* a = new CVGroup;
    CVGroup* b = new CVGroup;
    a->Ref();
    b->Ref();
    {
        CVPrint print;
        print.SetPrintScene(a);
        EXPECT_EQ(a->GetRef(), 2);
        print.SetPrintScene(b);
        EXPECT_EQ(a->GetRef(), 1);
        EXPECT_EQ(b->GetRef(), 2);
        print.DeletePrintScene();
        EXPECT_EQ(b->GetRef(), 1);
        EXPECT_EQ(print.GetPrintScene(), nullptr);
        print.SetPrintScene(a);
    }
    EXPECT_EQ(a->GetRef(), 1); // released with the print state
    a->Unref();
    b->Unref();
}
