// Extrusions as they draw and measure: the default cross-section's closed
// box, a two-point ribbon without caps, crease angles and shading, the
// frames along straight and turning spines, scale and orientation lists,
// texture coordinates, degenerate spines, sections and rotations, the
// bounding box made without OpenGL and kept in step with the fields, the
// point bound, and picking.
#include "scene/model/Box3f.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/ExtrusionSweep.h"
#include "scene/nodes/Lights.h"
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
const Pixel kRed{255, 0, 0};

CVExtrusion* Extrusion(std::initializer_list<Point3fStruct> spine, std::initializer_list<Point2fStruct> cross = {})
{
    auto* e = new CVExtrusion;
    for (const Point3fStruct& p : spine)
        e->spine.Add(p);
    for (const Point2fStruct& p : cross)
        e->crossSection.Add(p);
    return e;
}

// The shape turned by 'angle' about 'axis' (so that the side looked at
// faces the camera on +z), centred on 'centre'.
CVTransform* Turned(CVGeometry* g, CVRotation rotation, Point3fStruct centre = {0, 0, 0})
{
    auto* t = new CVTransform;
    t->rotation.SetValue(rotation.x, rotation.y, rotation.z, rotation.angle);
    t->translation.SetValue(-centre.x, -centre.y, -centre.z);
    t->children.Add(ShapeOf(g, {1, 0, 0}));
    return t;
}

// Red pixels of the extrusion seen from one side, in a view 4 units high
// on 100 pixels (25 pixels to the unit).
int RedSeenFrom(CVExtrusion* e, CVRotation rotation, Point3fStruct centre = {0, 0, 0})
{
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(Turned(e, rotation, centre));
    EXPECT_EQ(r.Render(scene.camera), 1);
    return r.Count(kRed, 40);
}

CVBox3f BoxOf(CVExtrusion* e)
{
    CVBox3f box;
    e->ComputeBoundingBox(nullptr, nullptr, &box);
    return box;
}

void ExpectBox(const CVBox3f& box, CVVector lo, CVVector hi, float tolerance = 1e-5f)
{
    ASSERT_FALSE(box.IsEmpty());
    CVVector min, max;
    box.ComputeMinMax(min, max);
    EXPECT_NEAR(min.x, lo.x, tolerance);
    EXPECT_NEAR(min.y, lo.y, tolerance);
    EXPECT_NEAR(min.z, lo.z, tolerance);
    EXPECT_NEAR(max.x, hi.x, tolerance);
    EXPECT_NEAR(max.y, hi.y, tolerance);
    EXPECT_NEAR(max.z, hi.z, tolerance);
}

lumo::extrusion::SweepInput InputOf(const CVExtrusion& e)
{
    lumo::extrusion::SweepInput in;
    in.spine = e.spine.GetValues();
    in.numSpine = e.spine.GetNum();
    in.cross = e.crossSection.GetValues();
    in.numCross = e.crossSection.GetNum();
    in.scale = e.scale.GetValues();
    in.numScale = e.scale.GetNum();
    in.orientation = e.orientation.GetValues();
    in.numOrientation = e.orientation.GetNum();
    return in;
}

// The polygons the extrusion sends, through the feedback buffer, and the
// sum of their areas on the screen (in pixels of the 100-pixel view).
struct Sent {
    int polygons = 0;
    double area = 0.0;
};

