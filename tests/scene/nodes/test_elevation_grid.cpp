// Elevation grids as they draw, seen from above: colour bands cut at the
// levels, saddle cells without cracks, contour lines, per-vertex and
// per-cell colours, missing heights, walls; selection names and image-map
// colours per cell; bad dimensions and heights refused and reported; the
// display list and what rebuilds it; the cap on cutting cells.
#include "scene/actions/RenderImageMapAction.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/GridSurface.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

using namespace lumo::test;

namespace {

const Pixel kBlack{0, 0, 0};
const RGBAColorStruct kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1}, kBlue{0, 0, 1, 1};

CVElevationGrid* Grid(int xD, int zD, const std::vector<float>& heights, float spacing = 1.0f)
{
    auto* g = new CVElevationGrid;
    g->xDimension.SetValue(xD);
    g->zDimension.SetValue(zD);
    g->xSpacing.SetValue(spacing);
    g->zSpacing.SetValue(spacing);
    for (float h : heights)
        g->height.Add(h);
    return g;
}

CVColorInterpolator* LevelsOf(std::initializer_list<float> keys, std::initializer_list<RGBAColorStruct> colours)
{
    auto* c = new CVColorInterpolator;
    for (float k : keys)
        c->key.Add(k);
    for (const RGBAColorStruct& k : colours)
        c->keyValue.Add(k);
    return c;
}

// The shape seen from above: grid point (cx, cz) at the centre of the view,
// x to the right, z down, heights towards the camera.
CVTransform* TopDown(CVGeometry* g, float cx, float cz)
{
    auto* t = new CVTransform;
    t->rotation.SetValue(1, 0, 0, float(M_PI / 2));
    t->translation.SetValue(-cx, cz, -5.0f);
    t->children.Add(ShapeOf(g));
    return t;
}

// Renders the grid from above in a view 'view' units high on 100 pixels.
void DrawFromAbove(SceneRender& r, CVElevationGrid* g, float cx, float cz, float view)
{
    HeldCamera scene(OrthoCamera(view));
    scene.Add(TopDown(g, cx, cz));
    ASSERT_EQ(r.Render(scene.camera), 1);
}

TEST(GridBandsDrawn, ARampWithTwoBandsChangesColourAtTheLevel)
{
    // Heights rise with x from 0 to 4; levels 1.5 and 4: red below 1.5,
    // green from there up. 20 pixels a unit, x = 2 at pixel 50.
    std::vector<float> h;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 5; ++i)
            h.push_back(float(i));
    CVElevationGrid* g = Grid(5, 3, h);
    g->SetColorLevels(LevelsOf({1.5f, 4.0f}, {kRed, kGreen}));
    g->contourBands.SetValue(1);
    SceneRender r;
    DrawFromAbove(r, g, 2.0f, 1.0f, 5.0f);
    // x = 1.5 is pixel 40; the cut lies inside the cell from x 1 to 2.
    for (int y : {35, 50, 65}) {
        EXPECT_EQ(r.At(38, y), (Pixel{255, 0, 0})) << y;
        EXPECT_EQ(r.At(42, y), (Pixel{0, 255, 0})) << y;
        EXPECT_EQ(r.At(15, y), (Pixel{255, 0, 0})) << y;
        EXPECT_EQ(r.At(85, y), (Pixel{0, 255, 0})) << y;
    }
    int cut = -1;
    for (int x = 30; x < 50; ++x)
        if (r.At(x, 50)[1] > 128 && cut < 0)
            cut = x;
    EXPECT_EQ(cut, 40);
}

// A pseudo-random height field (the same every run).
std::vector<float> Bumpy(int xD, int zD)
{
    std::vector<float> h;
    unsigned state = 12345;
    for (int k = 0; k < xD * zD; ++k) {
        state = state * 1103515245u + 12345u;
        h.push_back(float((state >> 8) & 1023) / 1023.0f * 3.0f);
    }
    return h;
}

