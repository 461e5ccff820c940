#include "platform/wgl/Wgl.h"

#include "platform/gdi/DeviceContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using std::size_t;

struct HGLRC__ {
    EGLContext context = EGL_NO_CONTEXT;
    EGLConfig config = nullptr;
    EGLSurface surface = EGL_NO_SURFACE;
    int width = 0, height = 0;
    bool window = false; // a window surface, sized by the window
    // The objects (lists, textures) this context can use: a number given to
    // each new context, and taken over from the source by wglShareLists.
    std::uint64_t shareGroup = 0;
};

namespace {

// The one EGL display of the process: on the X11 platform when the process
// has an X display (so that windows can be drawn into), else surfaceless.
struct EglDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    ::Display* x11 = nullptr;
    std::vector<EGLConfig> configs;

    EglDisplay()
    {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay)
            return;
        EGLDisplay d = EGL_NO_DISPLAY;
        const char* name = std::getenv("DISPLAY");
        if (name && *name && (x11 = XOpenDisplay(nullptr)) != nullptr) {
            d = getPlatformDisplay(EGL_PLATFORM_X11_KHR, x11, nullptr);
            if (d != EGL_NO_DISPLAY && !eglInitialize(d, nullptr, nullptr))
                d = EGL_NO_DISPLAY;
            if (d == EGL_NO_DISPLAY) {
                XCloseDisplay(x11);
                x11 = nullptr;
            }
        }
        if (d == EGL_NO_DISPLAY) {
            d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (d == EGL_NO_DISPLAY || !eglInitialize(d, nullptr, nullptr))
                return;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            eglTerminate(d);
            return;
        }
        EGLint count = 0;
        eglGetConfigs(d, nullptr, 0, &count);
        configs.resize(size_t(count));
        eglGetConfigs(d, configs.data(), count, &count);
        configs.resize(size_t(count));
        display = d;
    }
    ~EglDisplay()
    {
        if (display != EGL_NO_DISPLAY)
            eglTerminate(display);
        if (x11)
            XCloseDisplay(x11);
    }
};

EglDisplay& TheDisplay()
{
    static EglDisplay display;
    return display;
}

thread_local HGLRC gCurrent = nullptr;

EGLint Attrib(EGLConfig config, EGLint name)
{
    EGLint value = 0;
    eglGetConfigAttrib(TheDisplay().display, config, name, &value);
    return value;
}

int IndexOf(EGLConfig config)
{
    auto& configs = TheDisplay().configs;
    for (size_t i = 0; i < configs.size(); ++i)
        if (configs[i] == config)
            return int(i) + 1;
    return 0;
}

EGLConfig ConfigOf(int format)
{
    auto& configs = TheDisplay().configs;
    if (format < 1 || size_t(format) > configs.size())
        return nullptr;
    return configs[size_t(format) - 1];
}

void SurfaceSize(HDC dc, int& w, int& h)
{
    w = h = 1; // a memory DC without a bitmap draws into one pixel, as on Windows
    if (dc && dc->bitmap) {
        w = dc->bitmap->width;
        h = dc->bitmap->height;
    }
}

// Gives the context a pbuffer of the DC's size, recreating it when the
// selected bitmap changed; a window DC gets its window surface once.
bool FitSurface(HDC dc, HGLRC rc)
{
    if (rc->window) {
        if (rc->surface == EGL_NO_SURFACE)
            rc->surface = eglCreateWindowSurface(TheDisplay().display, rc->config,
                                                 static_cast<EGLNativeWindowType>(dc->window), nullptr);
        if (rc->surface == EGL_NO_SURFACE)
            return false;
        EGLint w = 0, h = 0;
        eglQuerySurface(TheDisplay().display, rc->surface, EGL_WIDTH, &w);
        eglQuerySurface(TheDisplay().display, rc->surface, EGL_HEIGHT, &h);
        rc->width = w;
        rc->height = h;
        return true;
    }
    int w, h;
    SurfaceSize(dc, w, h);
    if (rc->surface != EGL_NO_SURFACE && rc->width == w && rc->height == h)
        return true;
    EGLDisplay d = TheDisplay().display;
    EGLSurface old = rc->surface;
    const EGLint attribs[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    EGLSurface s = eglCreatePbufferSurface(d, rc->config, attribs);
    if (s == EGL_NO_SURFACE)
        return false;
    rc->surface = s;
    rc->width = w;
    rc->height = h;
    if (old != EGL_NO_SURFACE) {
        if (gCurrent == rc)
            eglMakeCurrent(d, s, s, rc->context);
        eglDestroySurface(d, old);
    }
    return true;
}

} // namespace