// The shape drawn directly, turned by 'turnX' degrees about x.
Sent Feedback(SceneRender& r, CVShape* shape, float turnX = 0.0f)
{
    std::vector<GLfloat> buffer(1 << 16);
    EXPECT_TRUE(r.Area()->MakeCurrent());
    glFeedbackBuffer(GLsizei(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    CVState state;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(turnX, 1, 0, 0);
    glViewport(0, 0, 100, 100);
    glDisable(GL_CULL_FACE);
    shape->Render(&state, r.Area());
    const GLint n = glRenderMode(GL_RENDER);
    Sent sent;
    for (GLint i = 0; i < n;) {
        const GLfloat token = buffer[size_t(i++)];
        if (token == GL_POLYGON_TOKEN) {
            const int count = int(buffer[size_t(i++)]);
            double twice = 0.0;
            for (int v = 0; v < count; ++v) {
                const GLfloat* p = &buffer[size_t(i + 2 * v)];
                const GLfloat* q = &buffer[size_t(i + 2 * ((v + 1) % count))];
                twice += double(p[0]) * q[1] - double(q[0]) * p[1];
            }
            ++sent.polygons;
            sent.area += std::fabs(twice) / 2.0;
            i += 2 * count;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += 2;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 4;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unknown feedback token " << token;
            break;
        }
    }
    return sent;
}

} // namespace

TEST(ExtrusionShape, TheDefaultCrossSectionIsAClosedBoxSeenFromEverySide)
{
    CVExtrusion* e = Extrusion({{0, 0, 0}, {0, 1, 0}});
    Kept kept(e);
    ExpectBox(BoxOf(e), {-1, 0, -1}, {1, 1, 1});
    // The square stays in the field.
    ASSERT_EQ(e->crossSection.GetNum(), 5);
    EXPECT_EQ(e->crossSection[0].x, -1.0f);
    EXPECT_EQ(e->crossSection[0].y, 1.0f);
    EXPECT_EQ(e->crossSection[2].x, 1.0f);
    EXPECT_EQ(e->crossSection[2].y, -1.0f);
    EXPECT_EQ(e->crossSection[4].x, -1.0f);
    EXPECT_EQ(e->crossSection[4].y, 1.0f);

    const Point3fStruct middle{0, 0.5f, 0};
    const float quarter = float(M_PI / 2);
    // Faces culled from behind (solid): each side shows only where its
    // outside faces the camera. Caps 2 x 2 units (50 x 50 pixels), sides
    // 2 x 1 (50 x 25).
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(1, 0, 0, quarter), middle), 2500, 150) << "end cap (from +y)";
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(1, 0, 0, -quarter), middle), 2500, 150) << "begin cap (from -y)";
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(0, 1, 0, 0), middle), 1250, 100) << "side at +z";
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(0, 1, 0, 2 * quarter), middle), 1250, 100) << "side at -z";
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(0, 1, 0, quarter), middle), 1250, 100) << "side at -x";
    EXPECT_NEAR(RedSeenFrom(e, CVRotation(0, 1, 0, -quarter), middle), 1250, 100) << "side at +x";

    // Without caps the tube is open: from above nothing faces the camera.
    e->beginCap.SetValue(0);
    e->endCap.SetValue(0);
    EXPECT_LT(RedSeenFrom(e, CVRotation(1, 0, 0, quarter), middle), 150);
    EXPECT_LT(RedSeenFrom(e, CVRotation(1, 0, 0, -quarter), middle), 150);
}

TEST(ExtrusionShape, ATwoPointCrossSectionIsARibbonWithoutCaps)
{
    // A ribbon 2 wide along x, standing 1 high on the spine.
    CVExtrusion* ribbon = Extrusion({{0, 0, 0}, {0, 1, 0}}, {{-1, 0}, {1, 0}});
    Kept kept(ribbon);
    ASSERT_TRUE(ribbon->beginCap.GetValue() && ribbon->endCap.GetValue());
    ExpectBox(BoxOf(ribbon), {-1, 0, 0}, {1, 1, 0});
    const Point3fStruct middle{0, 0.5f, 0};
    EXPECT_NEAR(RedSeenFrom(ribbon, CVRotation(0, 1, 0, 0), middle), 1250, 100) << "its front faces +z";
    EXPECT_EQ(RedSeenFrom(ribbon, CVRotation(0, 1, 0, float(M_PI)), middle), 0) << "culled from behind";

    // Everything it sends: the one side quad and nothing else.
    SceneRender r;
    Kept shape(ShapeOf(ribbon, {1, 0, 0}));
    Sent sent = Feedback(r, static_cast<CVShape*>(shape.node));
    EXPECT_NEAR(sent.area, 50.0 * 25.0, 2.0);

    // Three points make a triangle section: now the caps come.
    CVExtrusion* prism = Extrusion({{0, 0, 0}, {0, 1, 0}}, {{-1, 0}, {1, 0}, {0, 1}});
    prism->solid.SetValue(0); // both caps sent, whichever way they face
    Kept prismShape(ShapeOf(prism, {1, 0, 0}));
    sent = Feedback(r, static_cast<CVShape*>(prismShape.node), 90.0f);
    // Seen from above, only the two caps (1 square unit each = 625 pixels)
    // have area.
    EXPECT_NEAR(sent.area, 2 * 625.0, 4.0);
}

