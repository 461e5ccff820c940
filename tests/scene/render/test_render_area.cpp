#include "platform/time/Clock.h"
#include "platform/wgl/Wgl.h"
#include "scene/core/Node.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/Offscreen.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

using lumo::test::BoxLeaf;
using lumo::test::Offscreen;

namespace {

std::array<GLint, 4> GLViewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

class InflationGuard {
public:
    explicit InflationGuard(int inflate) : mSaved(CVGLRenderArea::GetWorldInflationFactor())
    {
        CVGLRenderArea::SetInflateWorld(inflate);
    }
    ~InflationGuard() { CVGLRenderArea::SetInflateWorld(mSaved != 1.0f); }

private:
    float mSaved;
};

TEST(BitmapDevice, ChoosesAnOpenGLFormatWithDeepDepth)
{
    HDC dc = CreateCompatibleDC(nullptr);
    CVBitmapDevice device(dc);
    ASSERT_EQ(device.IsSuccess(), 1);
    PIXELFORMATDESCRIPTOR asked, chosen;
    device.GetPFD(asked);
    EXPECT_EQ(asked.dwFlags, 0x38u);
    EXPECT_EQ(asked.cDepthBits, 32);
    device.GetChosenPFD(chosen);
    EXPECT_TRUE(chosen.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_GE(chosen.cDepthBits, 24);
    EXPECT_EQ(chosen.cColorBits, 24);
    EXPECT_EQ(CVGLDevice::m_pfd.dwFlags, 0x28u);
    DeleteDC(dc);
}

TEST(WindowDevice, AsksForADoubleBufferedWindowFormat)
{
    HDC dc = CreateWindowDC(0);
    CVWindowDevice device(dc, 0);
    PIXELFORMATDESCRIPTOR pfd;
    device.GetPFD(pfd);
    EXPECT_EQ(pfd.dwFlags, 0x25u);
    EXPECT_EQ(device.IsDoubleBuffer(), 0);
    CREATESTRUCTW cs{0x80 | 0x1, 0, 0, 10, 10};
    CVWindowDevice::PreCreateWindow(cs);
    EXPECT_EQ(cs.style, 0x06000001u);
    DeleteDC(dc);
}

TEST(RenderArea, StartsWithTheDocumentedDefaults)
{
    Offscreen off;
    CVGLRenderArea* area = off.area();
    ASSERT_EQ(area->IsSuccess(), 1);
    EXPECT_EQ(area->GetTextureFunction(), CVGLRenderArea::MODULATE);
    EXPECT_EQ(area->GetTextureFilter(), CVGLRenderArea::NEAREST);
    EXPECT_EQ(area->GetStipplePattern(), 0);
    EXPECT_EQ(area->IsTransparencyEnabled(), 1);
    EXPECT_EQ(area->IsSceneAntialiasingEnabled(), 0);
    EXPECT_EQ(area->GetShowLevelFlag(), 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(area->GetDropShadowColor().alpha, 0.5f);
    EXPECT_FLOAT_EQ(area->GetSPProductColor().blue, 1.0f);
    EXPECT_EQ(area->GetPalette(), nullptr);
    EXPECT_GE(area->GetMaxLights(), 8);
    area->SetDropShadowColor(RGBColorStruct{1, 0, 0});
    EXPECT_FLOAT_EQ(area->GetDropShadowColor().red, 1.0f);
    EXPECT_FLOAT_EQ(area->GetDropShadowColor().alpha, 0.5f); // kept
    GLint env;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    area->SetTextureFunction(7);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_DECAL);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST(RenderArea, ReducedViewportStaysAtTheTopWithoutInflation)
{
    InflationGuard inflation(0);
    Offscreen off(200, 100);
    off.area()->SetGlobalScaleFactor(0.5f);
    off.area()->SetViewport(0, 0, 200, 100);
    EXPECT_EQ(GLViewport(), (std::array<GLint, 4>{0, 50, 100, 50}));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    off.area()->SetScissor(10, 10, 20, 20);
    off.area()->SetViewport(0, 0, 200, 100);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    int x, y, w, h;
    off.area()->GetGLViewport(x, y, w, h);
    EXPECT_EQ(w, 200); // the stored rectangle, unscaled
}

TEST(RenderArea, InflatedViewportIsThreeTimesLargerAndScissored)
{
    InflationGuard inflation(1);
    Offscreen off(100, 100);
    off.area()->SetViewport(0, 0, 100, 100);
    EXPECT_EQ(GLViewport(), (std::array<GLint, 4>{-100, -100, 300, 300}));
    std::array<GLint, 4> scissor{};
    glGetIntegerv(GL_SCISSOR_BOX, scissor.data());
    EXPECT_EQ(scissor, (std::array<GLint, 4>{0, 0, 100, 100}));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    int rect[4];
    off.area()->GetGLViewport(rect);
    EXPECT_EQ(rect[0], -100);
    EXPECT_EQ(rect[3], 300);
}

TEST(RenderArea, StipplePatternsRepeatTheirBlockAndIgnoreBadNumbers)
{
    Offscreen off;
    CVGLRenderArea* area = off.area();
    area->SetStipplePattern(3);
    GLubyte rows[128];
    glGetPolygonStipple(rows);
    EXPECT_EQ(rows[0], 0xCC);
    EXPECT_EQ(rows[4 * 3], 0x99);
    EXPECT_EQ(rows[4 * 11], 0x99); // second repetition of the block
    area->SetStipplePattern(12);
    EXPECT_EQ(area->GetStipplePattern(), 3);
    area->SetStipplePattern(6);
    glGetPolygonStipple(rows);
    EXPECT_EQ(rows[4 * 6], 0xFF);
    EXPECT_EQ(rows[4 * 7], 0x00);
    EXPECT_EQ(rows[4 * 31 + 3], 0x00);
    const unsigned char* shadow = CVGLRenderArea::GetDropShadowStipple();
    EXPECT_EQ(shadow[0], 0x55);
    EXPECT_EQ(shadow[4], 0xAA);
    EXPECT_EQ(shadow[4 * 31 + 2], 0xAA);
}

TEST(RenderArea, TransparentQueueSortsByDepthKeyAndKeepsQueueOrderForTies)
{
    Offscreen off;
    CVGLRenderArea* area = off.area();
    BoxLeaf a({0, 0, 0}, {0, 0, 0}), b({0, 0, 0}, {0, 0, 0}), c({0, 0, 0}, {0, 0, 0}), text({0, 0, 0}, {0, 0, 0}),
        line({0, 0, 0}, {0, 0, 0});
    glMatrixMode(GL_MODELVIEW);
    auto queueAt = [&](CVNode* node, float z, int kind) {
        glLoadIdentity();
        glTranslatef(0, 0, z);
        area->AddToTransparentNodeList(node, nullptr, kind);
    };
    queueAt(&a, -5, CVGLRenderArea::KIND_BLENDED);
    queueAt(&b, -2, CVGLRenderArea::KIND_BLENDED);
    queueAt(&line, -100, CVGLRenderArea::KIND_LINE_BOX);
    queueAt(&c, -5, CVGLRenderArea::KIND_SORTED);
    queueAt(&text, -3, CVGLRenderArea::KIND_TEXT);
    ASSERT_EQ(area->GetTransparentNodeListSize(), 5);
    EXPECT_EQ(area->GetTransparentNodeInfo(0)->node, &a);
    EXPECT_EQ(area->GetTransparentNodeInfo(1)->node, &c);
    EXPECT_EQ(area->GetTransparentNodeInfo(2)->node, &text);
    EXPECT_EQ(area->GetTransparentNodeInfo(3)->node, &b);
    EXPECT_EQ(area->GetTransparentNodeInfo(4)->node, &line);
    EXPECT_FLOAT_EQ(area->GetTransparentNodeInfo(3)->depthKey, -2.0f);
    EXPECT_FLOAT_EQ(area->GetTransparentNodeInfo(0)->modelView[14], -5.0f);
    EXPECT_THROW(area->GetTransparentNodeInfo(5), std::out_of_range);
    area->ResetTransparentNodeList();
    EXPECT_EQ(area->GetTransparentNodeListSize(), 0);

    area->AddToAnnotationNodeList(&a, nullptr);
    EXPECT_EQ(area->GetAnnotationNodeInfo(0)->node, &a);
    EXPECT_THROW(area->GetAnnotationNodeInfo(-1), std::out_of_range);
    glLoadIdentity();
}

TEST(RenderArea, DepthKeyOfABoxIsItsNearestEyeSpaceZ)
{
    Offscreen off;
    BoxLeaf box({0, 0, 0}, {2, 2, 2});
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -10);
    off.area()->AddToTransparentNodeList(&box, nullptr, CVGLRenderArea::KIND_SORTED);
    EXPECT_FLOAT_EQ(off.area()->GetTransparentNodeInfo(0)->depthKey, -9.0f);
    glLoadIdentity();
}

TEST(RenderArea, ShadowMatrixFlattensOntoThePlane)
{
    Offscreen off;
    off.area()->SetShadowProjectionZ(0.0);
    off.area()->InitShadowMatrix();
    const float* m = off.area()->GetShadowMatrix();
    // A point above the plane z = 0 lands on it.
    const float p[4] = {0.3f, -0.2f, 2.0f, 1.0f};
    float q[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            q[i] += m[j * 4 + i] * p[j];
    ASSERT_NE(q[3], 0.0f);
    EXPECT_NEAR(q[2] / q[3], 0.0f, 1e-5);
    // Along the default light (0.5, 0.45, 1): x moves by -2 * 0.5.
    EXPECT_NEAR(q[0] / q[3], 0.3f - 1.0f, 1e-5);
}

TEST(RenderArea, PaletteOfAThreeThreeTwoFormatKeepsSystemColours)
{
    PIXELFORMATDESCRIPTOR pfd{};
    EXPECT_TRUE(CVGLRenderArea::BuildRGBPalette(pfd).empty());
    pfd.dwFlags = PFD_NEED_PALETTE;
    pfd.cColorBits = 8;
    pfd.cRedBits = 3;
    pfd.cGreenBits = 3;
    pfd.cGreenShift = 3;
    pfd.cBlueBits = 2;
    pfd.cBlueShift = 6;
    auto palette = CVGLRenderArea::BuildRGBPalette(pfd);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[7], RGB(255, 0, 0));
    EXPECT_EQ(palette[0xC0], RGB(0, 0, 255));
    EXPECT_EQ(palette[2], RGB(73, 0, 0));
    EXPECT_EQ(palette[3], 0x000080u);
    EXPECT_EQ(palette[247], 0xF0FBFFu);
}

TEST(RenderArea, RenderCacheSharesDisplayLists)
{
    Offscreen first, second;
    ASSERT_TRUE(first.area()->MakeCurrent());
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();
    EXPECT_EQ(second.area()->SetRenderCache(nullptr), 0);
    ASSERT_EQ(second.area()->SetRenderCache(first.area()), 1);
    EXPECT_EQ(second.area()->GetRenderCache(), first.area());
    EXPECT_EQ(CVGLRenderArea::MakeCacheCurrent(second.area()), first.area());
    EXPECT_EQ(CVGLRenderArea::MakeCacheCurrent(first.area()), first.area());
    ASSERT_TRUE(second.area()->MakeCurrent());
    EXPECT_TRUE(glIsList(list));
    // The new context was set up again.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(RenderArea, SwapBuffersCopiesTheFrameIntoTheBitmap)
{
    Offscreen off(8, 4);
    ASSERT_TRUE(off.area()->MakeCurrent());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(off.area()->SwapBuffers(), 1);
    const auto& bits = off.dc()->bitmap->bits;
    EXPECT_EQ(bits[0], 0);   // blue
    EXPECT_EQ(bits[2], 255); // red
    EXPECT_EQ(bits[8 * 4 * 4 - 2], 255);
}

TEST(RenderArea, AnimationTimeComesFromTheInjectableClock)
{
    Offscreen off;
    lumo::SetClock([] { return std::chrono::system_clock::from_time_t(86400 * 365); });
    off.area()->SetCurrentAnimationTime();
    lumo::SetClock({});
    EXPECT_EQ(off.area()->GetCurrentAnimationTime().wYear, 1971);
    EXPECT_EQ(off.area()->GetCurrentAnimationTime().wMonth, 1);
    off.area()->IncrementAnimationNodeCounter();
    EXPECT_EQ(off.area()->GetAnimationNodeCounter(), 1);
}

} // namespace