bool lumo::gl::CurrentSurfaceSize(int& width, int& height)
{
    if (!gCurrent)
        return false;
    if (gCurrent->window) {
        eglQuerySurface(TheDisplay().display, gCurrent->surface, EGL_WIDTH, &gCurrent->width);
        eglQuerySurface(TheDisplay().display, gCurrent->surface, EGL_HEIGHT, &gCurrent->height);
    }
    width = gCurrent->width;
    height = gCurrent->height;
    return true;
}

std::uint64_t lumo::gl::CurrentShareGroup() { return gCurrent ? gCurrent->shareGroup : 0; }

std::uint64_t lumo::gl::ShareGroupOf(HGLRC rc) { return rc ? rc->shareGroup : 0; }

BOOL lumo::gl::MakeContextCurrent(HGLRC rc)
{
    EGLDisplay d = TheDisplay().display;
    if (d == EGL_NO_DISPLAY)
        return 0;
    if (!rc) {
        gCurrent = nullptr;
        return eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (gCurrent == rc)
        return 1;
    // A context that never had a surface goes current without one (Mesa
    // offers surfaceless contexts).
    if (!eglMakeCurrent(d, rc->surface, rc->surface, rc->context))
        return 0;
    gCurrent = rc;
    return 1;
}

void* lumo::gl::WindowSystemDisplay() { return TheDisplay().x11; }

bool lumo::gl::DisplayAvailable() { return TheDisplay().display != EGL_NO_DISPLAY; }

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd)
{
    EglDisplay& disp = TheDisplay();
    if (!dc || !pfd || disp.display == EGL_NO_DISPLAY)
        return 0;
    EGLint surfaceType = dc->kind == HDC__::Window ? EGL_WINDOW_BIT : EGL_PBUFFER_BIT;
    if (dc->kind == HDC__::Window && !disp.x11)
        return 0; // no window system: no window formats
    // The deepest depth buffer up to the one asked for.
    for (EGLint depth : {EGLint(pfd->cDepthBits), 24, 16, 0}) {
        if (depth > pfd->cDepthBits)
            continue;
        const EGLint attribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                  EGL_SURFACE_TYPE, surfaceType,
                                  EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                  EGL_DEPTH_SIZE, depth,
                                  EGL_NONE};
        EGLConfig config;
        EGLint found = 0;
        if (eglChooseConfig(disp.display, attribs, &config, 1, &found) && found > 0)
            return IndexOf(config);
    }
    return 0;
}

int DescribePixelFormat(HDC, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd)
{
    EGLConfig config = ConfigOf(format);
    if (!config)
        return 0;
    if (pfd && size >= sizeof(PIXELFORMATDESCRIPTOR)) {
        *pfd = PIXELFORMATDESCRIPTOR{};
        pfd->nSize = sizeof(PIXELFORMATDESCRIPTOR);
        pfd->nVersion = 1;
        EGLint surfaces = Attrib(config, EGL_SURFACE_TYPE);
        pfd->dwFlags = PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT;
        if (surfaces & EGL_PBUFFER_BIT)
            pfd->dwFlags |= PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI;
        if (surfaces & EGL_WINDOW_BIT)
            pfd->dwFlags |= PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
        pfd->iPixelType = PFD_TYPE_RGBA;
        pfd->cRedBits = BYTE(Attrib(config, EGL_RED_SIZE));
        pfd->cGreenBits = BYTE(Attrib(config, EGL_GREEN_SIZE));
        pfd->cBlueBits = BYTE(Attrib(config, EGL_BLUE_SIZE));
        pfd->cAlphaBits = BYTE(Attrib(config, EGL_ALPHA_SIZE));
        // BGRA in memory, as a 32-bit DIB has it.
        pfd->cBlueShift = 0;
        pfd->cGreenShift = pfd->cBlueBits;
        pfd->cRedShift = BYTE(pfd->cBlueBits + pfd->cGreenBits);
        pfd->cAlphaShift = BYTE(pfd->cRedShift + pfd->cRedBits);
        pfd->cColorBits = BYTE(pfd->cRedBits + pfd->cGreenBits + pfd->cBlueBits);
        pfd->cDepthBits = BYTE(Attrib(config, EGL_DEPTH_SIZE));
        pfd->cStencilBits = BYTE(Attrib(config, EGL_STENCIL_SIZE));
        pfd->iLayerType = PFD_MAIN_PLANE;
    }
    return int(TheDisplay().configs.size());
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    if (!dc || !ConfigOf(format))
        return 0;
    dc->pixelFormat = format;
    return 1;
}