TEST(ExtrusionShading, CreaseAngleZeroShadesFacetsAndPiSmoothsThem)
{
    // A 24-sided tube standing on the view's y axis, lit from the viewer.
    auto tube = [](float crease) {
        auto* e = new CVExtrusion;
        e->spine.Add({0, -1.5f, 0});
        e->spine.Add({0, 1.5f, 0});
        for (int k = 0; k <= 24; ++k) {
            const double a = 2.0 * M_PI * (k % 24) / 24.0;
            e->crossSection.Add({float(1.5 * std::cos(a)), float(-1.5 * std::sin(a))});
        }
        e->creaseAngle.SetValue(crease);
        return e;
    };
    // The shades along the middle row, and the largest step between
    // neighbouring pixels.
    auto shades = [&](float crease, int& biggestStep) {
        SceneRender r;
        HeldCamera scene(OrthoCamera(4.0f));
        scene.Add(new CVLightModel).Add(ShapeOf(tube(crease), {0.8f, 0.8f, 0.8f}));
        r.Action().SetHeadlightOn(1);
        EXPECT_EQ(r.Render(scene.camera), 1);
        std::set<int> seen;
        biggestStep = 0;
        for (int x = 20; x < 80; ++x) {
            seen.insert(r.At(x, 50)[1]);
            if (x > 20)
                biggestStep = std::max(biggestStep, std::abs(r.At(x, 50)[1] - r.At(x - 1, 50)[1]));
        }
        return int(seen.size());
    };
    int flatStep = 0, smoothStep = 0;
    const int flat = shades(0.0f, flatStep);
    const int smooth = shades(3.14f, smoothStep);
    // 60 pixels cover about 9 facets: flat, one shade each.
    EXPECT_LE(flat, 12);
    EXPECT_GT(smooth, 2 * flat);
    EXPECT_GT(flatStep, 2 * smoothStep);

    // The library's own mapping with no crease across the spine still
    // smooths round the section: a straight tube looks the same.
    CVExtrusion* own = tube(3.14f);
    Kept kept(own);
    own->SetVRMLCompliantFlag(0);
    own->spineCreaseAngle.SetValue(0.0f);
    lumo::extrusion::Sweep sweep;
    ASSERT_TRUE(lumo::extrusion::SweepPositions(InputOf(*own), sweep));
    lumo::extrusion::Shading sh;
    lumo::extrusion::ShadingInput si;
    si.creaseAngle = 3.14f;
    si.spineCreaseAngle = 0.0f;
    lumo::extrusion::SweepShading(InputOf(*own), sweep, si, sh);
    for (unsigned char flags : sh.smooth)
        EXPECT_EQ(int(flags), int(lumo::extrusion::Shading::ACROSS_SECTION));
    si.spineCreaseAngle = 3.14f;
    lumo::extrusion::SweepShading(InputOf(*own), sweep, si, sh);
    for (unsigned char flags : sh.smooth)
        EXPECT_EQ(int(flags), lumo::extrusion::Shading::ACROSS_SECTION | lumo::extrusion::Shading::ACROSS_SPINE);
}