TEST(GridBandsDrawn, SaddleCellsAndManyLevelsLeaveNoCracks)
{
    // A checkerboard: every cell is a saddle. Then a bumpy field cut by
    // many levels. Seen from above, no pixel inside the grid may show the
    // background.
    auto inside = [](SceneRender& r, int from, int to) {
        int background = 0;
        for (int y = from; y <= to; ++y)
            for (int x = from; x <= to; ++x)
                background += r.At(x, y) == kBlack ? 1 : 0;
        return background;
    };
    std::vector<float> checker;
    for (int j = 0; j < 9; ++j)
        for (int i = 0; i < 9; ++i)
            checker.push_back(float((i + j) % 2) * 2.0f);
    CVElevationGrid* saddles = Grid(9, 9, checker);
    saddles->SetColorLevels(LevelsOf({0.5f, 1.0f, 1.5f, 2.5f}, {kRed, kGreen, kBlue, kRed}));
    saddles->contourBands.SetValue(1);
    SceneRender r(200, 200);
    DrawFromAbove(r, saddles, 4.0f, 4.0f, 8.0f); // 25 pixels a unit, the grid fills the view
    EXPECT_EQ(inside(r, 1, 198), 0);
    // Every band is there.
    EXPECT_GT(r.Count({255, 0, 0}, 0), 100);
    EXPECT_GT(r.Count({0, 255, 0}, 0), 100);
    EXPECT_GT(r.Count({0, 0, 255}, 0), 100);

    CVElevationGrid* bumpy = Grid(17, 17, Bumpy(17, 17));
    auto* levels = new CVColorInterpolator;
    for (int k = 1; k <= 31; ++k) {
        levels->key.Add(float(k) * 0.1f);
        levels->keyValue.Add(k % 2 ? kRed : kGreen);
    }
    bumpy->SetColorLevels(levels);
    bumpy->contourBands.SetValue(1);
    SceneRender b(200, 200);
    DrawFromAbove(b, bumpy, 8.0f, 8.0f, 16.0f);
    EXPECT_EQ(inside(b, 1, 198), 0);
}

TEST(GridBandsDrawn, ACellAboveEveryLevelIsInNoBand)
{
    // Heights 0 to 4 along x; the only level is 2: the cells above it are
    // not drawn.
    std::vector<float> h;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 5; ++i)
            h.push_back(float(i));
    CVElevationGrid* g = Grid(5, 3, h);
    g->SetColorLevels(LevelsOf({2.0f}, {kBlue}));
    g->contourBands.SetValue(1);
    SceneRender r;
    DrawFromAbove(r, g, 2.0f, 1.0f, 5.0f);
    EXPECT_EQ(r.At(30, 50), (Pixel{0, 0, 255}));
    EXPECT_EQ(r.At(70, 50), kBlack);
}

TEST(GridBandsDrawn, LevelsAddedLaterAreDrawnWithoutStaleState)
{
    std::vector<float> h;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 5; ++i)
            h.push_back(float(i));
    CVElevationGrid* g = Grid(5, 3, h);
    CVColorInterpolator* levels = LevelsOf({2.0f, 4.0f}, {kRed, kGreen});
    g->SetColorLevels(levels);
    g->contourBands.SetValue(1);
    SceneRender r;
    HeldCamera scene(OrthoCamera(5.0f));
    scene.Add(TopDown(g, 2.0f, 1.0f));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(25, 50), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(45, 50), (Pixel{255, 0, 0}));
    // The interpolator grows to four levels after the levels were set: the
    // next frame draws all four bands.
    levels->key.SetAt(0, 1.0f);
    levels->key.SetAt(1, 2.0f);
    levels->key.Add(3.0f);
    levels->key.Add(4.0f);
    levels->keyValue.SetAt(1, kBlue);
    levels->keyValue.Add(kGreen);
    levels->keyValue.Add(kRed);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(25, 50), (Pixel{255, 0, 0}));  // x 0.75
    EXPECT_EQ(r.At(45, 50), (Pixel{0, 0, 255}));  // x 1.75
    EXPECT_EQ(r.At(65, 50), (Pixel{0, 255, 0}));  // x 2.75
    EXPECT_EQ(r.At(85, 50), (Pixel{255, 0, 0}));  // x 3.75
}

