#include "scene/actions/RenderImageMapAction.h"
#include "scene/actions/RenderToDIBAction.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/DepthBuffer.h"
#include "scene/nodes/Lights.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using lumo::test::Near;
using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

namespace {

// Records in which pass it is rendered; in the main pass it queues itself
// as an annotation or a transparent node when asked to.
class PassProbe : public CVChild {
public:
    enum Queue { NONE, ANNOTATION, TRANSPARENT };
    PassProbe(std::vector<std::string>* log, std::string name, Queue queue, CVNode* queueOnWalk = nullptr)
        : mLog(log), mName(std::move(name)), mQueue(queue), mQueueOnWalk(queueOnWalk)
    {
    }
    void Render(CVState* state, CVGLRenderArea* area) override
    {
        static const char* passes[] = {"none", "main", "transparent", "annotation", "shadow"};
        mLog->push_back(mName + "@" + passes[state->m_nRenderPass]);
        if (state->m_nRenderPass == PASS_MAIN && mQueue == ANNOTATION)
            area->AddToAnnotationNodeList(this, state);
        else if (state->m_nRenderPass == PASS_MAIN && mQueue == TRANSPARENT)
            area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_SORTED);
        else if (state->m_nRenderPass == PASS_ANNOTATION && mQueueOnWalk)
            area->AddToTransparentNodeList(mQueueOnWalk, state, CVGLRenderArea::KIND_SORTED);
    }

private:
    std::vector<std::string>* mLog;
    std::string mName;
    Queue mQueue;
    CVNode* mQueueOnWalk;
};

struct Root {
    CVGroup* group = new CVGroup;
    Root() { group->Ref(); }
    ~Root() { group->Unref(); }
};

TEST(RenderAction, ClearsToTheClearColourAndNullRootsFail)
{
    SceneRender r(20, 20);
    Root root;
    r.Action().SetClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    ASSERT_EQ(r.Render(root.group), 1);
    EXPECT_TRUE(Near(r.At(10, 10), {51, 102, 153}, 1));
    EXPECT_EQ(r.Action().Apply(nullptr), 0);
}

TEST(RenderAction, GradientBackgroundRunsFromDarkerBottomToLighterTop)
{
    SceneRender r(20, 40);
    Root root;
    r.Action().SetClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    r.Action().SetFillStyle(1);
    r.Render(root.group);
    Pixel top = r.At(10, 0), bottom = r.At(10, 39);
    EXPECT_NEAR(top[0], 164, 4);    // 1.3 x 0.5, near the top edge
    EXPECT_NEAR(bottom[0], 90, 4);  // 0.7 x 0.5
    EXPECT_NEAR(r.At(10, 20)[0], 127, 4);
}

TEST(RenderAction, ClearFlagsChooseWhatIsCleared)
{
    SceneRender r(10, 10);
    Root root;
    r.Action().SetClearColor(1, 0, 0, 1);
    r.Render(root.group);
    r.Action().SetClearColor(0, 1, 0, 1);
    r.Action().SetClearColorBeforeRender(0);
    r.Render(root.group);
    EXPECT_EQ(r.At(5, 5), (Pixel{255, 0, 0})); // colour kept, depth cleared
}

TEST(RenderAction, DeferredPassesRunAfterTheMainPassInOrder)
{
    SceneRender r(10, 10);
    std::vector<std::string> log;
    Root root;
    auto* late = new PassProbe(&log, "late", PassProbe::NONE);
    late->Ref();
    root.group->children.Add(new PassProbe(&log, "plain", PassProbe::NONE));
    root.group->children.Add(new PassProbe(&log, "note", PassProbe::ANNOTATION, late));
    root.group->children.Add(new PassProbe(&log, "glass", PassProbe::TRANSPARENT));
    r.Render(root.group);
    EXPECT_EQ(log, (std::vector<std::string>{"plain@main", "note@main", "glass@main", "glass@transparent",
                                             "note@annotation", "late@transparent"}));
    EXPECT_EQ(r.Area()->GetTransparentNodeListSize(), 0);
    EXPECT_EQ(r.Area()->GetAnnotationNodeListSize(), 0);
    late->Unref();
}

TEST(RenderAction, DeferredDepthBufferGroupsWalkInTheAnnotationPass)
{
    SceneRender r(10, 10);
    std::vector<std::string> log;
    Root root;
    auto* deferred = new CVDepthBuffer;
    deferred->defer.SetValue(1);
    deferred->children.Add(new PassProbe(&log, "child", PassProbe::NONE));
    root.group->children.Add(deferred);
    r.Render(root.group);
    EXPECT_EQ(log, (std::vector<std::string>{"child@annotation"}));
}