TEST(ExtrusionFrames, StraightSpinesTurningSpinesScaleAndOrientation)
{
    using lumo::extrusion::Sweep;
    using lumo::extrusion::SweepPositions;
    auto at = [](const Sweep& s, int j, int k) { return s.At(j, k); };
    // Along +y the section's z runs along +z; along -y along -z.
    CVExtrusion up, down;
    for (CVExtrusion* e : {&up, &down}) {
        e->crossSection.Add({0, 1});
        e->crossSection.Add({1, 0});
    }
    up.spine.Add({0, 0, 0});
    up.spine.Add({0, 1, 0});
    down.spine.Add({0, 0, 0});
    down.spine.Add({0, -1, 0});
    Sweep s;
    ASSERT_TRUE(SweepPositions(InputOf(up), s));
    EXPECT_FLOAT_EQ(at(s, 0, 0).z, 1.0f);
    EXPECT_FLOAT_EQ(at(s, 0, 1).x, 1.0f);
    ASSERT_TRUE(SweepPositions(InputOf(down), s));
    EXPECT_FLOAT_EQ(at(s, 0, 0).z, -1.0f);

    // A spine along +x: the frame turned a quarter about z.
    CVExtrusion side;
    side.crossSection.Add({1, 0});
    side.crossSection.Add({0, 1});
    side.spine.Add({0, 0, 0});
    side.spine.Add({2, 0, 0});
    ASSERT_TRUE(SweepPositions(InputOf(side), s));
    EXPECT_NEAR(at(s, 0, 0).y, -1.0f, 1e-6f); // X = Y x Z = (1, 0, 0) x (0, 0, 1)
    EXPECT_NEAR(at(s, 0, 1).z, 1.0f, 1e-6f);

    // One scale value scales every point; two on four points: point 0 by
    // the first, the rest by the second.
    CVExtrusion scaled;
    scaled.crossSection.Add({1, 0});
    scaled.crossSection.Add({0, 1});
    for (int j = 0; j < 4; ++j)
        scaled.spine.Add({0, float(j), 0});
    scaled.scale.Add({3, 3});
    ASSERT_TRUE(SweepPositions(InputOf(scaled), s));
    for (int j = 0; j < 4; ++j)
        EXPECT_FLOAT_EQ(at(s, j, 0).x, 3.0f) << j;
    scaled.scale.Add({2, 5});
    ASSERT_TRUE(SweepPositions(InputOf(scaled), s));
    EXPECT_FLOAT_EQ(at(s, 0, 0).x, 3.0f);
    for (int j = 1; j < 4; ++j) {
        EXPECT_FLOAT_EQ(at(s, j, 0).x, 2.0f) << j;
        EXPECT_FLOAT_EQ(at(s, j, 1).z, 5.0f) << j;
    }

    // An orientation turns the section about the spine point.
    scaled.scale.SetSize(0);
    scaled.orientation.Add(CVRotation(0, 1, 0, float(M_PI / 2)));
    ASSERT_TRUE(SweepPositions(InputOf(scaled), s));
    EXPECT_NEAR(at(s, 2, 0).x, 0.0f, 1e-6f);
    EXPECT_NEAR(at(s, 2, 0).z, -1.0f, 1e-6f);

    // A spine that turns in the x-y plane: Z is square to that plane, and
    // keeps its sense round the bend.
    CVExtrusion bend;
    bend.crossSection.Add({0, 1});
    bend.crossSection.Add({0, -1});
    bend.spine.Add({0, 0, 0});
    bend.spine.Add({0, 1, 0});
    bend.spine.Add({1, 1, 0});
    bend.spine.Add({1, 0, 0});
    ASSERT_TRUE(SweepPositions(InputOf(bend), s));
    for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(std::fabs(at(s, j, 0).z), 1.0f, 1e-6f) << j;
        EXPECT_NEAR(at(s, j, 0).z, at(s, 0, 0).z, 1e-6f) << j;
    }
}