int GetPixelFormat(HDC dc) { return dc ? dc->pixelFormat : 0; }

HGLRC wglCreateContext(HDC dc)
{
    if (!dc)
        return nullptr;
    EGLConfig config = ConfigOf(dc->pixelFormat);
    if (!config || (dc->kind == HDC__::Window && (!TheDisplay().x11 || !dc->window)))
        return nullptr; // window surfaces need an X display and a window
    static std::atomic<std::uint64_t> groups{0};
    // The bound client API is per thread in EGL (OpenGL ES by default): every
    // thread that makes or uses a context binds desktop OpenGL first.
    eglBindAPI(EGL_OPENGL_API);
    auto* rc = new HGLRC__;
    rc->shareGroup = ++groups;
    rc->config = config;
    rc->window = dc->kind == HDC__::Window;
    rc->context = eglCreateContext(TheDisplay().display, config, EGL_NO_CONTEXT, nullptr);
    if (rc->context == EGL_NO_CONTEXT || !FitSurface(dc, rc)) {
        wglDeleteContext(rc);
        return nullptr;
    }
    return rc;
}

BOOL wglDeleteContext(HGLRC rc)
{
    if (!rc)
        return 0;
    EGLDisplay d = TheDisplay().display;
    if (gCurrent == rc) {
        eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        gCurrent = nullptr;
    }
    if (rc->surface != EGL_NO_SURFACE)
        eglDestroySurface(d, rc->surface);
    if (rc->context != EGL_NO_CONTEXT)
        eglDestroyContext(d, rc->context);
    delete rc;
    return 1;
}

BOOL wglMakeCurrent(HDC dc, HGLRC rc)
{
    EGLDisplay d = TheDisplay().display;
    if (d == EGL_NO_DISPLAY)
        return 0;
    if (!rc) {
        gCurrent = nullptr;
        return eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (!dc || !FitSurface(dc, rc))
        return 0;
    eglBindAPI(EGL_OPENGL_API);
    if (!eglMakeCurrent(d, rc->surface, rc->surface, rc->context))
        return 0;
    gCurrent = rc;
    return 1;
}

HGLRC wglGetCurrentContext() { return gCurrent; }

BOOL wglShareLists(HGLRC src, HGLRC dst)
{
    if (!src || !dst || src == dst)
        return 0;
    EGLDisplay d = TheDisplay().display;
    eglBindAPI(EGL_OPENGL_API);
    EGLContext shared = eglCreateContext(d, dst->config, src->context, nullptr);
    if (shared == EGL_NO_CONTEXT)
        return 0;
    bool wasCurrent = gCurrent == dst;
    if (wasCurrent)
        eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(d, dst->context);
    dst->context = shared;
    dst->shareGroup = src->shareGroup;
    if (wasCurrent && !eglMakeCurrent(d, dst->surface, dst->surface, dst->context))
        gCurrent = nullptr;
    return 1;
}

BOOL SwapBuffers(HDC dc)
{
    if (!dc || !gCurrent)
        return 0;
    if (gCurrent->window)
        return eglSwapBuffers(TheDisplay().display, gCurrent->surface) ? 1 : 0;
    glFinish();
    if (dc->kind == HDC__::Memory && dc->bitmap && dc->bitmap->width == gCurrent->width &&
        dc->bitmap->height == gCurrent->height) {
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, gCurrent->width, gCurrent->height, GL_BGRA, GL_UNSIGNED_BYTE, dc->bitmap->bits.data());
    }
    return 1;
}
