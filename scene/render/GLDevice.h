// Devices choose and set the pixel format of the device context an OpenGL
// context will draw into: a window (double buffered) or a memory bitmap.
#pragma once

#include "platform/win/GdiTypes.h"

class CVGLDevice {
public:
    // The template every device starts from: OpenGL on a bitmap, RGBA, 32-bit depth.
    static const PIXELFORMATDESCRIPTOR m_pfd;

    explicit CVGLDevice(HDC dc);
    CVGLDevice(const CVGLDevice&) = default;
    CVGLDevice& operator=(const CVGLDevice&) = default;
    virtual ~CVGLDevice() = default;

    // The pixel format the device asks for.
    virtual void GetPFD(PIXELFORMATDESCRIPTOR& pfd) const = 0;

    HDC GetHdc() const { return mDC; }
    void GetChosenPFD(PIXELFORMATDESCRIPTOR& pfd) const { pfd = mChosen; }
    int IsSuccess() const { return mSuccess; }

protected:
    void Init(const PIXELFORMATDESCRIPTOR& pfd);
    // Chooses, describes and sets the pixel format; 1 only when all three work.
    int bSetupPixelFormat(const PIXELFORMATDESCRIPTOR& pfd);

private:
    HDC mDC;
    PIXELFORMATDESCRIPTOR mChosen{};
    int mSuccess = 0;
};

// A window target: double buffered, drawing to the window.
class CVWindowDevice : public CVGLDevice {
public:
    CVWindowDevice(HDC dc, int doubleBuffer);
    void GetPFD(PIXELFORMATDESCRIPTOR& pfd) const override;
    int IsDoubleBuffer() const { return mDoubleBuffer; }
    // Prepares the style of a window that will carry a context.
    static void PreCreateWindow(CREATESTRUCTW& cs);

private:
    int mDoubleBuffer;
};

// A memory bitmap target, for off-screen rendering.
class CVBitmapDevice : public CVGLDevice {
public:
    explicit CVBitmapDevice(HDC dc);
    void GetPFD(PIXELFORMATDESCRIPTOR& pfd) const override;
};