TEST(GridColours, PerCellAndPerPointColoursAndTheirIndices)
{
    CVElevationGrid* g = Grid(3, 2, {0, 0, 0, 0, 0, 0});
    g->color.SetValue(Colours({kRed, kGreen}));
    g->colorPerVertex.SetValue(0);
    SceneRender r;
    DrawFromAbove(r, g, 1.0f, 0.5f, 2.0f); // 50 pixels a unit
    EXPECT_EQ(r.At(25, 50), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(75, 50), (Pixel{0, 255, 0}));

    // Per point: the colour node by grid point; a list shorter than the
    // grid takes its last colour for the rest.
    CVElevationGrid* v = Grid(3, 2, {0, 0, 0, 0, 0, 0});
    v->color.SetValue(Colours({kBlue, kBlue, kBlue}));
    SceneRender rv;
    DrawFromAbove(rv, v, 1.0f, 0.5f, 2.0f);
    EXPECT_EQ(rv.At(25, 50), (Pixel{0, 0, 255}));
    EXPECT_EQ(rv.At(75, 50), (Pixel{0, 0, 255}));

    CVElevationGrid* four = Grid(4, 3, std::vector<float>(12, 0.0f));
    Kept keep(four);
    int out[4];
    four->GetColorIndex(5, out);
    EXPECT_EQ(out[0], -1); // no colour node
    four->color.SetValue(Colours({kRed}));
    four->colorPerVertex.SetValue(0);
    four->GetColorIndex(5, out);
    for (int k : out)
        EXPECT_EQ(k, 4);
    four->colorPerVertex.SetValue(1);
    four->GetColorIndex(5, out);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(out[2], 10);
    EXPECT_EQ(out[3], 6);
    ASSERT_TRUE(four->GetHeightIndex(1, 1, out));
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(out[2], 10);
    EXPECT_EQ(out[3], 6);
    EXPECT_FALSE(four->GetHeightIndex(3, 0, out)); // past the last cell
}

TEST(GridShape, TheBoxCoversTheColumnsRowsAndHeightsButNoMissingHeight)
{
    CVElevationGrid* g = Grid(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, -1});
    Kept keep(g);
    CVBox3f box;
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetCenter(), CVVector(1, 3.5f, 1));
    EXPECT_EQ(box.GetSize(), CVVector(2, 9, 2));

    // The missing value takes no part, whether missing points are skipped
    // or drawn.
    g->height.SetAt(4, CVElevationGrid::GetMissingValue());
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize().y, 9.0f);
    g->skipMissing.SetValue(1);
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize().y, 9.0f);
    // A set height range replaces the heights'.
    g->SetHeightMinMax(-10, 10);
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize().y, 20.0f);
    g->UnsetHeightMinMax();
    // Walls reach down to their base.
    g->drawWalls.SetValue(1);
    g->wallBase.SetValue(-5);
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize().y, 13.0f);
    // Negative spacing runs the other way; the box is not empty.
    g->drawWalls.SetValue(0);
    g->xSpacing.SetValue(-2);
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.GetCenter().x, -2.0f);
    EXPECT_EQ(box.GetSize().x, 4.0f);
}

