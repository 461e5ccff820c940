#include "scene/render/GLDevice.h"

#include "platform/wgl/Wgl.h"

const PIXELFORMATDESCRIPTOR CVGLDevice::m_pfd = [] {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_BITMAP;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cDepthBits = 32;
    return pfd;
}();

CVGLDevice::CVGLDevice(HDC dc) : mDC(dc) {}

void CVGLDevice::Init(const PIXELFORMATDESCRIPTOR& pfd) { mSuccess = bSetupPixelFormat(pfd); }

int CVGLDevice::bSetupPixelFormat(const PIXELFORMATDESCRIPTOR& pfd)
{
    int format = ChoosePixelFormat(mDC, &pfd);
    if (format == 0)
        return 0;
    if (DescribePixelFormat(mDC, format, sizeof(mChosen), &mChosen) == 0)
        return 0;
    return SetPixelFormat(mDC, format, &mChosen) ? 1 : 0;
}

CVWindowDevice::CVWindowDevice(HDC dc, int doubleBuffer) : CVGLDevice(dc), mDoubleBuffer(doubleBuffer)
{
    PIXELFORMATDESCRIPTOR pfd;
    GetPFD(pfd);
    Init(pfd);
}

void CVWindowDevice::GetPFD(PIXELFORMATDESCRIPTOR& pfd) const
{
    pfd = m_pfd;
    pfd.dwFlags = (pfd.dwFlags & ~PFD_DRAW_TO_BITMAP) | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
}

void CVWindowDevice::PreCreateWindow(CREATESTRUCTW& cs)
{
    cs.style = (cs.style & ~DWORD(0x80)) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

CVBitmapDevice::CVBitmapDevice(HDC dc) : CVGLDevice(dc)
{
    PIXELFORMATDESCRIPTOR pfd;
    GetPFD(pfd);
    Init(pfd);
}

void CVBitmapDevice::GetPFD(PIXELFORMATDESCRIPTOR& pfd) const
{
    pfd = m_pfd;
    pfd.dwFlags |= PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI;
}
