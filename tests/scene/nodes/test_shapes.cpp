#include "scene/cache/CacheManager.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Cone.h"
#include "scene/nodes/Cylinder.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using lumo::test::Near;
using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

const Pixel kBlack{0, 0, 0};

CVShape* MakeShape(CVGeometry* geometry, RGBColorStruct colour, float transparency = 0.0f)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(colour);
    material->transparency.SetValue(transparency);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

// A camera holding its children, released at scope end.
struct Scene {
    CVCamera* camera;
    explicit Scene(CVCamera* c) : camera(c) { camera->Ref(); }
    ~Scene() { camera->Unref(); }
    Scene& Add(CVChild* child)
    {
        camera->children.Add(child);
        return *this;
    }
};

CVTransform* Moved(CVChild* child, float x, float y, float z)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, z);
    t->children.Add(child);
    return t;
}

TEST(Primitives, EachHasItsSilhouetteUnlit)
{
    // View height 4 on 100 pixels: 25 pixels a unit; unlit, so the material
    // colour itself.
    struct Case {
        CVGeometry* geometry;
        int width, height; // expected silhouette, in pixels
    };
    auto* flat = new CVBox;
    flat->size.SetValue(2, 1, 0);
    auto* cone = new CVCone;
    auto* cylinder = new CVCylinder;
    cylinder->radius.SetValue(0.5f);
    auto* sphere = new CVSphere;
    sphere->slices = 48;
    Case cases[] = {{new CVBox, 50, 50}, {flat, 50, 25}, {cone, 50, 50}, {cylinder, 25, 50}, {sphere, 50, 50}};
    for (Case& c : cases) {
        SceneRender r;
        Scene scene(OrthoCamera(4.0f));
        scene.Add(MakeShape(c.geometry, {1, 0, 0}));
        ASSERT_EQ(r.Render(scene.camera), 1);
        auto b = r.Bounds(kBlack);
        EXPECT_NEAR(b[2] - b[0] + 1, c.width, 2) << c.geometry->GetRuntimeClass()->m_lpszClassName;
        EXPECT_NEAR(b[3] - b[1] + 1, c.height, 2) << c.geometry->GetRuntimeClass()->m_lpszClassName;
        EXPECT_EQ(r.At(50, 50), (Pixel{255, 0, 0})) << c.geometry->GetRuntimeClass()->m_lpszClassName;
    }
}

TEST(Primitives, WireBoxDrawsOnlyEdges)
{
    SceneRender r;
    auto* wire = new CVBox;
    wire->size.SetValue(-2, -2, -2);
    Scene scene(OrthoCamera(4.0f));
    scene.Add(MakeShape(wire, {0, 1, 0}));
    r.Render(scene.camera);
    EXPECT_EQ(r.At(50, 50), kBlack); // hollow
    auto b = r.Bounds(kBlack);
    EXPECT_NEAR(b[2] - b[0] + 1, 50, 2);
}

TEST(Primitives, MaterialColourUnderTheHeadlight)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    scene.Add(new CVLightModel).Add(MakeShape(new CVBox, {0.8f, 0.2f, 0.1f}));
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    // The front face faces the light: diffuse colour plus ambient terms.
    Pixel p = r.At(50, 50);
    EXPECT_GT(p[0], 200);
    EXPECT_LT(p[1], 90);
    EXPECT_LT(p[2], 60);
    EXPECT_GT(p[1], p[2]);
    r.Action().SetHeadlightOn(0);
    r.Render(scene.camera);
    Pixel dark = r.At(50, 50);
    EXPECT_LT(dark[0], p[0] / 2); // only ambient light without the headlight
}

TEST(Transparency, TransparentShapeBlendsOverTheOpaqueOneBehindIt)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    // The transparent shape comes first in the scene but lies in front.
    scene.Add(Moved(MakeShape(new CVBox, {0, 0, 1}, 0.5f), 0, 0, 2)).Add(MakeShape(new CVBox, {1, 0, 0}));
    r.Render(scene.camera);
    Pixel p = r.At(50, 50);
    EXPECT_NEAR(p[0], 128, 3);
    EXPECT_NEAR(p[2], 128, 3);
    r.Area()->SetTransparencyEnabled(0);
    r.Render(scene.camera);
    // Drawn at once (in scene order, depth-tested): blending is off, blue wins.
    EXPECT_EQ(r.At(50, 50), (Pixel{0, 0, 255}));
}

