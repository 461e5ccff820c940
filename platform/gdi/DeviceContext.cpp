#include "platform/gdi/DeviceContext.h"

#include <cstdlib>
#include <limits>

HDC CreateCompatibleDC(HDC) { return new HDC__; }

HDC CreateWindowDC(unsigned long window)
{
    HDC dc = new HDC__;
    dc->kind = HDC__::Window;
    dc->window = window;
    return dc;
}

BOOL DeleteDC(HDC dc)
{
    delete dc;
    return dc != nullptr;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, void*, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    long long width = h.biWidth, height = std::llabs(static_cast<long long>(h.biHeight));
    if (h.biBitCount != 32 || width <= 0 || height <= 0 || width * height > std::numeric_limits<int>::max() / 4)
        return nullptr;
    auto* bmp = new HBITMAP__;
    bmp->width = int(width);
    bmp->height = int(height);
    bmp->bits.assign(size_t(width * height * 4), 0);
    if (bits)
        *bits = bmp->bits.data();
    return bmp;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (!dc || dc->kind != HDC__::Memory)
        return nullptr;
    HBITMAP old = dc->bitmap;
    dc->bitmap = static_cast<HBITMAP>(object);
    return old;
}

BOOL DeleteObject(HGDIOBJ object)
{
    delete static_cast<HBITMAP>(object);
    return object != nullptr;
}