TEST(GridShape, ZeroSpacingWithCoordinateListsUsesTheListsExtent)
{
    CVElevationGrid* g = Grid(4, 3, std::vector<float>(12, 0.0f), 0.0f);
    g->SetXZCoordLists({2, 3, 5, 10}, {-1, 0, 4});
    Kept keep(g);
    CVBox3f box;
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetCenter(), CVVector(6, 0, 1.5f));
    EXPECT_EQ(box.GetSize(), CVVector(8, 0, 5));
    // Drawn where the lists put it: x from 2 to 10 (view 12 wide, centre 6).
    g->color.SetValue(Colours({kRed}));
    SceneRender r;
    DrawFromAbove(r, g, 6.0f, 1.5f, 12.0f);
    EXPECT_EQ(r.At(20, 50), (Pixel{255, 0, 0}));  // x 2.0 .. 2.5
    EXPECT_EQ(r.At(80, 50), (Pixel{255, 0, 0}));  // x 9.6
    EXPECT_EQ(r.At(10, 50), kBlack);              // x 1.2
    EXPECT_EQ(r.At(90, 50), kBlack);              // x 10.8
    // A list of the wrong length is not used, and said so.
    g->SetXZCoordLists({1, 2}, {});
    EXPECT_NE(g->GetProblem().find(L"coordinate list"), std::wstring::npos);
}

TEST(GridFaults, TooFewHeightsDrawNothingAndAreReportedOnce)
{
    CVElevationGrid* g = Grid(3, 3, {0, 1, 2, 3, 4});
    g->color.SetValue(Colours({kRed}));
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(TopDown(g, 1, 1));
    r.Area()->GetErrorReport().Clear();
    ASSERT_EQ(r.Render(scene.camera), 1);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Count({255, 0, 0}, 0), 0);
    const std::vector<std::wstring> messages = r.Area()->GetErrorReport().GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"5 heights for a 3 x 3 grid"), std::wstring::npos);
    CVBox3f box;
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_TRUE(box.IsEmpty());
    // Enough heights: drawn, and nothing more reported.
    for (int k = 0; k < 4; ++k)
        g->height.Add(0.0f);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_GT(r.Count({255, 0, 0}, 0), 100);
    EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 1);
    g->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FALSE(box.IsEmpty());
}

TEST(GridFaults, HeightSourcesOfOtherSizeOrInCyclesDrawNothing)
{
    CVElevationGrid* source = Grid(3, 3, std::vector<float>(9, 0.5f));
    CVElevationGrid* g = Grid(3, 3, {});
    g->heightSource.SetValue(source);
    g->color.SetValue(Colours({kGreen}));
    EXPECT_EQ(&g->GetHeightArray(), &source->height);
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(TopDown(g, 1, 1));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_GT(r.Count({0, 255, 0}, 0), 100); // the source's heights

    // The source is resized: this grid no longer fits it.
    source->xDimension.SetValue(4);
    r.Area()->GetErrorReport().Clear();
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Count({0, 255, 0}, 0), 0);
    ASSERT_EQ(r.Area()->GetErrorReport().GetCount(), 1);
    EXPECT_NE(r.Area()->GetErrorReport().GetMessages()[0].find(L"height source is a 4 x 3 grid"),
              std::wstring::npos);

    // A cycle cannot be made: the field refuses it, and the chain ends.
    EXPECT_FALSE(source->heightSource.SetValue(g));
    EXPECT_FALSE(g->heightSource.SetValue(g));
    EXPECT_EQ(source->heightSource.GetValue(), nullptr);

    // Chains of kMaxSourceChain links are followed; one more is refused.
    std::vector<CVElevationGrid*> chain;
    for (int k = 0; k <= CVElevationGrid::kMaxSourceChain + 1; ++k) {
        chain.push_back(Grid(2, 2, {}));
        chain.back()->Ref();
    }
    for (int k = 0; k < CVElevationGrid::kMaxSourceChain; ++k)
        chain[size_t(k)]->heightSource.SetValue(chain[size_t(k + 1)]);
    for (int k = 0; k < 4; ++k)
        chain[size_t(CVElevationGrid::kMaxSourceChain)]->height.Add(1);
    EXPECT_EQ(chain[0]->GetProblem(), L"");
    EXPECT_EQ(chain[0]->GetHeightArray().GetNum(), 4);
    chain[size_t(CVElevationGrid::kMaxSourceChain)]->heightSource.SetValue(
        chain[size_t(CVElevationGrid::kMaxSourceChain + 1)]);
    EXPECT_NE(chain[0]->GetProblem().find(L"chained more than 64"), std::wstring::npos);
    EXPECT_EQ(chain[0]->GetHeightArray().GetNum(), 0);
    for (CVElevationGrid* c : chain)
        c->Unref();
}