TEST(Transparency, TransparentShapesAreQueuedOnlyWhenTransparencyIsOn)
{
    SceneRender r;
    std::unique_ptr<CVShape, void (*)(CVShape*)> shape(MakeShape(new CVBox, {1, 1, 1}, 0.5f),
                                                          [](CVShape* s) { s->Unref(); });
    shape->Ref();
    ASSERT_TRUE(r.Area()->MakeCurrent());
    CVState state;
    state.m_nRenderPass = PASS_MAIN;
    shape->Render(&state, r.Area());
    EXPECT_EQ(r.Area()->GetTransparentNodeListSize(), 1);
    EXPECT_TRUE(shape->geometry->IsTransparent());
    r.Area()->ResetTransparentNodeList();
    r.Area()->SetTransparencyEnabled(0);
    shape->Render(&state, r.Area());
    EXPECT_EQ(r.Area()->GetTransparentNodeListSize(), 0);
}

TEST(Materials, TwoSidedMaterialColoursTheBackFace)
{
    SceneRender r;
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterialTwoSided;
    material->diffuseColor.SetValue(1, 0, 0);
    material->backDiffuseColor.SetValue(0, 1, 0);
    material->separateBack.SetValue(1);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    auto* flat = new CVBox;
    flat->size.SetValue(2, 2, 0);
    shape->geometry.SetValue(flat);
    auto* turned = new CVTransform;
    turned->rotation.SetValue(0, 1, 0, 3.14159265f); // show the back face
    turned->children.Add(shape);
    auto* model = new CVLightModel;
    model->twoSided.SetValue(1);
    Scene scene(OrthoCamera(4.0f));
    // Back faces are culled by default; a draw style node cannot switch that,
    // so the test turns culling off through a node of its own.
    struct NoCull : CVChild {
        void Render(CVState*, CVGLRenderArea*) override { glDisable(GL_CULL_FACE); }
    };
    scene.Add(model).Add(new NoCull).Add(turned);
    r.Action().SetHeadlightOn(1);
    r.Render(scene.camera);
    Pixel back = r.At(50, 50);
    EXPECT_GT(back[1], 150);
    EXPECT_LT(back[0], 60);
    material->separateBack.SetValue(0);
    r.Render(scene.camera);
    EXPECT_GT(r.At(50, 50)[0], 150); // without the switch the back uses the front colours
}

TEST(DropShadows, ShadowPixelsTakeTheShadowColour)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    auto* box = new CVBox;
    box->size.SetValue(1, 1, 1);
    box->SetDropShadowFlag(1);
    scene.Add(MakeShape(box, {1, 1, 1}));
    r.Area()->SetDropShadowsEnabled(1);
    r.Area()->SetShadowProjectionZ(0.0); // the receiving plane z = 0, light (0.5, 0.45, 1)
    r.Area()->SetDropShadowColor(RGBAColorStruct{0.4f, 0.4f, 0.4f, 0.5f});
    r.Render(scene.camera);
    int shadow = r.Count({102, 102, 102}, 3);
    EXPECT_GT(shadow, 50);
    EXPECT_EQ(r.At(50, 50), (Pixel{255, 255, 255}));
    r.Area()->SetDropShadowsEnabled(0);
    r.Render(scene.camera);
    EXPECT_EQ(r.Count({102, 102, 102}, 3), 0);
}

TEST(ClipPlanes, ClipPlaneCutsAwayTheOtherHalf)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    auto* clip = new CVClipPlane; // keeps x >= 0
    auto* group = new CVGroup;
    group->children.Add(clip);
    group->children.Add(MakeShape(new CVBox, {1, 0, 0}));
    scene.Add(group);
    r.Render(scene.camera);
    EXPECT_EQ(r.At(40, 50), kBlack);
    EXPECT_EQ(r.At(60, 50), (Pixel{255, 0, 0}));
    auto b = r.Bounds(kBlack);
    EXPECT_NEAR(b[0], 50, 1);
}

