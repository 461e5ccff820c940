// Line sets and point sets as they draw: colours per polyline, per vertex
// and from the material, stipple styles, sizes, and bad input skipped.
#include "scene/model/Box3f.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lumo::test;

namespace {

const Pixel kBlack{0, 0, 0};

// A horizontal line across the view at y = 0 (pixel row 50), x -1.6 .. 1.6.
CVIndexedLineSet* Line(std::initializer_list<int> indices = {0, 1})
{
    auto* l = new CVIndexedLineSet;
    l->coord.SetValue(Coords({{-1.6f, 0, 0}, {1.6f, 0, 0}, {-1.6f, 1, 0}, {1.6f, 1, 0}}));
    SetInts(l->coordIndex, indices);
    l->lineWidth.SetValue(3.0f);
    return l;
}

void Draw(SceneRender& r, CVChild* shape)
{
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(shape);
    ASSERT_EQ(r.Render(scene.camera), 1);
}

// Pixels of row y, from x = 15 to 85, whose channel c is above 100.
int LitAlongRow(const SceneRender& r, int y, int c)
{
    int n = 0;
    for (int x = 15; x <= 85; ++x)
        n += r.At(x, y)[size_t(c)] > 100 ? 1 : 0;
    return n;
}

TEST(LineSetStyles, StipplePatternsOfTheStyleTable)
{
    int factor = 0;
    unsigned short pattern = 0;
    EXPECT_FALSE(CVIndexedLineSet::StipplePattern(1, factor, pattern));
    ASSERT_TRUE(CVIndexedLineSet::StipplePattern(2, factor, pattern));
    EXPECT_EQ(factor, 1);
    EXPECT_EQ(pattern, 0xCCCC);
    ASSERT_TRUE(CVIndexedLineSet::StipplePattern(5, factor, pattern));
    EXPECT_EQ(factor, 2);
    EXPECT_EQ(pattern, 0xFEFE);
    ASSERT_TRUE(CVIndexedLineSet::StipplePattern(24, factor, pattern));
    EXPECT_EQ(factor, 4);
    EXPECT_EQ(pattern, 0xFFFE);
    ASSERT_TRUE(CVIndexedLineSet::StipplePattern(46, factor, pattern));
    EXPECT_EQ(factor, 1);
    EXPECT_EQ(pattern, 0xAB56);
    EXPECT_FALSE(CVIndexedLineSet::StipplePattern(47, factor, pattern));
    EXPECT_FALSE(CVIndexedLineSet::StipplePattern(-3, factor, pattern));
}

TEST(LineSetStyles, AStippledLineHasGapsASolidOneNone)
{
    SceneRender solid;
    Draw(solid, ShapeOf(Line(), {0, 0, 0}, {1, 0, 0}));
    const int full = LitAlongRow(solid, 50, 0);
    EXPECT_GE(full, 65);
    SceneRender dashed;
    auto* l = Line();
    l->lineStyle.SetValue(2); // two pixels on, two off
    Draw(dashed, ShapeOf(l, {0, 0, 0}, {1, 0, 0}));
    const int lit = LitAlongRow(dashed, 50, 0);
    EXPECT_GT(lit, full / 4);
    EXPECT_LT(lit, full * 3 / 4);
}

TEST(LineSetColours, LinesTakeTheEmissiveColourWithoutAColourNode)
{
    SceneRender r;
    Draw(r, ShapeOf(Line(), {1, 0, 0}, {0, 1, 0}));
    EXPECT_GT(r.At(50, 50)[1], 150);
    EXPECT_LT(r.At(50, 50)[0], 60);
}

TEST(LineSetColours, TwoIndicesDrawOneSegmentColouredAtItsEnds)
{
    SceneRender r;
    auto* l = Line();
    l->color.SetValue(Colours({{1, 0, 0, 1}, {0, 0, 1, 1}}));
    Draw(r, ShapeOf(l));
    Pixel left = r.At(16, 50), right = r.At(84, 50);
    EXPECT_GT(left[0], left[2]);
    EXPECT_GT(right[2], right[0]);
    // Per polyline: one colour for the segment.
    SceneRender one;
    auto* m = Line();
    m->color.SetValue(Colours({{0, 0, 1, 1}, {1, 0, 0, 1}}));
    m->colorPerVertex.SetValue(0);
    Draw(one, ShapeOf(m));
    EXPECT_GT(one.At(16, 50)[2], 150);
    EXPECT_GT(one.At(84, 50)[2], 150);
    EXPECT_LT(one.At(84, 50)[0], 60);
}

TEST(LineSetFaults, BadIndicesAndAShortColourListAreSkipped)
{
    // Polyline 0 runs through an index past the points and a negative one;
    // polyline 1 has one usable point; polyline 2 (no colour of its own)
    // keeps the colour of polyline 0.
    SceneRender r;
    auto* l = Line({0, 99, -4, 50000000, 1, -1, 2, 4, -1, 2, 3});
    l->color.SetValue(Colours({{1, 0, 0, 1}}));
    l->colorPerVertex.SetValue(0);
    Draw(r, ShapeOf(l));
    EXPECT_GE(LitAlongRow(r, 50, 0), 65);
    EXPECT_GE(LitAlongRow(r, 25, 0), 65);
    // Per vertex, with colour indices past the list and a list too short.
    SceneRender v;
    auto* m = Line({0, 1, -1, 2, 3});
    m->color.SetValue(Colours({{0, 1, 0, 1}}));
    SetInts(m->colorIndex, {0, 7, -1});
    Draw(v, ShapeOf(m));
    EXPECT_GE(LitAlongRow(v, 50, 1), 65);
    EXPECT_GE(LitAlongRow(v, 25, 1), 65);
    // Widths that are no positive number draw as width 1.
    for (float w : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()}) {
        SceneRender thin;
        auto* n = Line();
        n->lineWidth.SetValue(w);
        Draw(thin, ShapeOf(n, {0, 0, 0}, {1, 0, 0}));
        EXPECT_GE(LitAlongRow(thin, 50, 0), 60) << w;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << w;
    }
}