TEST(ExtrusionTexture, SideCoordinatesFollowTheLengthsAndStretchForTheLibrarysOwnMapping)
{
    CVExtrusion e;
    e.crossSection.Add({0, 0});
    e.crossSection.Add({0.5f, 0});
    e.crossSection.Add({1, 0});
    e.spine.Add({0, 0, 0});
    e.spine.Add({0, 4, 0});
    e.spine.Add({0, 10, 0});
    lumo::extrusion::Sweep sweep;
    ASSERT_TRUE(lumo::extrusion::SweepPositions(InputOf(e), sweep));
    lumo::extrusion::Shading sh;
    lumo::extrusion::ShadingInput si;
    lumo::extrusion::SweepShading(InputOf(e), sweep, si, sh);
    ASSERT_EQ(sh.sideTex.size(), 9u);
    EXPECT_FLOAT_EQ(sh.sideTex[0].x, 0.0f);
    EXPECT_FLOAT_EQ(sh.sideTex[1].x, 0.5f);
    EXPECT_FLOAT_EQ(sh.sideTex[2].x, 1.0f);
    EXPECT_FLOAT_EQ(sh.sideTex[3].y, 0.4f);
    EXPECT_FLOAT_EQ(sh.sideTex[8].y, 1.0f);
    // Spine 10 times the section: t runs to 10.
    si.stretchTexture = true;
    lumo::extrusion::SweepShading(InputOf(e), sweep, si, sh);
    EXPECT_FLOAT_EQ(sh.sideTex[8].y, 10.0f);
    EXPECT_FLOAT_EQ(sh.sideTex[8].x, 1.0f);
    EXPECT_FLOAT_EQ(sh.sideTex[3].y, 4.0f);
    // A section without extent still gives numbers.
    CVExtrusion point;
    for (int k = 0; k < 3; ++k)
        point.crossSection.Add({2, 2});
    point.spine.Add({0, 0, 0});
    point.spine.Add({0, 0, 0});
    ASSERT_TRUE(lumo::extrusion::SweepPositions(InputOf(point), sweep));
    lumo::extrusion::SweepShading(InputOf(point), sweep, si, sh);
    for (const Point2fStruct& t : sh.sideTex)
        EXPECT_TRUE(std::isfinite(t.x) && std::isfinite(t.y));
    for (const Point2fStruct& t : sh.capTex)
        EXPECT_TRUE(std::isfinite(t.x) && std::isfinite(t.y));
}

TEST(ExtrusionFaults, DegenerateSpinesSectionsAndAxesGiveNumbers)
{
    // A spine whose points are all equal sweeps along +y: a flat section.
    CVExtrusion* still = Extrusion({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}});
    Kept keptStill(still);
    ExpectBox(BoxOf(still), {0, 2, 2}, {2, 2, 4});

    // A section whose points are all equal: sides without area face along
    // the spine; nothing is no number.
    CVExtrusion* thin = Extrusion({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 0}, {0, 0}, {0, 0}});
    Kept keptThin(thin);
    thin->creaseAngle.SetValue(3.0f);
    lumo::extrusion::Sweep sweep;
    ASSERT_TRUE(lumo::extrusion::SweepPositions(InputOf(*thin), sweep));
    lumo::extrusion::Shading sh;
    lumo::extrusion::ShadingInput si;
    si.creaseAngle = si.spineCreaseAngle = 3.0f;
    lumo::extrusion::SweepShading(InputOf(*thin), sweep, si, sh);
    for (const CVVector& n : sh.faceNormals)
        EXPECT_NEAR(n.Length(), 1.0f, 1e-5f);
    for (int j = 0; j < sweep.ns; ++j)
        for (int k = 0; k < sweep.nc; ++k)
            for (int corner = 1; corner <= 4; ++corner) {
                const CVVector n = lumo::extrusion::CalcAveragedNormal(sweep, j, k, sh.faceNormals,
                                                                       sh.smooth[size_t(j * sweep.nc + k)], corner);
                EXPECT_NEAR(n.Length(), 1.0f, 1e-5f) << j << " " << k << " " << corner;
            }
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(ShapeOf(thin, {1, 0, 0}));
    EXPECT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Count(kRed, 40), 0);

    // An orientation about a zero axis turns nothing.
    CVExtrusion* plain = Extrusion({{0, 0, 0}, {0, 1, 0}}, {{0, 0}, {2, 0}, {2, 1}});
    Kept keptPlain(plain);
    const CVBox3f before = BoxOf(plain);
    plain->orientation.Add(CVRotation(0, 0, 0, 1.2f));
    const CVBox3f after = BoxOf(plain);
    CVVector a0, a1, b0, b1;
    before.ComputeMinMax(a0, a1);
    after.ComputeMinMax(b0, b1);
    EXPECT_EQ(a0.x, b0.x);
    EXPECT_EQ(a1.x, b1.x);
    EXPECT_EQ(a1.z, b1.z);

    // Values that are no numbers: nothing drawn, an empty box, a reason.
    plain->spine.SetAt(1, {0, NAN, 0});
    EXPECT_TRUE(BoxOf(plain).IsEmpty());
    EXPECT_NE(plain->GetProblem(), L"");
}

