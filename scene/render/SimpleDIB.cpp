#include "scene/render/SimpleDIB.h"

#include "scene/io/PackedDIB.h"

#include <new>

CSimpleDIB::~CSimpleDIB() { Release(); }

void CSimpleDIB::Release()
{
    if (mDC) {
        SelectObject(mDC, mPrevious);
        DeleteDC(mDC);
    }
    if (mBitmap)
        DeleteObject(mBitmap);
    mDC = nullptr;
    mBitmap = nullptr;
    mPrevious = nullptr;
    mBits = nullptr;
    mWidth = mHeight = 0;
}

namespace {
BITMAPINFO Info32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
} // namespace

void CSimpleDIB::Resize(int width, int height, HDC reference)
{
    if (!mDC) {
        Create(width, height, reference);
        return;
    }
    BITMAPINFO info = Info32(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(mDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        throw std::bad_alloc(); // the old bitmap stays
    }
    SelectObject(mDC, bitmap);
    DeleteObject(mBitmap);
    mBitmap = bitmap;
    mBits = bits;
    mWidth = unsigned(width);
    mHeight = unsigned(height);
}

void CSimpleDIB::Create(int width, int height, HDC reference)
{
    Release();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    mDC = CreateCompatibleDC(reference);
    mBitmap = CreateDIBSection(mDC, &info, DIB_RGB_COLORS, &mBits, nullptr, 0);
    if (!mBitmap || !mBits) {
        Release();
        throw std::bad_alloc();
    }
    mPrevious = SelectObject(mDC, mBitmap);
    mWidth = unsigned(width);
    mHeight = unsigned(height);
}

BOOL CSimpleDIB::BitBlt(HDC target, int x, int y) const { return BitBlt(target, x, y, int(mWidth), int(mHeight), 0, 0); }

BOOL CSimpleDIB::BitBlt(HDC target, int x, int y, int w, int h, int sx, int sy) const
{
    return StretchBlt(target, x, y, w, h, sx, sy, w, h);
}

BOOL CSimpleDIB::StretchBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const
{
    if (!mBitmap || !target || !target->bitmap)
        return 0;
    CVImage source = lumo::dib::FromBitmap(mBitmap);
    CVImage dest = lumo::dib::FromBitmap(target->bitmap);
    lumo::dib::Stretch(source, sx, sy, sw, sh, dest, x, y, w, h, false);
    lumo::dib::ToBitmap(dest, target->bitmap);
    return 1;
}

BOOL CSimpleDIB::TransparentBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                                COLORREF transparent) const
{
    if (!mBitmap || !target || !target->bitmap || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return 0;
    CVImage source = lumo::dib::FromBitmap(mBitmap);
    CVImage dest = lumo::dib::FromBitmap(target->bitmap);
    for (int dy = std::max(0, -y); dy < h && y + dy < dest.height; ++dy)
        for (int dx = std::max(0, -x); dx < w && x + dx < dest.width; ++dx) {
            int px = sx + int((long long)dx * sw / w), py = sy + int((long long)dy * sh / h);
            if (px < 0 || py < 0 || px >= source.width || py >= source.height)
                continue;
            const unsigned char* p = source.Row(py) + px * 4;
            if (RGB(p[2], p[1], p[0]) == (transparent & 0xFFFFFF))
                continue;
            unsigned char* q = dest.Row(y + dy) + (x + dx) * 4;
            q[0] = p[0], q[1] = p[1], q[2] = p[2];
        }
    lumo::dib::ToBitmap(dest, target->bitmap);
    return 1;
}

bool CSimpleDIB::SaveToDIBFile(const std::wstring& name, const lumo::image::WriteOptions& options) const
{
    if (!mBitmap)
        return false;
    return lumo::image::WriteImageFile(name, lumo::dib::FromBitmap(mBitmap), options);
}
