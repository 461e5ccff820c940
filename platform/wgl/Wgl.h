// The Windows OpenGL context interface (pixel formats, contexts, list
// sharing, buffer swaps) over EGL. Every context of the process lives on one
// EGL display (the X11 platform when the process has an X display, else the
// surfaceless Mesa platform), so that any two contexts can share display
// lists and textures. A memory DC renders into a pbuffer of its bitmap's
// size, and SwapBuffers copies the pixels into the bitmap; a window DC
// renders into an EGL window surface of its X11 window.
#pragma once

#include "platform/win/GdiTypes.h"

#include <cstdint>

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
// Fills pfd for a pixel format number; returns the number of formats, 0 on failure.
int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int GetPixelFormat(HDC dc);

HGLRC wglCreateContext(HDC dc);
BOOL wglDeleteContext(HGLRC rc);
// A null context releases the current one.
BOOL wglMakeCurrent(HDC dc, HGLRC rc);
HGLRC wglGetCurrentContext();
// Makes dst share src's display lists and textures. EGL shares only at
// creation, so dst's context is created anew: objects it held are lost and
// its OpenGL state is back at the defaults.
BOOL wglShareLists(HGLRC src, HGLRC dst);
// Finishes drawing; for a memory DC, copies the image into its bitmap.
BOOL SwapBuffers(HDC dc);

namespace lumo::gl {
// The group of contexts whose display lists and textures the current context
// uses (0 without a context). It changes when wglShareLists recreates the
// context, so objects made before are never taken for the new group's.
std::uint64_t CurrentShareGroup();
// The size of the current context's drawing surface; false without one.
bool CurrentSurfaceSize(int& width, int& height);
// Makes the context current on the surface it already has, without a device
// context (whose DC may be gone, as when a bitmap was recreated): for work
// that needs the context but draws nothing, such as deleting its objects.
// Null releases the current context. 0 on failure.
BOOL MakeContextCurrent(HGLRC rc);
// The share group of a context (see CurrentShareGroup); 0 for null.
std::uint64_t ShareGroupOf(HGLRC rc);
// Whether an EGL display with OpenGL could be opened in this process.
bool DisplayAvailable();
// The X11 display the process draws windows on (an Xlib Display*), or null.
void* WindowSystemDisplay();
} // namespace lumo::gl