TEST(GridFaults, GridsPastThePointBoundAreRefusedWithoutAllocating)
{
    CVElevationGrid* huge = Grid(100000, 100000, {});
    Kept keep(huge);
    EXPECT_NE(huge->GetProblem().find(L"more than 4194304 points"), std::wstring::npos);
    CVBox3f box;
    huge->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_TRUE(box.IsEmpty());
    // A flat grid needs no heights: still refused.
    huge->flatGrid.SetValue(1);
    EXPECT_NE(huge->GetProblem().find(L"more than"), std::wstring::npos);
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(TopDown(huge, 0, 0));
    r.Area()->GetErrorReport().Clear();
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 1);

    // The bound itself is accepted; one column more is not.
    CVElevationGrid* limit = Grid(2048, 2048, {});
    Kept keepLimit(limit);
    limit->height.SetSize(2048 * 2048);
    EXPECT_EQ(limit->GetProblem(), L"");
    limit->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FALSE(box.IsEmpty());
    limit->xDimension.SetValue(2049);
    EXPECT_NE(limit->GetProblem().find(L"more than"), std::wstring::npos);
}

TEST(GridFaults, InPlaceChangesRebuildTheSurface)
{
    CVElevationGrid* g = Grid(3, 2, std::vector<float>(6, 0.0f));
    g->SetColorLevels(LevelsOf({1.0f, 5.0f}, {kRed, kGreen}));
    g->contourBands.SetValue(1);
    SceneRender r;
    HeldCamera scene(OrthoCamera(2.0f));
    scene.Add(TopDown(g, 1.0f, 0.5f));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_FALSE(g->IsModified());
    EXPECT_EQ(r.At(90, 50), (Pixel{255, 0, 0}));
    // Heights changed in place, without marking the grid modified.
    g->height.SetAt(2, 3.0f);
    g->height.SetAt(5, 3.0f);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(90, 50), (Pixel{0, 255, 0}));
}

// Polygons the surface sends, counted in feedback mode.
int PolygonsDrawn(CVGLRenderArea* area, const lumo::grid::GridGeometry& grid,
                  const lumo::grid::SurfaceStyle& style)
{
    EXPECT_TRUE(area->MakeCurrent());
    std::vector<GLfloat> buffer(1 << 22);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    lumo::grid::DrawSurface(grid, style);
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0);
    int polygons = 0;
    for (GLint i = 0; i < n;) {
        const GLfloat token = buffer[size_t(i)];
        if (token == GL_POLYGON_TOKEN) {
            ++polygons;
            i += 2 + 3 * GLint(buffer[size_t(i + 1)]);
        } else {
            i += 1;
        }
    }
    return polygons;
}

TEST(GridFaults, CuttingCellsByColourStopsAtTheDepthCap)
{
    // One cell rising from 0 to 0.5 across a diagonal, coloured by two
    // levels: cut while its corners differ in colour.
    const std::vector<float> h = {0, 0, 0.5f, 0.5f};
    lumo::grid::GridInput in;
    in.xDim = 2;
    in.zDim = 2;
    in.heights = h.data();
    in.xSpacing = 0.5f;
    in.zSpacing = 0.5f;
    const lumo::grid::GridGeometry grid(in);
    const float keys[] = {0.2f, 1.0f};
    const RGBAColorStruct colours[] = {kRed, kGreen};
    const lumo::grid::Levels levels(keys, 2, colours, 2);
    lumo::grid::SurfaceStyle style;
    style.colouring = lumo::grid::Colouring::ByLevel;
    style.levels = &levels;
    style.splitCells = true;
    style.splitTolerance = 0.0f;
    SceneRender r;
    auto count = [&](int depth) {
        style.splitDepth = depth;
        return PolygonsDrawn(r.Area(), grid, style);
    };
    const int cap = lumo::grid::SurfaceStyle::kMaxSplitDepth;
    EXPECT_EQ(count(0), 2);
    EXPECT_GT(count(1), 2);
    EXPECT_LT(count(cap - 1), count(cap));
    EXPECT_EQ(count(cap), count(cap + 1));
    EXPECT_EQ(count(cap), count(1000000));
}

