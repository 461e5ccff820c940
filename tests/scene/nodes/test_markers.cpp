// Marker symbols: filled outlines of the right area, concave caps with their
// notches left empty, wire outlines, bounding boxes, lists and selection.
#include "scene/core/NodeType.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Markers.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

const Pixel kBlack{0, 0, 0};
const Pixel kRed{255, 0, 0};

// 120 pixels show 2.4 units: a marker of size 2 spans 100 pixels, one unit
// of its outline 100 pixels.
const int kSide = 120;
const float kViewHeight = 2.4f;
const float kPixelsPerOutlineUnit = 100.0f;

struct Scene {
    CVCamera* camera;
    Scene() : camera(OrthoCamera(kViewHeight)) { camera->Ref(); }
    ~Scene() { camera->Unref(); }
};

CVShape* Red(CVGeometry* geometry)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(1, 0, 0);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

// A data-point marker of size 2, facing the viewer.
template <class M>
M* Marker(float sx = 2, float sy = 2, float sz = 2)
{
    auto* m = new M;
    m->size.SetValue(sx, sy, sz);
    m->SetMarkerFlag(1);
    return m;
}

// The pixel of the outline point (u, v) of a facing marker of size 2: the
// outline's +v (its z, or y for outlines in the (x, y) plane) points down or up.
Pixel AtOutline(SceneRender& r, float u, float v, bool vDown)
{
    float x = kSide / 2.0f + u * kPixelsPerOutlineUnit;
    float y = kSide / 2.0f + (vDown ? v : -v) * kPixelsPerOutlineUnit;
    return r.At(int(std::lround(x)), int(std::lround(y)));
}

double OutlineArea(const std::vector<Point2fStruct>& p)
{
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Point2fStruct& q = p[(i + 1) % p.size()];
        a += double(p[i].x) * q.y - double(q.x) * p[i].y;
    }
    return std::fabs(a) / 2;
}

double OutlineLength(const std::vector<Point2fStruct>& p)
{
    double l = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Point2fStruct& q = p[(i + 1) % p.size()];
        l += std::hypot(double(q.x) - p[i].x, double(q.y) - p[i].y);
    }
    return l;
}

int RedPixels(CVGeometry* geometry)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    scene.camera->children.Add(Red(geometry));
    r.Render(scene.camera);
    return r.Count(kRed, 8);
}

struct Kind {
    const char* name;
    std::function<CVMarker*()> make;
};

std::vector<Kind> AllMarkers()
{
    return {{"Heart", [] { return Marker<CVHeart>(); }},     {"Spade", [] { return Marker<CVSpade>(); }},
            {"Club", [] { return Marker<CVClub>(); }},       {"Star", [] { return Marker<CVStar>(); }},
            {"Hexagon", [] { return Marker<CVHexagon>(); }}, {"Prism", [] { return Marker<CVPrism>(); }},
            {"Flag", [] { return Marker<CVFlag>(); }},       {"Cross", [] { return Marker<CVCross>(); }},
            {"Disc", [] { return Marker<CVDisc>(); }},       {"XShape", [] { return Marker<CVXShape>(); }}};
}

TEST(Markers, EachFillsExactlyItsOutline)
{
    // A cap drawn as one convex polygon, or an outline taken in the wrong
    // order, covers more (or other) pixels than the outline encloses.
    for (const Kind& kind : AllMarkers()) {
        CVMarker* marker = kind.make();
        marker->Ref();
        const auto& outline = marker->GetShape().GetOutline();
        double area = OutlineArea(outline) * kPixelsPerOutlineUnit * kPixelsPerOutlineUnit;
        double edge = OutlineLength(outline) * kPixelsPerOutlineUnit;
        int count = RedPixels(marker);
        EXPECT_NEAR(count, area, edge * 0.6 + 4) << kind.name;
        marker->Unref();
    }
}

TEST(Markers, HeartShowsItsLobesAtTheTopWithTheNotchBetweenThemEmpty)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    scene.camera->children.Add(Red(Marker<CVHeart>()));
    r.Render(scene.camera);
    // Outline (u, v): lobes around v = -0.4, the notch above (0, -0.325),
    // the tip at (0, 0.5); the marker turns v downwards on the screen.
    EXPECT_EQ(AtOutline(r, -0.22f, -0.4f, true), kRed);
    EXPECT_EQ(AtOutline(r, 0.22f, -0.4f, true), kRed);
    EXPECT_EQ(AtOutline(r, 0.0f, -0.42f, true), kBlack); // the notch
    EXPECT_EQ(AtOutline(r, 0.0f, -0.2f, true), kRed);
    EXPECT_EQ(AtOutline(r, 0.0f, 0.45f, true), kRed);   // near the tip
    EXPECT_EQ(AtOutline(r, 0.3f, 0.4f, true), kBlack);  // beside the tip
    auto b = r.Bounds(kBlack);
    EXPECT_NEAR(b[1], 10, 2);  // lobes reach the top (v = -0.5)
    EXPECT_NEAR(b[3], 110, 2); // the tip reaches the bottom (v = 0.5)
}