TEST(ExtrusionFaults, TheBoxIsMadeWithoutOpenGLAndFollowsEveryField)
{
    SceneRender r;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    CVExtrusion* e = Extrusion({{0, 0, 0}, {0, 1, 0}});
    Kept kept(e);
    glLineWidth(5.0f);
    glPointSize(4.0f);
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    const CVBox3f box = BoxOf(e);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0) << "nothing is sent while measuring";
    GLfloat width = 0, size = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(width, 5.0f);
    EXPECT_EQ(size, 4.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glLineWidth(1.0f);
    glPointSize(1.0f);
    ExpectBox(box, {-1, 0, -1}, {1, 1, 1});

    // Every field that moves a point moves the box, changed in place.
    e->spine.SetAt(1, {0, 3, 0});
    ExpectBox(BoxOf(e), {-1, 0, -1}, {1, 3, 1});
    e->crossSection.SetAt(1, {4, 1});
    ExpectBox(BoxOf(e), {-1, 0, -1}, {4, 3, 1});
    e->scale.Add({0.5f, 2});
    ExpectBox(BoxOf(e), {-0.5f, 0, -2}, {2, 3, 2});
    e->orientation.Add(CVRotation(0, 1, 0, float(M_PI)));
    ExpectBox(BoxOf(e), {-2, 0, -2}, {0.5f, 3, 2}, 1e-5f);
    e->spine.SetSize(1);
    EXPECT_TRUE(BoxOf(e).IsEmpty()) << "one spine point sweeps nothing";
}

TEST(ExtrusionFaults, ThePointBoundHoldsAtItsEdge)
{
    CVExtrusion e;
    for (int j = 0; j < 2048; ++j)
        e.spine.Add({0, float(j), 0});
    for (int k = 0; k < 2048; ++k)
        e.crossSection.Add({float(k), 0});
    ASSERT_EQ(std::int64_t(2048) * 2048, CVExtrusion::kMaxPoints);
    EXPECT_EQ(e.GetProblem(), L"");
    e.crossSection.Add({0, 1});
    EXPECT_NE(e.GetProblem(), L"");
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* held = new CVExtrusion;
    held->spine.Clone(e.spine);
    held->crossSection.Clone(e.crossSection);
    scene.Add(ShapeOf(held, {1, 0, 0}));
    r.Area()->GetErrorReport().Clear();
    EXPECT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Count(kRed, 40), 0);
    EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 1) << "reported once";
    EXPECT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Area()->GetErrorReport().GetCount(), 1);
    EXPECT_TRUE(BoxOf(held).IsEmpty());
}

TEST(ExtrusionPicking, SelectionModeDrawsAfterTheListWasCompiled)
{
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    CVExtrusion* e = Extrusion({{0, 0, 0}, {0, 1, 0}, {1, 1.5f, 0}});
    e->convex.SetValue(0);
    CVShape* shape = ShapeOf(e, {1, 0, 0});
    scene.Add(shape);
    ASSERT_EQ(r.Render(scene.camera), 1); // compiles the list
    EXPECT_FALSE(e->IsModified());
    EXPECT_GT(r.Count(kRed, 60), 100);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[64];
    glSelectBuffer(64, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    shape->Render(&state, r.Area());
    EXPECT_EQ(glRenderMode(GL_RENDER), 1);
    std::unique_ptr<CVDetail> detail(shape->GetPickDetail(12));
    ASSERT_TRUE(detail && detail->IsKindOf<CVExtrusionDetail>());
    EXPECT_EQ(static_cast<CVExtrusionDetail*>(detail.get())->GetGeometry(), e);
}
