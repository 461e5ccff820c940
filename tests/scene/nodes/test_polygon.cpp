// Tessellated polygons: the caller's points are copied, repeats dropped,
// concave outlines filled only inside, every primitive textured, and the
// outline drawn without leaving its state behind.
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Coordinate.h"
#include "scene/nodes/IndexedFaceSet.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Polygon.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

const Pixel kBlack{0, 0, 0};
const Pixel kRed{255, 0, 0};

// A U opening upwards: two posts on a base, the gap between them outside.
std::vector<Point3fStruct> UShape()
{
    return {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {0.5f, 1, 0}, {0.5f, -0.5f, 0}, {-0.5f, -0.5f, 0}, {-0.5f, 1, 0},
            {-1, 1, 0}};
}

CVPolygon* Held(CVPolygon* p)
{
    p->Ref();
    return p;
}

// What one call draws, caught in feedback mode: each vertex in window
// coordinates with its texture coordinates, and the tokens seen.
struct Feedback {
    struct Vertex {
        float x, y, s, t;
    };
    std::vector<Vertex> polygonVertices;
    int polygons = 0, lines = 0, points = 0;
};

template <class Draw>
Feedback Capture(Draw draw)
{
    static GLfloat buffer[1 << 16];
    glFeedbackBuffer(1 << 16, GL_3D_COLOR_TEXTURE, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    Feedback f;
    const int vertexSize = 3 + 4 + 4; // position, RGBA colour, texture
    for (GLint i = 0; i < n;) {
        GLenum token = GLenum(buffer[i++]);
        int count = 0;
        if (token == GL_POLYGON_TOKEN) {
            count = int(buffer[i++]);
            ++f.polygons;
            for (int k = 0; k < count; ++k) {
                const GLfloat* v = buffer + i + k * vertexSize;
                f.polygonVertices.push_back({v[0], v[1], v[7], v[8]});
            }
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            count = 2;
            ++f.lines;
        } else if (token == GL_POINT_TOKEN) {
            count = 1;
            ++f.points;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            count = 0;
            ++i;
        }
        i += count * vertexSize;
    }
    return f;
}

// An identity view onto 100 x 100 pixels: x, y in -1..1 fill the window.
void IdentityView(SceneRender& r)
{
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glViewport(0, 0, 100, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST(Polygon, KeepsItsOwnCopyOfThePoints)
{
    CVPolygon* p = Held(new CVPolygon);
    {
        std::vector<Point3fStruct> points = UShape();
        p->SetPointArray(points.data(), int(points.size()));
        points[0] = {9, 9, 9};
    } // the caller's array is gone
    ASSERT_EQ(p->GetPoints().size(), 8u);
    EXPECT_EQ(p->GetPoints()[0].x, -1.0f);
    SceneRender r;
    auto* camera = OrthoCamera(2.4f);
    camera->Ref();
    auto* shape = new CVShape;
    shape->geometry.SetValue(p);
    camera->children.Add(shape);
    EXPECT_EQ(r.Render(camera), 1);
    camera->Unref();
    p->Unref();
}

TEST(Polygon, RepeatedAndClosingPointsAreDropped)
{
    CVPolygon* p = Held(new CVPolygon);
    const Point3fStruct a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
    Point3fStruct closed[] = {a, a, b, c, c, a};
    p->SetPointArray(closed, 6);
    ASSERT_EQ(p->GetPoints().size(), 3u);
    EXPECT_EQ(p->GetPrimitives().size(), 1u);
    p->SetConvex(1);
    Point3fStruct line[] = {a, b, b, a};
    p->SetPointArray(line, 4);
    EXPECT_EQ(p->GetPoints().size(), 2u);
    EXPECT_TRUE(p->GetPrimitives().empty()); // fewer than three: nothing to draw
    p->SetPointArray(nullptr, 3);
    EXPECT_TRUE(p->GetPoints().empty());
    CVBox3f box; // untouched without points
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_TRUE(box.IsEmpty());
    p->Unref();
}

TEST(Polygon, ConcaveOutlineLeavesItsNotchEmpty)
{
    CVPolygon* p = Held(new CVPolygon);
    auto points = UShape();
    p->SetPointArray(points.data(), int(points.size()));
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(new CVMaterial);
    appearance->material->diffuseColor.SetValue(1, 0, 0);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(p);
    auto* camera = OrthoCamera(2.5f); // 40 pixels a unit
    camera->Ref();
    camera->children.Add(shape);
    SceneRender r;
    r.Render(camera);
    EXPECT_EQ(r.At(50, 30), kBlack); // the gap, (0, 0.5)
    EXPECT_EQ(r.At(50, 70), kRed);   // the base, (0, -0.5)
    EXPECT_EQ(r.At(20, 20), kRed);   // a post
    // Area 4 - 1.5 = 2.5 square units: 4,000 pixels.
    EXPECT_NEAR(r.Count(kRed), 4000, 120);
    CVBox3f box;
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FLOAT_EQ(box.GetSize().x, 2);
    EXPECT_FLOAT_EQ(box.GetSize().y, 2);
    camera->Unref();
    p->Unref();
}

TEST(Polygon, EveryPrimitiveCarriesTextureCoordinates)
{
    CVPolygon* p = Held(new CVPolygon);
    auto points = UShape();
    for (auto& pt : points)
        pt = {pt.x * 0.8f, pt.y * 0.8f, 0}; // inside the window
    p->SetPointArray(points.data(), int(points.size()));
    ASSERT_GT(p->GetPrimitives().size(), 1u);
    SceneRender r;
    IdentityView(r);
    CVState state;
    Feedback f = Capture([&] { p->Render(&state, r.Area(), nullptr); });
    ASSERT_FALSE(f.polygonVertices.empty());
    for (const auto& v : f.polygonVertices) {
        // Window x runs 0..100 over -1..1; the points span -0.8..0.8.
        float x = v.x / 50.0f - 1.0f, y = v.y / 50.0f - 1.0f;
        EXPECT_NEAR(v.s, (x + 0.8f) / 1.6f, 1e-3) << x << " " << y;
        EXPECT_NEAR(v.t, 1.0f - (y + 0.8f) / 1.6f, 1e-3) << x << " " << y;
    }
    p->Unref();
}

TEST(Polygon, ThickOutlinesDotTheirCornersAndLeaveTheStateAsFound)
{
    CVPolygon* p = Held(new CVPolygon);
    Point3fStruct square[] = {{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}};
    p->SetPointArray(square, 4);
    p->SetOutlineVisible(1);
    p->SetAntialiasedFlag(1);
    SceneRender r;
    IdentityView(r);
    CVState state;
    for (float thickness : {2.0f, 3.0f}) {
        p->SetOutlineThickness(thickness);
        Feedback f = Capture([&] { p->Render(&state, r.Area(), nullptr); });
        EXPECT_EQ(f.lines, 4) << thickness;
        EXPECT_EQ(f.points, thickness > 2.0f ? 4 : 0) << thickness;
    }
    for (bool lit : {false, true}) {
        lit ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        p->Render(&state, r.Area(), nullptr);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit ? GL_TRUE : GL_FALSE);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLfloat width = 0;
        glGetFloatv(GL_LINE_WIDTH, &width);
        EXPECT_EQ(width, 1.0f);
    }
    // No outline while picking.
    state.m_bPickMode = 1;
    Feedback picked = Capture([&] { p->Render(&state, r.Area(), nullptr); });
    EXPECT_EQ(picked.lines, 0);
    EXPECT_GT(picked.polygons, 0);
    p->Unref();
}

TEST(Polygon, AFlatPolygonGetsAUsableNormal)
{
    CVPolygon* p = Held(new CVPolygon);
    Point3fStruct line[] = {{0, 0, 0}, {0.5f, 0, 0}, {1, 0, 0}};
    p->SetConvex(1);
    p->SetPointArray(line, 3);
    ASSERT_EQ(p->GetPrimitives().size(), 1u);
    SceneRender r;
    IdentityView(r);
    CVState state;
    p->Render(&state, r.Area(), nullptr);
    GLfloat n[4];
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 1.0f);
    p->Unref();
}

} // namespace