TEST(Cameras, OrthographicAndPerspectiveSizeOfTheSameBox)
{
    auto width = [](CVCamera* camera) {
        SceneRender r;
        Scene scene(camera);
        scene.Add(MakeShape(new CVBox, {1, 1, 1}));
        r.Render(scene.camera);
        auto b = r.Bounds(kBlack);
        return b[2] - b[0] + 1;
    };
    EXPECT_NEAR(width(OrthoCamera(4.0f)), 50, 1);
    auto* perspective = new CVPerspectiveCamera;
    perspective->farPlane.SetValue(20.0f);
    // The front face (z = 1) is 9 units away: 2 / (2 * 9 * tan(pi / 8)) of the view.
    double expected = 100.0 * 2.0 / (2.0 * 9.0 * std::tan(3.14159265 / 8.0));
    EXPECT_NEAR(width(perspective), expected, 2);
    auto* flatPerspective = new CVPerspectiveCamera;
    flatPerspective->isPerspective.SetValue(0);
    flatPerspective->viewAngle.SetValue(4.0f); // view height 4 when not perspective
    EXPECT_NEAR(width(flatPerspective), 50, 1);
}

TEST(Cameras, ProjectionIsStoredInTheAreaAndInflatedAnglesWiden)
{
    SceneRender r;
    auto* camera = new CVPerspectiveCamera;
    camera->isPerspective.SetValue(0);
    camera->viewAngle.SetValue(2.0f);
    Scene scene(camera);
    r.Area()->SetViewport(0, 0, 150, 100);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    camera->Render(nullptr, r.Area());
    const double* p = r.Area()->GetProjectionMatrix();
    // glOrtho(-1.5, 1.5, -1, 1, 1, 10).
    EXPECT_NEAR(p[0], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(p[5], 1.0, 1e-6);
    EXPECT_NEAR(p[10], -2.0 / 9.0, 1e-6);
    EXPECT_NEAR(p[14], -11.0 / 9.0, 1e-6);
    // With inflation 3 a perspective camera widens its angle to keep the window's picture.
    CVGLRenderArea::SetInflateWorld(1);
    auto* wide = new CVPerspectiveCamera;
    Scene other(wide);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    wide->SetProjection(1.0f);
    double m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    double degrees = 2.0 * std::atan(1.0 / m[5]) * 180.0 / 3.14159265358979;
    EXPECT_NEAR(degrees, 102.35, 0.05);
    CVGLRenderArea::SetInflateWorld(0);
    glMatrixMode(GL_MODELVIEW);
}

TEST(Cameras, ViewpointCopiedIntoTheCamera)
{
    SceneRender r;
    CVViewpoint viewpoint;
    viewpoint.position.SetValue(2, 0, 10); // looking at x = 2
    auto* camera = OrthoCamera(4.0f);
    camera->position.SetValue(viewpoint.position.GetValue());
    camera->orientation.SetValue(viewpoint.orientation.GetValue());
    Scene scene(camera);
    scene.Add(MakeShape(new CVBox, {1, 0, 0}));
    r.Render(scene.camera);
    auto b = r.Bounds(kBlack);
    // The view spans x from 0 to 4: only the box's right half (0 to 1) shows.
    EXPECT_NEAR(b[0], 0, 1);
    EXPECT_NEAR(b[2], 24, 1);
    CVViewpoint copy;
    copy.description.SetValue(L"front");
    copy.keyFrame.SetValue(nullptr);
    copy.Clone(&viewpoint);
    EXPECT_FLOAT_EQ(copy.position.GetValue().x, 2.0f);
    EXPECT_EQ(copy.description.GetValue(), L"");
}

TEST(Lights, DirectionalLightOffLeavesTheLightNodeAndNoFreeLightDrawsNothing)
{
    SceneRender r;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    auto* light = new CVDirectionalLight; // the area holds a reference on its last light
    light->Ref();
    light->on.SetValue(0);
    CVState state;
    light->Render(&state, r.Area());
    EXPECT_EQ(r.Area()->GetLightNode(), nullptr);
    light->on.SetValue(1);
    light->Render(&state, r.Area());
    EXPECT_EQ(r.Area()->GetLightNode(), light);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[2], 1.0f); // towards the light: -direction
    glDisable(GL_LIGHT0);
    r.Area()->SetLightNode(nullptr);
    light->Unref();
}