TEST(Markers, StarPointsAreDrawnAndItsNotchesAreEmpty)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    scene.camera->children.Add(Red(Marker<CVStar>()));
    r.Render(scene.camera);
    const double pi = 3.14159265358979;
    for (int k = 0; k < 5; ++k) {
        double point = (-90.0 + 72.0 * k) * pi / 180.0, notch = point + 36.0 * pi / 180.0;
        EXPECT_EQ(AtOutline(r, float(0.4 * std::cos(point)), float(0.4 * std::sin(point)), true), kRed) << k;
        EXPECT_EQ(AtOutline(r, float(0.38 * std::cos(notch)), float(0.38 * std::sin(notch)), true), kBlack) << k;
        EXPECT_EQ(AtOutline(r, float(0.2 * std::cos(notch)), float(0.2 * std::sin(notch)), true), kRed) << k;
    }
}

TEST(Markers, CrossCornersAreEmptyAndTheXTurnsThem)
{
    SceneRender r(kSide, kSide);
    {
        Scene scene;
        scene.camera->children.Add(Red(Marker<CVCross>()));
        r.Render(scene.camera);
        for (float x : {-0.3f, 0.3f, -0.4f, 0.4f})
            for (float y : {-0.3f, 0.3f, -0.4f, 0.4f})
                EXPECT_EQ(AtOutline(r, x, y, false), kBlack) << x << " " << y;
        EXPECT_EQ(AtOutline(r, 0, 0, false), kRed);
        EXPECT_EQ(AtOutline(r, 0.45f, 0, false), kRed);
        EXPECT_EQ(AtOutline(r, 0, -0.45f, false), kRed);
    }
    {
        Scene scene;
        scene.camera->children.Add(Red(Marker<CVXShape>()));
        r.Render(scene.camera);
        EXPECT_EQ(AtOutline(r, 0.3f, 0.3f, false), kRed); // arms on the diagonals
        EXPECT_EQ(AtOutline(r, 0.4f, 0, false), kBlack);  // between them
    }
}

TEST(Markers, DiamondIsATurnedBox)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    auto* diamond = new CVDiamond;
    diamond->size.SetValue(1.2f, 1.2f, 1.2f);
    scene.camera->children.Add(Red(diamond));
    r.Render(scene.camera);
    EXPECT_EQ(r.At(60 + 40, 60), kRed);     // a corner on the x axis, 0.85 out
    EXPECT_EQ(r.At(60 + 25, 60 - 25), kBlack); // where the unturned box's corner was
    EXPECT_TRUE(diamond->IsAntialiased());
}

TEST(Markers, NegativeXDrawsAWireOutlineAndRestoresThePolygonMode)
{
    const auto& heart = CVHeart().GetShape().GetOutline();
    double edge = OutlineLength(heart) * kPixelsPerOutlineUnit;
    SceneRender r(kSide, kSide);
    Scene scene;
    auto* wire = Marker<CVHeart>(-2, 2, 2);
    scene.camera->children.Add(Red(wire));
    r.Render(scene.camera);
    // Hollow, and only the outline: the cuts between the cap's triangles
    // are not drawn.
    EXPECT_EQ(AtOutline(r, 0.0f, 0.0f, true), kBlack);
    int count = r.Count(kRed, 100);
    EXPECT_GT(count, edge * 0.6);
    EXPECT_LT(count, edge * 1.6);
    auto b = r.Bounds(kBlack);
    EXPECT_NEAR(b[3] - b[1] + 1, 100, 2); // the size of a size-2 marker

    ASSERT_TRUE(r.Area()->MakeCurrent());
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    CVState state;
    state.m_nRenderPass = PASS_MAIN;
    wire->Render(&state, r.Area(), nullptr);
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
}

// The heart under the headlight: the colour at its centre and whether its
// lobes are at the top.
std::pair<Pixel, bool> LitHeart(float sx, float sy, float sz)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    scene.camera->children.Add(new CVLightModel);
    scene.camera->children.Add(Red(Marker<CVHeart>(sx, sy, sz)));
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    return {AtOutline(r, 0, 0, true), AtOutline(r, 0.22f, -0.4f, true) != kBlack};
}

TEST(Markers, NegativeSizesNeverMirrorAndZeroDepthStillShows)
{
    auto plain = LitHeart(2, 2, 2);
    EXPECT_GT(plain.first[0], 200); // its front faces the light
    EXPECT_TRUE(plain.second);
    for (auto size : {std::array<float, 3>{2, -2, 2}, {2, 2, -2}, {2, 0, 2}}) {
        // A mirrored solid shows the inside of its far cap, facing away
        // from the light, or turns upside down.
        auto seen = LitHeart(size[0], size[1], size[2]);
        EXPECT_TRUE(lumo::test::Near(seen.first, plain.first, 4)) << size[1] << " " << size[2];
        EXPECT_TRUE(seen.second) << size[1] << " " << size[2];
    }
    EXPECT_EQ(RedPixels(Marker<CVStar>(2, 2, NAN)), 0);
}