namespace {
// The star polygon {n/k}: n points on a circle, each joined to the k-th
// next; every edge crosses 2 (k - 1) others, n (k - 1) crossings in all.
std::vector<Point3fStruct> Star(int n, int k)
{
    std::vector<Point3fStruct> out;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * M_PI * double((i * k) % n) / n;
        out.push_back({float(std::cos(a)), float(std::sin(a)), 0.0f});
    }
    return out;
}
} // namespace

TEST(Polygon, OutlinesThatCrossThemselvesTooOftenAreNotFilled)
{
    // 4,096 crossings are filled; 4,097 are refused at once rather than
    // keeping the tessellator busy for minutes.
    EXPECT_FALSE(lumo::TooTangledToTessellate({Star(1024, 5)}));
    EXPECT_FALSE(lumo::Tessellate(Star(1024, 5), nullptr, false).empty());
    EXPECT_TRUE(lumo::TooTangledToTessellate({Star(4097, 2)}));
    CVPolygon polygon;
    polygon.SetPointArray(Star(4097, 2).data(), 4097);
    EXPECT_TRUE(polygon.GetPrimitives().empty());
    // A plain circle of the most points, then one more.
    EXPECT_FALSE(lumo::TooTangledToTessellate({Star(int(lumo::kMaxTessPoints), 1)}));
    EXPECT_TRUE(lumo::TooTangledToTessellate({Star(int(lumo::kMaxTessPoints) + 1, 1)}));
    // Crossings between contours count too.
    std::vector<std::vector<Point3fStruct>> bars;
    for (int i = 0; i < 65; ++i) {
        const float x = float(i) * 0.1f;
        bars.push_back({{x, 0, 0}, {x + 0.05f, 0, 0}, {x + 0.05f, 10, 0}, {x, 10, 0}});
        bars.push_back({{0, x, 0}, {10, x, 0}, {10, x + 0.05f, 0}, {0, x + 0.05f, 0}});
    }
    // 65 x 65 crossings of bar and bar, four edge crossings each.
    EXPECT_TRUE(lumo::TooTangledToTessellate(bars));
}

