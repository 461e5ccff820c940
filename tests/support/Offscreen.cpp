#include "tests/support/Offscreen.h"

namespace lumo::test {

Offscreen::Offscreen(int width, int height) : mDC(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    mBitmap = CreateDIBSection(mDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(mDC, mBitmap);
    mDevice = std::make_unique<CVBitmapDevice>(mDC);
    mArea = new CVGLRenderArea(mDevice.get());
    mArea->Ref();
}

Offscreen::~Offscreen()
{
    mArea->Unref();
    SelectObject(mDC, nullptr);
    DeleteObject(mBitmap);
    DeleteDC(mDC);
}

} // namespace lumo::test
