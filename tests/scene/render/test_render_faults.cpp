// Rendering faults found on third-party scenes: nesting past the driver's
// stacks, the camera in pick mode, display lists after a context is
// recreated, lights in deferred passes, bitmap frames without a swap,
// bottom-up background images and projections before the first frame.
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/GetTransformAction.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/actions/SearchAction.h"
#include "scene/cache/CacheManager.h"
#include "scene/core/Graph.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/WriteXMLAction.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

using lumo::test::Near;
using lumo::test::Offscreen;
using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

const Pixel kBlack{0, 0, 0};

CVShape* ColouredBox(float r, float g, float b, float size = 1.0f, float transparency = 0.0f)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(r, g, b);
    material->emissiveColor.SetValue(r, g, b);
    material->transparency.SetValue(transparency);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    auto* box = new CVBox;
    box->size.SetValue(size, size, size);
    shape->geometry.SetValue(box);
    return shape;
}

CVTransform* At(float x, float y, CVChild* child)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, 0);
    t->children.Add(child);
    return t;
}

// A scene whose first child nests 'depth' transforms around a red box on
// the left, drawn in lines by a draw style deep inside; a green box on the
// right follows as a sibling of the whole nest.
CVGroup* NestedScene(int depth)
{
    auto* camera = OrthoCamera(4.0f);
    CVGroup* inner = new CVGroup;
    auto* lines = new CVDrawStyle;
    lines->style.SetValue(CVDrawStyle::LINES);
    inner->children.Add(lines);
    inner->children.Add(At(-1.0f, 0, ColouredBox(1, 0, 0)));
    CVGroup* nest = inner;
    for (int i = 0; i < depth; ++i) {
        auto* t = new CVTransform;
        t->translation.SetValue(0, 0, 0.0001f); // a real matrix at every level
        t->children.Add(nest);
        nest = t;
    }
    camera->children.Add(nest);
    camera->children.Add(At(1.0f, 0, ColouredBox(0, 1, 0)));
    return camera;
}

class NestingDepth : public ::testing::TestWithParam<int> {};

TEST_P(NestingDepth, SiblingsAfterADeepNestKeepTheirMatrixAndState)
{
    SceneRender r(100, 100);
    CVGroup* scene = NestedScene(GetParam());
    scene->Ref();
    ASSERT_EQ(r.Render(scene), 1);
    // The green box is where its own transform puts it, filled (the draw
    // style of the nest did not leak out), and the red wire box is drawn.
    EXPECT_TRUE(Near(r.At(75, 50), {0, 255, 0}, 40)) << r.At(75, 50)[0] << "," << r.At(75, 50)[1];
    EXPECT_TRUE(Near(r.At(25, 50), kBlack, 10)); // inside the red box: lines only
    EXPECT_GT(r.Count({255, 0, 0}, 60), 20);
    // Nothing is left on the driver's stacks.
    GLint depth = -1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 0);
    // A second frame draws the same.
    ASSERT_EQ(r.Render(scene), 1);
    EXPECT_TRUE(Near(r.At(75, 50), {0, 255, 0}, 40));
    scene->Unref();
}

INSTANTIATE_TEST_SUITE_P(RenderFaults, NestingDepth, ::testing::Values(40, 1000));

TEST(RenderFaults, TheDeepestSceneTheReaderTakesRendersSearchesWritesAndFrees)
{
    // A shared chain that reaches exactly the reader's depth bound.
    const int depth = int(CVSceneGraphCreator::kMaxGraphDepth);
    std::string doc = "<X3D><Scene>";
    for (int i = 0; i < depth / 2; ++i)
        doc += i == 0 ? "<Transform DEF='Chain'>" : "<Transform>";
    doc += "<Shape><Appearance><Material diffuseColor='1 0 0' emissiveColor='1 0 0'/></Appearance><Box/></Shape>";
    for (int i = 0; i < depth / 2; ++i)
        doc += "</Transform>";
    doc += "<Switch whichChoice='0'>";
    // Below the root: the switch, the groups, the chain and shape, appearance
    // and material at its end.
    for (int i = 0; i < depth / 2 - 4; ++i)
        doc += "<Group>";
    doc += "<Transform USE='Chain'/>";
    for (int i = 0; i < depth / 2 - 4; ++i)
        doc += "</Group>";
    doc += "</Switch></Scene></X3D>";
    CVGroup* scene = CVParser().ParseXMLBits(doc.data(), unsigned(doc.size()));
    scene->Ref();
    ASSERT_EQ(lumo::graph::Measure(scene).depth, std::size_t(depth + 1)); // the root too

    SceneRender r(40, 40);
    auto* camera = OrthoCamera(4.0f);
    camera->children.Add(scene);
    camera->Ref();
    ASSERT_EQ(r.Render(camera), 1);
    EXPECT_TRUE(Near(r.At(20, 20), {255, 0, 0}, 40));

    CVSearchAction search;
    search.SetType(LUMO_RUNTIME_CLASS(CVShape));
    search.SetInterest(CVSearchAction::ALL);
    search.Apply(scene);
    CVGetBoundingBoxAction box(r.Area());
    box.Apply(scene);
    EXPECT_FALSE(box.GetBoundingBox().IsEmpty());
    EXPECT_FALSE(CVWriteXMLAction().WriteString(scene).empty());
    camera->Unref();
    scene->Unref();
}

