// Face sets as they draw: colours per face and per vertex, faces of any
// shape through the tessellator, normals given, made and constant, the
// display list and what rebuilds it, and bad input that must be skipped.
#include "scene/model/Box3f.h"
#include "scene/nodes/CreaseNormals.h"
#include "scene/nodes/FacePainter.h"
#include "scene/nodes/GeometryList.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Lights.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"
#include "tests/support/TempImages.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumo::test;

namespace {

const Pixel kBlack{0, 0, 0};
const Pixel kRed{255, 0, 0};
const Pixel kGreen{0, 255, 0};
const Pixel kBlue{0, 0, 255};

// View height 4 on 100 pixels: 25 pixels a unit, the origin at (50, 50).
// Two unit-high quads: A left of the origin (points 0-3), B right (4-7).
CVCoordinate* TwoQuads()
{
    return Coords({{-1.6f, -0.6f, 0}, {-0.4f, -0.6f, 0}, {-0.4f, 0.6f, 0}, {-1.6f, 0.6f, 0},
                   {0.4f, -0.6f, 0}, {1.6f, -0.6f, 0}, {1.6f, 0.6f, 0}, {0.4f, 0.6f, 0}});
}

CVIndexedFaceSet* FaceSet(CVCoordinate* coord, std::initializer_list<int> indices)
{
    auto* f = new CVIndexedFaceSet;
    f->coord.SetValue(coord);
    SetInts(f->coordIndex, indices);
    return f;
}

// An L of side 3 round the origin: its notch is the upper right quarter.
CVCoordinate* LShape()
{
    return Coords({{-1.5f, -1.5f, 0}, {1.5f, -1.5f, 0}, {1.5f, 0, 0}, {0, 0, 0}, {0, 1.5f, 0}, {-1.5f, 1.5f, 0}});
}

Pixel RenderOne(SceneRender& r, CVChild* shape)
{
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(shape);
    EXPECT_EQ(r.Render(scene.camera), 1);
    return r.At(50, 50);
}

TEST(FaceSetColours, PerFaceColoursLandOnTheirFaces)
{
    SceneRender r;
    auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
    f->color.SetValue(Colours({{1, 0, 0, 1}, {0, 1, 0, 1}}));
    f->colorPerVertex.SetValue(0);
    RenderOne(r, ShapeOf(f));
    EXPECT_EQ(r.At(25, 50), kRed);
    EXPECT_EQ(r.At(75, 50), kGreen);
    EXPECT_EQ(r.At(50, 50), kBlack);

    SceneRender swapped;
    auto* g = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
    g->color.SetValue(Colours({{1, 0, 0, 1}, {0, 1, 0, 1}}));
    g->colorPerVertex.SetValue(0);
    SetInts(g->colorIndex, {1, 0});
    RenderOne(swapped, ShapeOf(g));
    EXPECT_EQ(swapped.At(25, 50), kGreen);
    EXPECT_EQ(swapped.At(75, 50), kRed);
}

TEST(FaceSetColours, PerVertexColoursByIndexListOrByCoordinate)
{
    SceneRender r;
    auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
    f->color.SetValue(Colours({{1, 0, 0, 1}, {0, 0, 1, 1}}));
    // Entries run parallel to coordIndex, -1 included.
    SetInts(f->colorIndex, {1, 1, 1, 1, -1, 0, 0, 0, 0, -1});
    RenderOne(r, ShapeOf(f));
    EXPECT_EQ(r.At(25, 50), kBlue);
    EXPECT_EQ(r.At(75, 50), kRed);

    SceneRender byCoordinate;
    auto* g = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
    g->color.SetValue(Colours({{1, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 0, 1},
                               {0, 1, 0, 1}, {0, 1, 0, 1}, {0, 1, 0, 1}, {0, 1, 0, 1}}));
    RenderOne(byCoordinate, ShapeOf(g));
    EXPECT_EQ(byCoordinate.At(25, 50), kRed);
    EXPECT_EQ(byCoordinate.At(75, 50), kGreen);
}

TEST(FaceSetFaults, AColourListShorterThanTheFacesKeepsTheColourBefore)
{
    // Three quads, two colours: the third face has none of its own. A
    // colour index past the list is skipped the same way.
    SceneRender r;
    auto* c = Coords({{-1.8f, -0.5f, 0}, {-1.0f, -0.5f, 0}, {-1.0f, 0.5f, 0}, {-1.8f, 0.5f, 0},
                      {-0.4f, -0.5f, 0}, {0.4f, -0.5f, 0}, {0.4f, 0.5f, 0}, {-0.4f, 0.5f, 0},
                      {1.0f, -0.5f, 0}, {1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, {1.0f, 0.5f, 0}});
    auto* f = FaceSet(c, {0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9, 10, 11});
    f->color.SetValue(Colours({{1, 0, 0, 1}, {0, 1, 0, 1}}));
    f->colorPerVertex.SetValue(0);
    RenderOne(r, ShapeOf(f));
    EXPECT_EQ(r.At(15, 50), kRed);
    EXPECT_EQ(r.At(50, 50), kGreen);
    EXPECT_EQ(r.At(85, 50), kGreen);

    SceneRender pastTheList;
    auto* g = FaceSet(Coords({{-1.8f, -0.5f, 0}, {-1.0f, -0.5f, 0}, {-1.0f, 0.5f, 0}, {-1.8f, 0.5f, 0},
                              {-0.4f, -0.5f, 0}, {0.4f, -0.5f, 0}, {0.4f, 0.5f, 0}, {-0.4f, 0.5f, 0},
                              {1.0f, -0.5f, 0}, {1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, {1.0f, 0.5f, 0}}),
                      {0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9, 10, 11});
    g->color.SetValue(Colours({{1, 0, 0, 1}, {0, 1, 0, 1}}));
    g->colorPerVertex.SetValue(0);
    SetInts(g->colorIndex, {1, 2, -7}); // 2 is one past the list's end
    RenderOne(pastTheList, ShapeOf(g));
    EXPECT_EQ(pastTheList.At(15, 50), kGreen);
    EXPECT_EQ(pastTheList.At(50, 50), kGreen);
    EXPECT_EQ(pastTheList.At(85, 50), kGreen);
}

TEST(FaceSetFaults, IndicesOutsideTheCoordinatesAreSkipped)
{
    // 99, 50000000 and 8 are past the eight points (8 is the first one
    // past), -5 and -3 are negative but not -1; the third face has no
    // usable point and the fourth only two.
    SceneRender r;
    auto* f =
        FaceSet(TwoQuads(), {0, 1, 99, 2, 3, -1, -5, 4, 5, -3, 50000000, 6, 7, -1, 8, 100000000, -1, 0, 8, 1, -1});
    Kept keep(f);
    f->solid.SetValue(0);
    RenderOne(r, ShapeOf(f, {1, 0, 0}));
    EXPECT_EQ(r.At(25, 50), kRed);
    EXPECT_EQ(r.At(75, 50), kRed);
    EXPECT_EQ(r.At(50, 50), kBlack);
    CVBox3f box;
    f->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize(), CVVector(3.2f, 1.2f, 0));

    // The same lists drawn as tessellated faces and as a chart's flat faces.
    for (int kind = 0; kind < 2; ++kind) {
        SceneRender other;
        auto* g =
            FaceSet(TwoQuads(), {0, 1, 99, 2, 3, -1, -5, 4, 5, -3, 50000000, 6, 7, -1, 8, 100000000, -1, 0, 8, 1, -1});
        g->solid.SetValue(0);
        if (kind == 0)
            g->convex.SetValue(0);
        else
            g->normalAxis = L"Z";
        RenderOne(other, ShapeOf(g, {0, 1, 0}));
        EXPECT_EQ(other.At(25, 50), kGreen) << kind;
        EXPECT_EQ(other.At(75, 50), kGreen) << kind;
        // Two 30 x 30 pixel quads and nothing else.
        EXPECT_NEAR(other.Count(kGreen), 1800, 130) << kind;
    }
}

TEST(FaceSetFaults, PropertyIndicesOutsideTheirListsAreSkipped)
{
    // Normal, colour and texture-coordinate indices far past their lists,
    // per vertex: nothing is read out of bounds (the sanitizer build checks)
    // and the faces are still drawn.
    for (int convex = 0; convex < 2; ++convex) {
        SceneRender r;
        r.Area()->SetTexturingEnabled(1);
        auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7});
        f->convex.SetValue(convex);
        f->color.SetValue(Colours({{0, 0, 1, 1}}));
        SetInts(f->colorIndex, {0, 0, 0, 0, -1, 0, 0}); // shorter than coordIndex
        auto* n = new CVNormal;
        n->vector.Add(0, 0, 1);
        f->normal.SetValue(n);
        SetInts(f->normalIndex, {0, 5, -2, 1000});
        auto* t = new CVTextureCoordinate;
        t->point.Add(0.5f, 0.5f);
        f->texCoord.SetValue(t);
        SetInts(f->texCoordIndex, {0, 9, -9});
        CVShape* shape = ShapeOf(f);
        shape->appearance->texture.SetValue(new CVImageTexture); // texturing on, no image
        RenderOne(r, shape);
        EXPECT_EQ(r.At(25, 50), kBlue) << convex;
        EXPECT_EQ(r.At(75, 50), kBlue) << convex;
    }
}