TEST(Markers, BoundingBoxesHoldWhatIsDrawnAndAreNeverEmpty)
{
    auto boxOf = [](CVGeometry* g) {
        g->Ref();
        CVBox3f box;
        g->ComputeBoundingBox(nullptr, nullptr, &box);
        g->Unref();
        return box;
    };
    CVBox3f wire = boxOf(Marker<CVHeart>(-1, 1, 1));
    EXPECT_FALSE(wire.IsEmpty());
    EXPECT_FLOAT_EQ(wire.GetSize().x, 1);
    CVBox3f flat = boxOf(Marker<CVStar>(0, 1, 1));
    EXPECT_FALSE(flat.IsEmpty());
    EXPECT_FLOAT_EQ(flat.GetSize().x, 0);
    // Standing up, a marker's depth is its y size and its height its z size.
    CVBox3f standing = boxOf(Marker<CVHexagon>(1, 2, 3));
    EXPECT_FLOAT_EQ(standing.GetSize().y, 3);
    EXPECT_FLOAT_EQ(standing.GetSize().z, 2);
    auto* lying = new CVHexagon;
    lying->size.SetValue(1, 2, 3);
    EXPECT_FLOAT_EQ(boxOf(lying).GetSize().y, 2);
    CVBox3f cross = boxOf(Marker<CVCross>(1, 2, 3));
    EXPECT_FLOAT_EQ(cross.GetSize().y, 2); // a cross faces the viewer as it is
    auto* diamond = new CVDiamond;
    diamond->size.SetValue(2, 2, -1);
    CVBox3f d = boxOf(diamond);
    EXPECT_NEAR(d.GetSize().x, 2.8284f, 1e-4);
    EXPECT_FLOAT_EQ(d.GetSize().z, 1);
    CVBox3f x = boxOf(Marker<CVXShape>(2, 2, 2));
    EXPECT_NEAR(x.GetSize().x, 2 * (0.5 + 1.0 / 6.0) * 1.41421356, 1e-4);
}

TEST(Markers, ListsDrawTheSameAndSelectionModeDrawsEveryKind)
{
    SceneRender r(kSide, kSide);
    Scene scene;
    auto* star = Marker<CVStar>();
    scene.camera->children.Add(Red(star));
    r.Render(scene.camera); // compiles the star's lists
    int first = r.Count(kRed, 8);
    r.Render(scene.camera); // replays them
    EXPECT_EQ(r.Count(kRed, 8), first);

    Scene all;
    for (const Kind& kind : AllMarkers())
        all.camera->children.Add(Red(kind.make()));
    auto* diamond = new CVDiamond;
    all.camera->children.Add(Red(diamond));
    r.Render(all.camera);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[512];
    glSelectBuffer(512, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    for (int i = 0; i < all.camera->children.GetNum(); ++i)
        all.camera->children[i]->Render(&state, r.Area());
    GLint hits = glRenderMode(GL_RENDER);
    EXPECT_EQ(hits, all.camera->children.GetNum());
}

TEST(Markers, DiscIsFlatAndSeenFromBothSides)
{
    auto* disc = Marker<CVDisc>();
    EXPECT_FALSE(disc->IsAntialiased());
    EXPECT_TRUE(Marker<CVClub>()->IsAntialiased());
    auto* turned = new CVTransform;
    turned->rotation.SetValue(0, 1, 0, 3.14159265f);
    turned->children.Add(Red(disc));
    SceneRender r(kSide, kSide);
    Scene scene;
    scene.camera->children.Add(turned);
    r.Render(scene.camera);
    const auto& hexagon = disc->GetShape().GetOutline();
    EXPECT_NEAR(r.Count(kRed, 8), OutlineArea(hexagon) * 1e4, OutlineLength(hexagon) * 60 + 4);
}

TEST(Markers, ProgramCodeMakesThemDocumentsCannot)
{
    for (const wchar_t* name : {L"Heart", L"Spade", L"Club", L"Star", L"Hexagon", L"Cross", L"Disc", L"Prism", L"Flag"})
        EXPECT_EQ(CVNodeType::Find(name), nullptr);
    // Their types carry the one field, for whoever registers them.
    CVNodeType::PushNameSpace();
    CVHeart::AddToTypeNameSpace();
    ASSERT_NE(CVNodeType::Find(L"Heart"), nullptr);
    EXPECT_EQ(CVNodeType::Find(L"Heart")->HasField(L"size"), SFVEC3F);
    CVHeart heart;
    EXPECT_NE(heart.GetField(L"size"), nullptr);
    CVNodeType::PopNameSpace();
    EXPECT_EQ(heart.GetField(L"size"), nullptr);
}

} // namespace