TEST(GridPicking, CellsAreNamedInTheirOrderAndPickedWithoutTheList)
{
    CVElevationGrid* g = Grid(4, 3, std::vector<float>(12, 0.0f));
    g->drawWalls.SetValue(1);
    g->wallBase.SetValue(-1);
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* shape = ShapeOf(g);
    scene.Add(shape);
    ASSERT_EQ(r.Render(scene.camera), 1); // compiles the list first
    auto pick = [&]() {
        EXPECT_TRUE(r.Area()->MakeCurrent());
        GLuint buffer[512];
        glSelectBuffer(512, buffer);
        glRenderMode(GL_SELECT);
        glInitNames();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 4, -1, 3, -20, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(90, 1, 0, 0); // from above: z runs down the view
        glScalef(1, 1, -1);
        CVState state;
        state.m_bPickMode = 1;
        shape->Render(&state, r.Area());
        const GLint hits = glRenderMode(GL_RENDER);
        std::multiset<GLuint> names;
        for (const Hit& hit : Hits(buffer, hits))
            if (!hit.empty())
                names.insert(hit.back());
        return names;
    };
    glDisable(GL_CULL_FACE);
    std::multiset<GLuint> names = pick();
    EXPECT_EQ(std::set<GLuint>(names.begin(), names.end()), (std::set<GLuint>{0, 1, 2, 4, 5, 6}));
    g->transposeData.SetValue(1);
    names = pick();
    EXPECT_EQ(std::set<GLuint>(names.begin(), names.end()), (std::set<GLuint>{0, 3, 6, 1, 4, 7}));

    std::unique_ptr<CVDetail> detail(shape->GetPickDetail(5));
    ASSERT_TRUE(detail && detail->IsKindOf<CVElevationGridDetail>());
    auto* cell = static_cast<CVElevationGridDetail*>(detail.get());
    EXPECT_EQ(cell->GetIndex(), 5);
    EXPECT_EQ(cell->GetGeometry(), g);
    cell->ComputeDetails();
    EXPECT_EQ(cell->GetNumPoints(), 0);
}

TEST(GridImageMap, EachCellHasTheColourOfItsName)
{
    CVGLRenderArea::SetInflateWorld(0);
    CVRenderImageMapAction action(nullptr);
    ASSERT_EQ(action.SetViewport(0, 0, 40, 30), 1);
    CVCamera* camera = OrthoCamera(3.0f); // 10 pixels a unit
    camera->Ref();
    CVElevationGrid* g = Grid(4, 3, std::vector<float>(12, 0.0f));
    g->SetTopoChartFlag(1);
    g->SetCrdOverlayIndex(2);
    camera->children.Add(TopDown(g, 1.5f, 1.0f));
    ASSERT_EQ(action.Apply(camera), 1);
    const auto* bits = static_cast<const unsigned char*>(action.GetDIB()->GetBits());
    auto pixel = [&](int x, int y) { // y from the top
        const unsigned char* p = bits + ((29 - y) * 40 + x) * 4;
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    std::set<std::array<int, 3>> seen;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) {
            const int name = j * 4 + i;
            float rgb[3];
            ASSERT_TRUE(CVCacheManager::ImageMapColor(32, name, g->GetImageMapClass(), rgb));
            const std::array<int, 3> expected{int(std::lround(rgb[0] * 255)), int(std::lround(rgb[1] * 255)),
                                              int(std::lround(rgb[2] * 255))};
            const std::array<int, 3> got = pixel(10 + 10 * i, 10 + 10 * j);
            EXPECT_EQ(got, expected) << i << " " << j;
            seen.insert(got);
        }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(pixel(1, 1), (std::array<int, 3>{255, 255, 255}));
    // The grid is back to normal drawing, and will make its list again.
    EXPECT_FALSE(g->IsImageMapMode());
    EXPECT_TRUE(g->IsModified());
    camera->Unref();
    CVGLRenderArea::SetInflateWorld(1);
}