TEST(FaceSetFaults, DegenerateFacesGetNoNaNNormals)
{
    // Collinear and coincident points, and points far beyond float range
    // once multiplied: every normal made is a finite unit vector.
    std::vector<Point3fStruct> collinear = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    std::vector<Point3fStruct> coincident = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    std::vector<Point3fStruct> huge = {{0, 0, 0}, {3e38f, 0, 0}, {0, 3e38f, 0}};
    for (const auto* points : {&collinear, &coincident, &huge}) {
        Point3fStruct n = lumo::faces::FacePainter::FaceNormal(*points, true);
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
    }
    // A face set of a collinear face, a two-point face and a good face,
    // smoothed: the good face keeps its flat normal.
    CVCoordinate* c = Coords({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 2, 0}});
    c->Ref();
    CVMFInt32 indices;
    SetInts(indices, {0, 1, 2, -1, 0, 3, -1, 0, 1, 3, -1});
    lumo::faces::FaceSetData d;
    d.points = c->point.GetValues();
    d.numPoints = c->point.GetNum();
    d.coordIndex = indices.GetValues();
    d.numCoordIndex = indices.GetNum();
    std::vector<Point3fStruct> corners = lumo::faces::CreaseNormals(d, 3.0f);
    for (const Point3fStruct& n : corners)
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
    EXPECT_NEAR(corners[7].z, 1.0f, 1e-6f);
    c->Unref();

    // Drawn, they leave no trace and upset nothing.
    SceneRender r;
    auto* f = FaceSet(Coords({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}}), {0, 1, 2, -1, 2, 3, -1, 0, 0, 0, 0});
    RenderOne(r, ShapeOf(f, {1, 0, 0}));
    EXPECT_EQ(r.Count(kRed, 40), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(FaceSetFaults, AnEmptyCoordinateNodeDrawsNothing)
{
    SceneRender r;
    auto* f = FaceSet(new CVCoordinate, {0, 1, 2, -1});
    Kept keep(f);
    RenderOne(r, ShapeOf(f, {1, 0, 0}));
    EXPECT_EQ(r.Count(kRed, 40), 0);
    CVBox3f box;
    f->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_TRUE(box.IsEmpty());
    // No coordinate node at all is the same.
    auto* none = new CVIndexedFaceSet;
    SetInts(none->coordIndex, {0, 1, 2});
    SceneRender r2;
    RenderOne(r2, ShapeOf(none, {1, 0, 0}));
    EXPECT_EQ(r2.Count(kRed, 40), 0);
}

TEST(FaceSetShapes, ATessellatedLLeavesItsNotchEmpty)
{
    SceneRender r;
    auto* f = FaceSet(LShape(), {0, 1, 2, 3, 4, 5, -1});
    f->convex.SetValue(0);
    RenderOne(r, ShapeOf(f, {1, 0, 0}));
    EXPECT_EQ(r.At(31, 31), kRed);   // upper arm
    EXPECT_EQ(r.At(69, 69), kRed);   // right arm
    EXPECT_EQ(r.At(31, 69), kRed);   // corner
    EXPECT_EQ(r.At(69, 31), kBlack); // the notch
    EXPECT_EQ(r.At(56, 44), kBlack);
}

TEST(FaceSetShapes, ContourFacesCutHolesAndSeparateFacesDoNot)
{
    CVCoordinate* ring = Coords({{-1.5f, -1.5f, 0}, {1.5f, -1.5f, 0}, {1.5f, 1.5f, 0}, {-1.5f, 1.5f, 0},
                                 {-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}});
    Kept keep(ring);
    for (int contours = 0; contours < 2; ++contours) {
        SceneRender r;
        auto* f = FaceSet(ring, {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
        f->convex.SetValue(0);
        f->contourFaces.SetValue(contours);
        RenderOne(r, ShapeOf(f, {1, 0, 0}));
        EXPECT_EQ(r.At(20, 50), kRed) << contours;
        EXPECT_EQ(r.At(50, 50), contours ? kBlack : kRed) << contours;
    }
    // One contour that steps in to the hole and back out (as a document
    // writes a face with a hole) cuts it too.
    SceneRender keyhole;
    auto* k = FaceSet(ring, {0, 1, 2, 3, 0, 4, 7, 6, 5, 4, -1});
    k->convex.SetValue(0);
    RenderOne(keyhole, ShapeOf(k, {1, 0, 0}));
    EXPECT_EQ(keyhole.At(20, 50), kRed);
    EXPECT_EQ(keyhole.At(50, 50), kBlack);
    EXPECT_EQ(keyhole.At(80, 50), kRed);
}

TEST(FaceSetShapes, TessellatedFacesCarryTheirColoursAndNormals)
{
    // Per-face colours on two concave faces; per-vertex colours on another.
    SceneRender r;
    auto* f = FaceSet(LShape(), {0, 1, 2, 3, 4, 5, -1});
    f->convex.SetValue(0);
    f->color.SetValue(Colours({{0, 0, 1, 1}}));
    f->colorPerVertex.SetValue(0);
    RenderOne(r, ShapeOf(f, {1, 0, 0}));
    EXPECT_EQ(r.At(31, 31), kBlue);
    EXPECT_EQ(r.At(69, 31), kBlack);

    SceneRender perVertex;
    auto* g = FaceSet(LShape(), {0, 1, 2, 3, 4, 5, -1});
    g->convex.SetValue(0);
    g->color.SetValue(Colours({{0, 1, 0, 1}}));
    SetInts(g->colorIndex, {0, 0, 0, 0, 0, 0, -1});
    RenderOne(perVertex, ShapeOf(g, {1, 0, 0}));
    EXPECT_EQ(perVertex.At(31, 69), kGreen);
}

// The red channel at the centre of a square lit by the headlight.
int LitRed(CVIndexedFaceSet* f)
{
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(new CVLightModel).Add(ShapeOf(f, {1, 0, 0}));
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    return r.At(50, 50)[0];
}

CVIndexedFaceSet* Square()
{
    return FaceSet(Coords({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}), {0, 1, 2, 3, -1});
}

TEST(FaceSetNormals, MadeGivenAndConstantNormals)
{
    // A convex face facing the viewer makes its own normal towards it.
    const int own = LitRed(Square());
    EXPECT_GT(own, 200);

    // Tessellated faces without normals share one constant normal that
    // points away from the side ccw makes the front: the face is lit as
    // from behind, by ambient light only. Documents give normals instead.
    auto* constant = Square();
    constant->convex.SetValue(0);
    const int away = LitRed(constant);
    EXPECT_LT(away, own / 2);
    auto* given = Square();
    given->convex.SetValue(0);
    given->normal.SetValue(new CVNormal);
    given->normal->vector.Add(0, 0, 1);
    given->normalPerVertex.SetValue(0);
    EXPECT_GT(LitRed(given), 200);

    // A normal index past the normals falls back to the face's own normal;
    // one inside the list takes the normal it names.
    auto* fallback = Square();
    fallback->normal.SetValue(new CVNormal);
    fallback->normal->vector.Add(0, 0, -1);
    SetInts(fallback->normalIndex, {1, 1, 1, 1, -1});
    EXPECT_GT(LitRed(fallback), 200);
    auto* named = Square();
    named->normal.SetValue(new CVNormal);
    named->normal->vector.Add(0, 0, -1);
    SetInts(named->normalIndex, {0, 0, 0, 0, -1});
    EXPECT_LT(LitRed(named), own / 2);
}

TEST(FaceSetNormals, CreaseAngleSmoothsOnlyGentleEdges)
{
    // Two faces of a roof meeting at a right angle along the points 1-2.
    CVCoordinate* c = Coords({{0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}});
    c->Ref();
    CVMFInt32 indices;
    SetInts(indices, {0, 1, 2, 3, -1, 1, 4, 5, 2, -1});
    lumo::faces::FaceSetData d;
    d.points = c->point.GetValues();
    d.numPoints = c->point.GetNum();
    d.coordIndex = indices.GetValues();
    d.numCoordIndex = indices.GetNum();
    const float h = std::sqrt(0.5f);
    // Under the angle between the faces (90 degrees): every corner flat.
    std::vector<Point3fStruct> sharp = lumo::faces::CreaseNormals(d, 1.5f);
    EXPECT_NEAR(sharp[1].x, -h, 1e-5f);
    EXPECT_NEAR(sharp[5].x, h, 1e-5f);
    // Over it: the shared corners take the mean, the others stay flat.
    std::vector<Point3fStruct> smooth = lumo::faces::CreaseNormals(d, 1.6f);
    EXPECT_NEAR(smooth[1].x, 0.0f, 1e-5f);
    EXPECT_NEAR(smooth[1].z, 1.0f, 1e-5f);
    EXPECT_NEAR(smooth[5].z, 1.0f, 1e-5f);
    EXPECT_NEAR(smooth[0].x, -h, 1e-5f);
    EXPECT_NEAR(smooth[6].x, h, 1e-5f);
    c->Unref();

    // Drawn smooth, the crease is no longer a step in the shading.
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* f = FaceSet(Coords({{-1, -1, 0}, {0, -1, 0.6f}, {0, 1, 0.6f}, {-1, 1, 0}, {1, -1, 0}, {1, 1, 0}}),
                      {0, 1, 2, 3, -1, 1, 4, 5, 2, -1});
    f->creaseAngle.SetValue(1.6f);
    auto* flat = FaceSet(Coords({{-1, -1, 0}, {0, -1, 0.6f}, {0, 1, 0.6f}, {-1, 1, 0}, {1, -1, 0}, {1, 1, 0}}),
                         {0, 1, 2, 3, -1, 1, 4, 5, 2, -1});
    scene.Add(new CVLightModel).Add(ShapeOf(f, {0.6f, 0.6f, 0.6f}));
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    const int smoothStep = std::abs(r.At(48, 50)[1] - r.At(52, 50)[1]);
    SceneRender r2;
    HeldCamera scene2(OrthoCamera(4.0f));
    scene2.Add(new CVLightModel).Add(ShapeOf(flat, {0.6f, 0.6f, 0.6f}));
    r2.Action().SetHeadlightOn(1);
    r2.Render(scene2.camera);
    const int flatLeft = r2.At(48, 50)[1], flatRight = r2.At(52, 50)[1];
    EXPECT_EQ(flatLeft, flatRight); // symmetric faces: equal flat shades...
    EXPECT_GT(r.At(50, 50)[1], flatLeft + 12); // ...and the smoothed ridge faces the light
    EXPECT_LE(smoothStep, 8);
}

TEST(FaceSetList, TheListIsKeptAndRebuiltWhenTheFacesOrTheTexturingChange)
{
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1});
    CVShape* shape = ShapeOf(f, {1, 0, 0});
    scene.Add(shape);
    r.Render(scene.camera);
    EXPECT_FALSE(f->IsModified());
    CVBox3f box;
    f->ComputeBoundingBox(nullptr, nullptr, &box); // caches the box: sets the cached bit
    ASSERT_TRUE(f->IsCached());
    r.Render(scene.camera);
    EXPECT_TRUE(f->IsCached()) << "an unchanged set replays its list";
    EXPECT_EQ(r.At(25, 50), kRed);

    // Texture added: the list is made again (with texture coordinates).
    lumo::test::TempImages images;
    auto* texture = new CVImageTexture;
    texture->url.Add(images.Png("white.png", lumo::test::MakeImage(4, 4, [](int, int) {
        return lumo::test::Bgra{255, 255, 255, 255};
    })));
    shape->appearance->texture.SetValue(texture);
    r.Render(scene.camera);
    EXPECT_FALSE(f->IsCached());
    f->ComputeBoundingBox(nullptr, nullptr, &box);
    r.Render(scene.camera);
    EXPECT_TRUE(f->IsCached());
    // ...and removed.
    shape->appearance->texture.SetValue(nullptr);
    r.Render(scene.camera);
    EXPECT_FALSE(f->IsCached());

    // A new coordinate node, with no word to the face set: drawn anew.
    f->coord.SetValue(Coords({{0.4f, -0.6f, 0}, {1.6f, -0.6f, 0}, {1.6f, 0.6f, 0}, {0.4f, 0.6f, 0}}));
    r.Render(scene.camera);
    EXPECT_EQ(r.At(25, 50), kBlack);
    EXPECT_EQ(r.At(75, 50), kRed);
    // Points added to the list in place, likewise.
    f->coord->point.Add(-1.6f, -0.6f, 0);
    f->coord->point.Add(-0.4f, -0.6f, 0);
    f->coord->point.Add(-1.0f, 0.6f, 0);
    f->coordIndex.Add(4);
    f->coordIndex.Add(5);
    f->coordIndex.Add(6);
    r.Render(scene.camera);
    EXPECT_EQ(r.At(25, 50), kRed);
    f->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize(), CVVector(3.2f, 1.2f, 0));
}