TEST(Accumulation, ThreeWeightedPassesAverage)
{
    SceneRender r(8, 8);
    ASSERT_TRUE(r.Area()->MakeCurrent());
    const float levels[3] = {0.3f, 0.6f, 0.9f};
    for (int i = 0; i < 3; ++i) {
        glClearColor(levels[i], 0.0f, 1.0f - levels[i], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_EQ(r.Area()->Accum(i == 0 ? GL_LOAD : GL_ACCUM, 1.0f / 3.0f), 1);
    }
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(r.Area()->Accum(GL_RETURN, 1.0f), 1);
    GLubyte px[4];
    glReadPixels(3, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[0], 153, 1);
    EXPECT_EQ(px[1], 0);
    EXPECT_NEAR(px[2], 102, 1);
}

CVShape* RedBox(float size)
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(1, 0, 0);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    auto* box = new CVBox;
    box->size.SetValue(size, size, size);
    shape->geometry.SetValue(box);
    return shape;
}

TEST(Antialiasing, AntialiasedFrameDiffersOnlyAlongEdges)
{
    auto render = [](bool antialias, std::vector<Pixel>& pixels) {
        SceneRender r(64, 64);
        CVCamera* camera = OrthoCamera(4.0f);
        camera->Ref();
        auto* turned = new CVTransform;
        turned->rotation.SetValue(0, 0, 1, 0.4f);
        turned->children.Add(RedBox(2.0f));
        camera->children.Add(turned);
        r.Area()->SetSceneAntialiasingEnabled(antialias ? 1 : 0);
        r.Action().SetClearColorBeforeRender(1);
        r.Render(camera);
        EXPECT_EQ(r.Action().GetClearColorBeforeRender(), 1);
        EXPECT_EQ(r.Area()->GetAntialiasingMode(), 0);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                pixels.push_back(r.At(x, y));
        camera->Unref();
    };
    std::vector<Pixel> plain, smooth;
    render(false, plain);
    render(true, smooth);
    int differing = 0, interior = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        bool differs = !Near(plain[i], smooth[i], 4);
        differing += differs;
        int x = int(i % 64), y = int(i / 64);
        if (differs && std::abs(x - 32) < 10 && std::abs(y - 32) < 10)
            ++interior;
    }
    EXPECT_GT(differing, 20);       // the edges are softened
    EXPECT_LT(differing, 64 * 64 / 8);
    EXPECT_EQ(interior, 0);         // the inside is unchanged
}

TEST(RenderToDIB, KnownSceneReadBackPixelByPixel)
{
    CVGLRenderArea::SetInflateWorld(0);
    CVRenderToDIBAction action(nullptr);
    ASSERT_EQ(action.SetViewportSize(0, 0, 40, 20), 1);
    CVGLRenderArea* area = action.GetRenderArea();
    EXPECT_EQ(action.SetViewportSize(0, 0, 40, 20), 1);
    EXPECT_EQ(action.GetRenderArea(), area); // unchanged viewport keeps the area
    EXPECT_EQ(action.SetViewportSize(0, 0, 0, 20), 0);
    EXPECT_EQ(action.GetRenderArea(), area);
    EXPECT_EQ(area->RenderAreaIsBitmap(), 1);
    CVCamera* camera = OrthoCamera(2.0f); // 10 pixels a unit, 4 x 2 units
    camera->Ref();
    auto* left = new CVTransform;
    left->translation.SetValue(-1.0f, 0.0f, 0.0f);
    left->children.Add(RedBox(1.0f));
    camera->children.Add(left);
    action.SetClearColor(0, 0, 1, 1);
    ASSERT_EQ(action.Apply(camera), 1);
    const CSimpleDIB& dib = action.GetSimpleDIB();
    ASSERT_EQ(dib.GetWidth(), 40u);
    const unsigned char* bits = static_cast<const unsigned char*>(dib.GetBits());
    for (int row = 0; row < 20; ++row)     // stored bottom-up
        for (int x = 0; x < 40; ++x) {
            const unsigned char* p = bits + (row * 40 + x) * 4;
            bool inside = x >= 5 && x < 15 && row >= 5 && row < 15;
            ASSERT_EQ(p[2], inside ? 255 : 0) << x << "," << row;
            ASSERT_EQ(p[0], inside ? 0 : 255) << x << "," << row;
        }
    camera->Unref();
    CVGLRenderArea::SetInflateWorld(1);
}