TEST(RenderFaults, AreasDrawOnEveryThread)
{
    // EGL binds its client API per thread (OpenGL ES unless told): a
    // context made on a second thread must still be desktop OpenGL.
    Offscreen first(4, 4); // the display starts on this thread
    ASSERT_TRUE(first.area()->MakeCurrent());
    Pixel seen{0, 0, 0};
    std::thread worker([&] {
        SceneRender r(20, 20);
        auto* camera = OrthoCamera(2.0f);
        camera->children.Add(ColouredBox(1, 0, 0, 1.5f));
        camera->Ref();
        r.Render(camera);
        seen = r.At(10, 10);
        camera->Unref();
    });
    worker.join();
    EXPECT_TRUE(Near(seen, {255, 0, 0}, 40)) << seen[0] << "," << seen[1] << "," << seen[2];
}

TEST(RenderFaults, TheAreaKeepsTheLastLightAliveForTheNextFrame)
{
    // The next frame places drop shadows with the last light drawn, which may
    // belong to a scene released in between.
    SceneRender r(20, 20);
    auto* camera = OrthoCamera(2.0f);
    auto* light = new CVDirectionalLight;
    light->direction.SetValue(1, -1, -1);
    camera->children.Add(light);
    camera->Ref();
    r.Render(camera);
    EXPECT_EQ(r.Area()->GetLightNode(), light);
    EXPECT_EQ(light->GetRef(), 2); // the scene and the area
    camera->Unref();
    EXPECT_EQ(light->GetRef(), 1);
    r.Area()->SetDropShadowsEnabled(1);
    r.Area()->InitShadowMatrix(); // reads the light's direction: (1, 0.75, 1) onto z
    EXPECT_NEAR(r.Area()->GetShadowMatrix()[0], 0.02f, 1e-6);
}

TEST(RenderFaults, CameraInPickModeKeepsThePickMatrixAndTheStacks)
{
    Offscreen off(50, 50);
    ASSERT_TRUE(off.area()->MakeCurrent());
    off.area()->SetViewport(0, 0, 50, 50);
    GLint viewport[4] = {0, 0, 50, 50};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(25, 25, 2, 2, viewport);
    double pick[16];
    glGetDoublev(GL_PROJECTION_MATRIX, pick);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLint projectionDepth, modelViewDepth;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelViewDepth);
    CVState state;
    state.m_bPickMode = 1;
    auto* camera = OrthoCamera(4.0f);
    camera->Ref();
    camera->Render(&state, off.area());
    GLint after;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after);
    EXPECT_EQ(after, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, modelViewDepth);
    // The projection is the pick matrix times the camera's (which the area
    // keeps without the pick matrix), not the camera's alone.
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double* plain = off.area()->GetProjectionMatrix();
    EXPECT_GT(pick[0], 2.0);
    EXPECT_NEAR(projection[0], pick[0] * plain[0], 1e-6);
    // The model-view holds the camera's view.
    float modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_FLOAT_EQ(modelView[14], -10.0f);
    camera->Unref();
}

TEST(RenderFaults, ListsOfARecreatedContextAreNotTakenForTheNewOnes)
{
    CVCacheManager* cache = CVGetCacheManagerPtr();
    ASSERT_NE(cache, nullptr);
    Offscreen first, second;
    ASSERT_TRUE(first.area()->MakeCurrent());
    unsigned firstList = cache->NewCachedCylinder(16, 0.5f, 2.0f, 1, 1, 1);
    ASSERT_NE(firstList, 0u);
    glNewList(firstList, GL_COMPILE);
    glEndList();
    ASSERT_TRUE(second.area()->MakeCurrent());
    unsigned secondList = cache->NewCachedSphere(16, 0.75f);
    ASSERT_NE(secondList, 0u);
    glNewList(secondList, GL_COMPILE);
    glEndList();
    // Sharing recreates the second context: its sphere list is gone, and the
    // first area's cylinder is now its own to reuse.
    ASSERT_EQ(second.area()->SetRenderCache(first.area()), 1);
    ASSERT_TRUE(second.area()->MakeCurrent());
    EXPECT_EQ(cache->GetCachedSphere(16, 0.75f), 0u);
    EXPECT_EQ(cache->GetCachedCylinder(16, 0.5f, 2.0f, 1, 1, 1), firstList);
}

