#include "platform/gdi/DeviceContext.h"

#include <cstdlib>
#include <limits>
#include <mutex>
#include <unordered_set>

namespace {
// The bitmaps of the process, shared by render threads.
std::unordered_set<const void*>& LiveBitmaps()
{
    static std::unordered_set<const void*> live;
    return live;
}
std::mutex& LiveBitmapsMutex()
{
    static std::mutex mutex;
    return mutex;
}
} // namespace

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
    HBITMAP bmp = CreateBitmap32(int(width), int(height));
    if (bmp && bits)
        *bits = bmp->bits.data();
    return bmp;
}

HBITMAP CreateBitmap32(int width, int height)
{
    if (width <= 0 || height <= 0 || (long long)width * height > std::numeric_limits<int>::max() / 4)
        return nullptr;
    auto* bmp = new HBITMAP__;
    bmp->width = width;
    bmp->height = height;
    bmp->bits.assign(size_t(width) * size_t(height) * 4, 0);
    std::lock_guard<std::mutex> lock(LiveBitmapsMutex());
    LiveBitmaps().insert(bmp);
    return bmp;
}

bool IsLiveBitmap(const void* handle)
{
    std::lock_guard<std::mutex> lock(LiveBitmapsMutex());
    return handle && LiveBitmaps().count(handle) > 0;
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
    {
        std::lock_guard<std::mutex> lock(LiveBitmapsMutex());
        if (!object || LiveBitmaps().erase(object) == 0)
            return 0;
    }
    delete static_cast<HBITMAP>(object);
    return 1;
}