TEST(DrawStyles, StyleThreeKeepsThePolygonMode)
{
    SceneRender r;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    CVDrawStyle style;
    style.style.SetValue(3);
    style.Render(nullptr, r.Area());
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    style.style.SetValue(7);
    style.Render(nullptr, r.Area());
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    CVPolygonOffset offset;
    offset.fillOffset.SetValue(1);
    offset.factor.SetValue(2.0f);
    offset.Render(nullptr, r.Area());
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    glDisable(GL_POLYGON_OFFSET_FILL);
}

TEST(Selection, EveryPrimitiveDrawsInSelectionModeAfterCompilingItsList)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    CVGeometry* geometries[] = {new CVBox, new CVCone, new CVCylinder, new CVSphere};
    for (CVGeometry* g : geometries)
        scene.Add(MakeShape(g, {1, 1, 1}));
    r.Render(scene.camera); // compiles the display lists
    ASSERT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[256];
    glSelectBuffer(256, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    for (int i = 0; i < scene.camera->children.GetNum(); ++i)
        scene.camera->children[i]->Render(&state, r.Area());
    GLint hits = glRenderMode(GL_RENDER);
    EXPECT_EQ(hits, 4); // one hit record per primitive
    EXPECT_EQ(buffer[3], 0xFFFFFFFFu);
}