TEST(GridWalls, WallsStandUnderTheBorderInTheirColour)
{
    CVElevationGrid* g = Grid(3, 3, std::vector<float>(9, 1.0f));
    g->drawWalls.SetValue(1);
    g->wallBase.SetValue(-1);
    g->wallColor.SetValue(Colours({kRed}));
    g->color.SetValue(Colours({kGreen}));
    // Seen from the front (+z): the near wall spans x 0 .. 2, y -1 .. 1.
    auto* t = new CVTransform;
    t->translation.SetValue(-1, 0, -5);
    t->children.Add(ShapeOf(g));
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(t);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.At(50, 50), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(30, 35), (Pixel{255, 0, 0}));
    EXPECT_EQ(r.At(50, 80), kBlack); // below the base
    EXPECT_EQ(r.At(10, 50), kBlack); // beside the grid
}

} // namespace

TEST(GridContourNodes, OneNewLineSetPerKeyEachAtItsLevel)
{
    // Heights rise with x over 5 x 4 points; keys 1.5, 1 (not above the one
    // before: no level) and 3.
    std::vector<float> ramp;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 5; ++i)
            ramp.push_back(float(i));
    CVElevationGrid* g = Grid(5, 4, ramp);
    Kept kept(g);
    EXPECT_TRUE(g->CreateContourLineNodes().empty()) << "no levels, no lines";
    g->SetColorLevels(LevelsOf({1.5f, 1.0f, 3.0f}, {kRed, kGreen, kBlue}));
    std::vector<CVIndexedLineSet*> sets = g->CreateContourLineNodes();
    ASSERT_EQ(sets.size(), 3u);
    for (CVIndexedLineSet* s : sets) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetRef(), 0) << "the caller takes the first reference";
        ASSERT_NE(s->coord.GetValue(), nullptr);
        s->Ref();
    }
    EXPECT_EQ(sets[1]->coord->point.GetNum(), 0) << "a key that is no level has an empty set";
    EXPECT_EQ(sets[1]->coordIndex.GetNum(), 0);
    const float expected[] = {1.5f, 0.0f, 3.0f};
    for (int s : {0, 2}) {
        const CVMFVec3f& points = sets[size_t(s)]->coord->point;
        ASSERT_GT(points.GetNum(), 1) << s;
        for (int p = 0; p < points.GetNum(); ++p) {
            EXPECT_EQ(points[p].y, expected[s]) << s;
            EXPECT_EQ(points[p].x, expected[s]) << s; // the ramp's height is its x
        }
        // Every index lies in the points or ends a polyline.
        for (int k = 0; k < sets[size_t(s)]->coordIndex.GetNum(); ++k) {
            const int index = sets[size_t(s)]->coordIndex[k];
            EXPECT_TRUE(index == -1 || (index >= 0 && index < points.GetNum())) << index;
        }
    }
    // A second call makes new nodes: nothing is shared with the first.
    std::vector<CVIndexedLineSet*> again = g->CreateContourLineNodes();
    ASSERT_EQ(again.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NE(again[k], sets[k]);
        EXPECT_NE(again[k]->coord.GetValue(), sets[k]->coord.GetValue());
        again[k]->Ref();
        again[k]->Unref();
        sets[k]->Unref();
    }
    // Heights that do not fill the grid: no lines, still one set per key.
    g->height.SetSize(7);
    std::vector<CVIndexedLineSet*> none = g->CreateContourLineNodes();
    ASSERT_EQ(none.size(), 3u);
    for (CVIndexedLineSet* s : none) {
        EXPECT_EQ(s->coord->point.GetNum(), 0);
        s->Ref();
        s->Unref();
    }
}