TEST(RenderFaults, DeferredShapesAreLitByTheLightsOfTheMainPass)
{
    // The same grey material, opaque on the left and see-through on the
    // right (drawn in the transparent pass), under the headlight and a
    // scene light: both must come out equally bright.
    auto colourOf = [](float transparency) {
        SceneRender r(60, 60);
        r.Action().SetHeadlightOn(1);
        auto* camera = OrthoCamera(2.0f);
        camera->children.Add(new CVLightModel); // lighting on
        auto* light = new CVDirectionalLight;
        light->direction.SetValue(0, -1, -1);
        light->intensity.SetValue(0.5f);
        camera->children.Add(light);
        auto* shape = ColouredBox(0.5f, 0.5f, 0.5f, 1.5f, transparency);
        shape->appearance->material->emissiveColor.SetValue(0, 0, 0);
        camera->children.Add(shape);
        camera->Ref();
        r.Render(camera);
        Pixel p = r.At(30, 30);
        camera->Unref();
        return p;
    };
    Pixel opaque = colourOf(0.0f);
    Pixel seeThrough = colourOf(0.01f); // 99 % of the lit colour over black
    EXPECT_GT(opaque[0], 100);
    EXPECT_NEAR(seeThrough[0], opaque[0] * 0.99, 6) << opaque[0] << " vs " << seeThrough[0];
}

TEST(RenderFaults, ABitmapHoldsTheFrameWithoutASwap)
{
    CVRenderToDIBAction action(nullptr);
    ASSERT_EQ(action.SetViewportSize(0, 0, 16, 16), 1);
    action.SetSwapBuffersAfterRender(0);
    action.SetClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    auto* root = new CVGroup;
    root->Ref();
    ASSERT_EQ(action.Apply(root), 1);
    root->Unref();
    auto* px = static_cast<const unsigned char*>(action.GetSimpleDIB().GetBits());
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(px[0], 255); // blue, in BGRA
    EXPECT_EQ(px[2], 0);
}

TEST(RenderFaults, TheBackgroundImageIsStoredBottomUp)
{
    // A 1 x 2 image: red on top, blue below.
    std::string path = "/tmp/lumo_background_" + std::to_string(getpid()) + ".bmp";
    {
        CSimpleDIB dib;
        dib.Create(1, 2, nullptr);
        auto* bits = static_cast<unsigned char*>(dib.GetBits());
        // The DIB is bottom-up: row 0 is the bottom (blue), row 1 the top (red).
        bits[0] = 255, bits[1] = 0, bits[2] = 0, bits[3] = 255;
        bits[4] = 0, bits[5] = 0, bits[6] = 255, bits[7] = 255;
        ASSERT_TRUE(dib.SaveToDIBFile(std::wstring(path.begin(), path.end())));
    }
    Offscreen off(4, 4);
    CVRenderAction action(off.area());
    action.SetImageFilename(std::wstring(path.begin(), path.end()));
    action.LoadBackgroundTextureImage();
    std::remove(path.c_str());
    HBITMAP bitmap = action.GetBackgroundBitmap();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(action.GetBackgroundHeight(), 2);
    EXPECT_EQ(bitmap->bits[0], 255); // first stored row: the bottom (blue)
    EXPECT_EQ(bitmap->bits[2], 0);
    EXPECT_EQ(bitmap->bits[6], 255); // second: the top (red)
}

TEST(RenderFaults, WindowToObjectWorksBeforeTheFirstFrameAndFailsVisiblyWithoutAViewport)
{
    CVRenderToDIBAction action(nullptr);
    ASSERT_EQ(action.SetViewportSize(0, 0, 100, 50), 1);
    auto* camera = OrthoCamera(2.0f);
    camera->Ref();
    CVGetTransformAction transform(action.GetRenderArea());
    transform.SetTransformType(CVGetTransformAction::WINDOW_TO_OBJECT);
    ASSERT_EQ(transform.Apply(camera), 1);
    float x = NAN, y = NAN, z = NAN;
    EXPECT_EQ(transform.TransformCoord(50, 25, 0.5f, x, y, z), 1);
    EXPECT_NEAR(x, 0.0f, 1e-4);
    EXPECT_NEAR(y, 0.0f, 1e-4);
    EXPECT_TRUE(std::isfinite(z));

    Offscreen off(10, 10); // an area never given a viewport
    CVGetTransformAction bare(off.area());
    bare.SetTransformType(CVGetTransformAction::WINDOW_TO_OBJECT);
    ASSERT_EQ(bare.Apply(camera), 1);
    x = y = z = NAN;
    EXPECT_EQ(bare.TransformCoord(5, 5, 0.5f, x, y, z), 0);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    camera->Unref();
}

TEST(RenderFaults, TheTwoSidedMaterialAnswersFieldsOnceRegistered)
{
    CVMaterialTwoSided m;
    CVNodeType::PushNameSpace();
    CVMaterialTwoSided::AddToTypeNameSpace();
    EXPECT_EQ(m.GetField(L"diffuseColor"), &m.diffuseColor);
    EXPECT_EQ(m.GetField(L"TRANSPARENCY"), &m.transparency);
    EXPECT_EQ(m.GetField(L"nothing"), nullptr);
    CVNodeType::PopNameSpace();
    EXPECT_EQ(m.GetField(L"diffuseColor"), nullptr);
}

} // namespace