TEST(RenderAction, HeadlightAndCloneSettings)
{
    SceneRender r(8, 8);
    EXPECT_EQ(r.Action().IsHeadlightOn(), 0);
    r.Action().SetHeadlightOn(1);
    EXPECT_EQ(r.Action().IsHeadlightOn(), 1);
    EXPECT_FLOAT_EQ(r.Action().GetHeadlight()->ambientIntensity.GetValue(), 0.2f);
    int x, y, w, h;
    r.Action().GetViewport(x, y, w, h);
    EXPECT_EQ(w, 8);
}

TEST(RenderAction, BackgroundImagesLoadFromFilesAndLiveHandlesOnly)
{
    SceneRender r(8, 8);
    CVImage image;
    image.width = 3;
    image.height = 2;
    image.bgra.assign(3 * 2 * 4, 255);
    image.bgra[2] = 0; // top-left pixel cyan
    std::string path = "/tmp/lumo_background_test.png";
    ASSERT_TRUE(lumo::image::WritePng(path, image));
    r.Action().SetImageFilename(std::wstring(path.begin(), path.end()));
    r.Action().LoadBackgroundTextureImage();
    ASSERT_NE(r.Action().GetBackgroundBitmap(), nullptr);
    EXPECT_EQ(r.Action().GetBackgroundWidth(), 3);
    // Stored bottom-up: the top row (with the cyan pixel) is stored last.
    EXPECT_EQ(r.Action().GetBackgroundBitmap()->bits[2], 255);
    EXPECT_EQ(r.Action().GetBackgroundBitmap()->bits[3 * 4 + 2], 0);
    r.Action().SetImageFilename(L"HBITMAP:12345");
    r.Action().LoadBackgroundTextureImage();
    EXPECT_NE(r.Action().GetBackgroundBitmap(), reinterpret_cast<HBITMAP>(12345));
    r.Action().SetImageFilename(L"no-such-image.png");
    r.Action().LoadBackgroundTextureImage();
    EXPECT_EQ(r.Action().GetBackgroundBitmap(), nullptr);
    std::remove(path.c_str());
}

} // namespace

namespace {

TEST(ImageMap, ShapesDrawInTheColourOfTheirKindAndIndex)
{
    CVGLRenderArea::SetInflateWorld(0);
    CVRenderImageMapAction action(nullptr);
    EXPECT_EQ(action.SetViewport(0, 0, 0, 10), 0);
    ASSERT_EQ(action.SetViewport(0, 0, 40, 20), 1);
    CVCamera* camera = OrthoCamera(2.0f); // 10 pixels a unit, 4 x 2 units
    camera->Ref();
    auto place = [&](float x, CVGeometry* g) {
        auto* t = new CVTransform;
        t->translation.SetValue(x, 0, 0);
        auto* shape = new CVShape;
        shape->geometry.SetValue(g);
        t->children.Add(shape);
        camera->children.Add(t);
    };
    auto* bar = new CVBox;
    bar->size.SetValue(0.5f, 0.5f, 0.5f);
    bar->SetGraphShapeFlag(1);
    bar->SetCrdIndex(0x010203);
    auto* note = new CVBox;
    note->size.SetValue(0.5f, 0.5f, 0.5f);
    note->SetAnnotationFlag(1);
    note->SetCrdIndex(7);
    auto* plain = new CVBox; // no image-map kind: not drawn
    plain->size.SetValue(0.5f, 0.5f, 0.5f);
    place(-1.0f, bar);
    place(0.0f, note);
    place(1.0f, plain);
    ASSERT_EQ(action.Apply(camera), 1);
    const auto* bits = static_cast<const unsigned char*>(action.GetDIB()->GetBits());
    auto pixel = [&](int x, int y) { // y from the top
        const unsigned char* p = bits + ((19 - y) * 40 + x) * 4;
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    EXPECT_EQ(pixel(10, 10), (std::array<int, 3>{4 | 1, 2, 3}));
    EXPECT_EQ(pixel(20, 10), (std::array<int, 3>{64, 0, 7}));
    EXPECT_EQ(pixel(30, 10), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(pixel(2, 2), (std::array<int, 3>{255, 255, 255}));
    camera->Unref();
    CVGLRenderArea::SetInflateWorld(1);
}

} // namespace