TEST(LineSetFaults, RoundJointsFollowTheLineColours)
{
    SceneRender r;
    auto* l = Line({0, 1, -1, 2, 3});
    l->showPoints.SetValue(1);
    l->color.SetValue(Colours({{1, 0, 0, 1}, {0, 0, 1, 1}}));
    l->colorPerVertex.SetValue(0);
    Draw(r, ShapeOf(l));
    EXPECT_GT(r.At(16, 50)[0], 150);
    EXPECT_GT(r.At(16, 25)[2], 150);
}

TEST(PointSets, WithoutCoordinatesOnePointAtTheOrigin)
{
    SceneRender r;
    auto* p = new CVPointSet;
    Kept keep(p);
    p->pointSize.SetValue(5.0f);
    Draw(r, ShapeOf(p, {0, 0, 0}, {1, 1, 0}));
    EXPECT_EQ(r.At(50, 50), (Pixel{255, 255, 0}));
    EXPECT_EQ(r.At(40, 50), kBlack);
    CVBox3f box;
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.GetCenter(), CVVector(0, 0, 0));
    EXPECT_EQ(box.GetSize(), CVVector(0, 0, 0));
}

TEST(PointSets, AnEmptyCoordinateNodeDrawsNothing)
{
    SceneRender r;
    auto* p = new CVPointSet;
    Kept keep(p);
    p->coord.SetValue(new CVCoordinate);
    p->pointSize.SetValue(5.0f);
    Draw(r, ShapeOf(p, {0, 0, 0}, {1, 1, 0}));
    EXPECT_EQ(r.Count({255, 255, 0}, 40), 0);
    CVBox3f box;
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_TRUE(box.IsEmpty());
}

TEST(PointSets, AShortColourListLeavesTheRestInTheLastColour)
{
    SceneRender r;
    auto* p = new CVPointSet;
    p->coord.SetValue(Coords({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}));
    p->color.SetValue(Colours({{1, 0, 0, 1}, {0, 0, 1, 1}}));
    p->pointSize.SetValue(5.0f);
    Draw(r, ShapeOf(p, {0, 0, 0}, {0, 1, 0}));
    EXPECT_EQ(r.At(25, 50), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(50, 50), (Pixel{0, 0, 255}));
    EXPECT_EQ(r.At(75, 50), (Pixel{0, 0, 255}));
}

TEST(PointSets, PointsThatAreNoNumbersAreLeftOut)
{
    SceneRender r;
    auto* p = new CVPointSet;
    Kept keep(p);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    p->coord.SetValue(Coords({{-1, 0, 0}, {nan, 0, 0}, {1, 0, 0}, {0, INFINITY, 0}}));
    p->color.SetValue(Colours({{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}}));
    p->pointSize.SetValue(5.0f);
    Draw(r, ShapeOf(p));
    EXPECT_EQ(r.At(25, 50), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(75, 50), (Pixel{0, 0, 255}));
    CVBox3f box;
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize(), CVVector(2, 0, 0));
}

TEST(PointSets, LargerPointsCoverMorePixels)
{
    int covered[2];
    for (int i = 0; i < 2; ++i) {
        SceneRender r;
        auto* p = new CVPointSet;
        p->coord.SetValue(Coords({{0, 0, 0}}));
        p->pointSize.SetValue(i ? 9.0f : 3.0f);
        Draw(r, ShapeOf(p, {0, 0, 0}, {1, 1, 1}));
        covered[i] = r.Count({255, 255, 255}, 40);
    }
    EXPECT_GT(covered[1], covered[0] * 4);
}

} // namespace