TEST(Polygon, AFaceSetFaceTooTangledToFillIsLeftOutAndTheRestDrawn)
{
    // One face tangled past the bound beside one plain square.
    const std::vector<Point3fStruct> star = Star(4097, 2);
    auto* coord = new CVCoordinate;
    auto* faces = new CVIndexedFaceSet;
    for (const Point3fStruct& p : star)
        coord->point.Add(Point3fStruct{p.x - 1.5f, p.y, 0.0f});
    for (int i = 0; i < int(star.size()); ++i)
        faces->coordIndex.Add(i);
    faces->coordIndex.Add(-1);
    const int base = coord->point.GetNum();
    for (const Point3fStruct& p : {Point3fStruct{1, -1, 0}, Point3fStruct{2, -1, 0}, Point3fStruct{2, 1, 0},
                                   Point3fStruct{1, 1, 0}})
        coord->point.Add(p);
    for (int i = 0; i < 4; ++i)
        faces->coordIndex.Add(base + i);
    faces->coord.SetValue(coord);
    faces->convex.SetValue(0);
    faces->solid.SetValue(0);
    auto* shape = new CVShape;
    shape->geometry.SetValue(faces);
    SceneRender r(200, 100);
    lumo::test::HeldCamera scene(OrthoCamera(3.0f));
    scene.Add(shape);
    ASSERT_EQ(r.Render(scene.camera), 1);
    const auto b = r.Bounds(kBlack, 8);
    EXPECT_GT(b[0], 100); // only the square, right of the middle
}