TEST(Geometry, FlagsAndAntialiasingPasses)
{
    CVBox box;
    EXPECT_TRUE(box.IsModified());
    box.SetCachedFlag(1);
    box.SetModifiedFlag(1);
    EXPECT_FALSE(box.IsCached());
    box.SetVisibleFlag(0);
    EXPECT_TRUE(box.IsNotVisible());
    box.SetForceSortFlag(1);
    EXPECT_EQ(box.NeedsSorting(), 0x800u);
    EXPECT_TRUE(box.IsVRMLCompliant());
    EXPECT_TRUE(CVCylinder().IsAntialiased());

    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    auto* late = new CVBox;
    late->SetPostJitterFlag(1);
    scene.Add(MakeShape(late, {1, 1, 1}));
    ASSERT_TRUE(r.Area()->MakeCurrent());
    CVState state;
    state.m_nRenderPass = PASS_MAIN;
    r.Area()->SetAntialiasingMode(1); // jittered passes leave post-jitter shapes out
    glClear(GL_COLOR_BUFFER_BIT);
    static_cast<CVShape*>(scene.camera->children[0])->Render(&state, r.Area());
    r.Area()->SetAntialiasingMode(0);
    GLubyte px[4];
    glReadPixels(50, 50, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
}

TEST(Geometry, SliceCountsBoxesAndDetails)
{
    SceneRender r;
    Scene scene(OrthoCamera(4.0f));
    auto* thin = new CVCylinder, *mid = new CVCylinder, *fat = new CVCylinder;
    thin->radius.SetValue(0.01f);
    mid->radius.SetValue(0.08f);
    fat->radius.SetValue(0.5f);
    auto* s47 = new CVSphere, *s13 = new CVSphere;
    s47->slices = 47;
    s13->slices = 13;
    for (CVGeometry* g : std::initializer_list<CVGeometry*>{thin, mid, fat, s47, s13})
        scene.Add(MakeShape(g, {1, 1, 1}));
    r.Render(scene.camera);
    EXPECT_EQ(thin->slices, 14);
    EXPECT_EQ(mid->slices, 20);
    EXPECT_EQ(fat->slices, 26);
    EXPECT_EQ(s47->EffectiveSlices(), 48);
    EXPECT_EQ(s13->EffectiveSlices(), 14);
    EXPECT_EQ(CVSphere::CalculateSpherePrecision(0.04f), 16);
    EXPECT_EQ(CVSphere::CalculateSpherePrecision(1.0f), 48);

    CVBox3f box;
    // Details hold a reference on their geometry: the geometries are made
    // as nodes are, on the heap, and held here.
    CVRefPtr<CVCone> cone(new CVCone);
    cone->height.SetValue(-3.0f);
    cone->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_EQ(box.GetSize(), CVVector(2, 3, 2));
    std::unique_ptr<CVDetail> detail(cone->GetPickDetail(77));
    ASSERT_TRUE(detail->IsKindOf<CVConeDetail>());
    EXPECT_EQ(static_cast<CVConeDetail*>(detail.get())->GetPart(), CVCone::SIDES);
    EXPECT_EQ(static_cast<CVConeDetail*>(detail.get())->GetGeometry(), cone.get());
    EXPECT_EQ(cone->GetRef(), 2);
    CVRefPtr<CVBox> b(new CVBox);
    std::unique_ptr<CVDetail> boxDetail(b->GetPickDetail(3));
    EXPECT_EQ(static_cast<CVBoxDetail*>(boxDetail.get())->GetPart(), CVBox::FRONT);
    EXPECT_EQ(CVSphere().GetPickDetail(0), nullptr);
    CVShape empty;
    EXPECT_EQ(empty.GetPickDetail(0), nullptr);
}

TEST(Geometry, NormalsOfPolygons)
{
    CVVector n;
    CVGeometry::ComputeNormal({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 1, n);
    EXPECT_GT(n.z, 0.0f);
    CVGeometry::ComputeNormal({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, 0, n);
    EXPECT_LT(n.z, 0.0f);
    CVGeometry::ComputeNormal({{0, 0, 0}, {1, 0, 0}}, 1, n);
    EXPECT_EQ(n, CVVector(0, 0, 0));
    CVGeometry::ComputeNormal({{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {2, 2, 0}, {0, 2, 0}}, 1, n);
    EXPECT_NE(n.z, 0.0f);
    EXPECT_FLOAT_EQ(n.x, 0.0f);
}

TEST(CacheManager, EqualPrimitivesShareOneListPerContext)
{
    SceneRender r;
    ASSERT_TRUE(r.Area()->MakeCurrent());
    CVCacheManager* cache = CVGetCacheManagerPtr();
    ASSERT_NE(cache, nullptr);
    unsigned list = cache->NewCachedCone(16, 0.25f, 7.0f, 1, 1);
    ASSERT_NE(list, 0u);
    glNewList(list, GL_COMPILE);
    glEndList();
    EXPECT_EQ(cache->GetCachedCone(16, 0.25f, 7.0f, 1, 1), list);
    EXPECT_EQ(cache->GetCachedCone(16, 0.25f, 7.0f, 1, 0), 0u);
    SceneRender other;
    ASSERT_TRUE(other.Area()->MakeCurrent());
    EXPECT_EQ(cache->GetCachedCone(16, 0.25f, 7.0f, 1, 1), 0u); // another context's list
}

TEST(ImageMapColours, ClassAndIndexAreEncodedInTheColour)
{
    CVBox plain;
    float rgb[3];
    ASSERT_TRUE(CVCacheManager::ImageMapColor(24, 0x010203, plain.GetImageMapClass(), rgb));
    EXPECT_NEAR(rgb[0], 1 / 255.0f, 1e-6);
    EXPECT_NEAR(rgb[1], 2 / 255.0f, 1e-6);
    EXPECT_NEAR(rgb[2], 3 / 255.0f, 1e-6);
    CVBox annotation;
    annotation.SetAnnotationFlag(1);
    CVCacheManager::ImageMapColor(24, 5, annotation.GetImageMapClass(), rgb);
    EXPECT_NEAR(rgb[0], 64 / 255.0f, 1e-6);
    CVBox overlay;
    overlay.SetCrdOverlayIndex(16);
    EXPECT_FALSE(CVCacheManager::ImageMapColor(24, 5, overlay.GetImageMapClass(), rgb));
    CVBox graph;
    graph.SetGraphShapeFlag(1);
    EXPECT_FALSE(CVCacheManager::ImageMapColor(24, 15 << 24, graph.GetImageMapClass(), rgb));
    CVCacheManager::ImageMapColor(16, 33, plain.GetImageMapClass(), rgb);
    EXPECT_FLOAT_EQ(rgb[0], 1.0f);   // T2[0]
    EXPECT_FLOAT_EQ(rgb[1], 0.047f); // T2[1]
    CVImageMapClass lines = plain.GetImageMapClass();
    lines.lines = true;
    CVCacheManager::ImageMapColor(16, 33, lines, rgb);
    EXPECT_FLOAT_EQ(rgb[0], 0.0f); // T1[0]
}

} // namespace
