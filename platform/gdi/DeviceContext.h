// A stand-in for GDI device contexts: memory DCs with a selected 32-bit
// bottom-up DIB section (BGRA, as Windows lays it out), and window DCs that
// name a native window. Only what the OpenGL device layer and the off-screen
// renderer need.
#pragma once

#include "platform/win/GdiTypes.h"

#include <vector>

struct HBITMAP__ {
    int width = 0;
    int height = 0;       // rows are stored bottom-up
    int bitsPerPixel = 32;
    std::vector<BYTE> bits;
};

struct HDC__ {
    enum Kind { Memory, Window } kind = Memory;
    HBITMAP bitmap = nullptr;      // the selected bitmap of a memory DC
    unsigned long window = 0;      // the native window of a window DC
    int pixelFormat = 0;           // set once by SetPixelFormat
};

HDC CreateCompatibleDC(HDC reference);
// A DC for a native window (an X11 window id); no window system is required
// until a context is made for it.
HDC CreateWindowDC(unsigned long window);
BOOL DeleteDC(HDC dc);
// A 32-bit DIB section when the header asks for 32 bits per pixel; other
// depths are not supported here and give null. *bits receives the pixels.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
// Selects a bitmap into a memory DC and returns the one selected before.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
// A 32-bit bitmap of the given size (top-down use, stored bottom-up as all
// DIB sections); null for a size of zero or less.
HBITMAP CreateBitmap32(int width, int height);
// Whether the handle names a bitmap that exists: handles that arrive as text
// (from a host) are checked before they are used.
bool IsLiveBitmap(const void* handle);