TEST(FaceSetList, ChartFacesAlongAnAxisDrawWithoutAList)
{
    SceneRender r;
    auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1, 4, 5, 6, 7, -1});
    f->normalAxis = L"Z";
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(new CVLightModel).Add(ShapeOf(f, {1, 0, 0}));
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    // The one normal points to the viewer for ccw faces: lit from the front.
    EXPECT_GT(r.At(25, 50)[0], 200);
    EXPECT_GT(r.At(75, 50)[0], 200);
    // Changed coordinates are drawn at once.
    SetInts(f->coordIndex, {4, 5, 6, 7});
    r.Render(scene.camera);
    EXPECT_LT(r.At(25, 50)[0], 10);
    EXPECT_GT(r.At(75, 50)[0], 200);
}

TEST(FaceSetList, ListsBelongToTheContextTheyWereMadeIn)
{
    SceneRender a, b;
    ASSERT_TRUE(a.Area()->MakeCurrent());
    auto* list = new CVGeometryList;
    ASSERT_TRUE(list->Begin(false));
    list->End();
    const unsigned name = list->GetName();
    EXPECT_TRUE(list->IsReady());
    ASSERT_TRUE(b.Area()->MakeCurrent());
    // The other context has lists of its own, with the same names.
    const GLuint theirs = glGenLists(4);
    ASSERT_NE(theirs, 0u);
    for (GLuint i = 0; i < 4; ++i) {
        glNewList(theirs + i, GL_COMPILE);
        glEndList();
    }
    ASSERT_TRUE(glIsList(name));
    EXPECT_FALSE(list->IsReady()) << "another context's list is never called";
    delete list; // released while the other context is current: queued
    ASSERT_TRUE(a.Area()->MakeCurrent());
    EXPECT_TRUE(glIsList(name));
    CVGeometryList next;
    ASSERT_TRUE(next.Begin(false)); // a list made in the first space deletes the queued one
    next.End();
    EXPECT_TRUE(next.IsReady());
    if (next.GetName() != name) {
        EXPECT_FALSE(glIsList(name));
    }
}

TEST(FaceSetList, TheShadowPassDrawsInTheShadowColourNotTheFaces)
{
    // The shape draws a shadow in one colour and then calls the geometry:
    // a list holding the faces' colours must not paint over it.
    SceneRender r;
    auto* f = FaceSet(TwoQuads(), {0, 1, 2, 3, -1});
    f->color.SetValue(Colours({{0, 1, 0, 1}}));
    f->colorPerVertex.SetValue(0);
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(ShapeOf(f, {1, 0, 0}));
    r.Render(scene.camera); // compiles the list, colours and all
    EXPECT_EQ(r.At(25, 50), kGreen);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 0, 1);
    CVState state;
    state.m_nRenderPass = PASS_SHADOW;
    f->Render(&state, r.Area(), nullptr);
    GLubyte px[4];
    glReadPixels(25, 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 255);
    // The main pass afterwards still has the faces' colour.
    r.Render(scene.camera);
    EXPECT_EQ(r.At(25, 50), kGreen);
}

} // namespace
