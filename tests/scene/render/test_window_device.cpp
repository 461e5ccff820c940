// Drawing into an X11 window; runs only where the process has an X display.
// gtest first: the X11 headers define macros (None, Bool) that it uses as names.
#include <gtest/gtest.h>

#include "platform/gdi/DeviceContext.h"
#include "platform/wgl/Wgl.h"
#include "scene/actions/RenderAction.h"
#include "scene/nodes/Group.h"
#include "scene/render/GLDevice.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <X11/Xlib.h>

namespace {

TEST(WindowDevice, RendersIntoAnX11Window)
{
    auto* x11 = static_cast<::Display*>(lumo::gl::WindowSystemDisplay());
    if (!x11)
        GTEST_SKIP() << "no X display";
    Window window = XCreateSimpleWindow(x11, DefaultRootWindow(x11), 0, 0, 64, 48, 0, 0, 0);
    XMapWindow(x11, window);
    XSync(x11, False);
    HDC dc = CreateWindowDC(window);
    {
        CVWindowDevice device(dc, 1);
        ASSERT_EQ(device.IsSuccess(), 1);
        PIXELFORMATDESCRIPTOR chosen;
        device.GetChosenPFD(chosen);
        EXPECT_TRUE(chosen.dwFlags & PFD_DRAW_TO_WINDOW);
        auto* area = new CVGLRenderArea(&device);
        area->Ref();
        ASSERT_EQ(area->IsSuccess(), 1);
        CVRenderAction action(area);
        action.SetViewport(0, 0, 64, 48);
        action.SetClearColor(0, 1, 0, 1);
        action.SetSwapBuffersAfterRender(0);
        auto* root = new CVGroup;
        root->Ref();
        ASSERT_EQ(action.Apply(root), 1);
        GLubyte px[4];
        glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        EXPECT_EQ(px[1], 255);
        EXPECT_EQ(px[0], 0);
        EXPECT_EQ(area->SwapBuffers(), 1);
        root->Unref();
        area->Unref();
    }
    DeleteDC(dc);
    XDestroyWindow(x11, window);
    XSync(x11, False);
}

TEST(WindowDevice, WithoutAWindowNoContextIsMade)
{
    HDC dc = CreateWindowDC(0);
    CVWindowDevice device(dc, 1);
    CVGLRenderArea area(&device);
    EXPECT_EQ(area.IsSuccess(), 0);
    DeleteDC(dc);
}

} // namespace
