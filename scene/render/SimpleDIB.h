// A memory bitmap: a 32-bit DIB section selected into its own memory DC,
// the target of off-screen rendering and the source of copies and image files.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "scene/io/image/Image.h"

#include <string>

class CSimpleDIB {
public:
    CSimpleDIB() = default;
    CSimpleDIB(const CSimpleDIB&) = delete;
    CSimpleDIB& operator=(const CSimpleDIB&) = delete;
    virtual ~CSimpleDIB();

    // (Re)creates the bitmap; throws std::bad_alloc when it cannot be made
    // (a size of zero or less included).
    void Create(int width, int height, HDC reference);
    // A new bitmap of the size, selected into the same memory DC (so that a
    // render area on the DC stays usable); like Create when there is none.
    void Resize(int width, int height, HDC reference);

    // Copies (x, y are the target's top-left, top-down) with SRCCOPY.
    BOOL BitBlt(HDC target, int x, int y) const;
    BOOL BitBlt(HDC target, int x, int y, int w, int h, int sx, int sy) const;
    BOOL StretchBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const;
    // Like StretchBlt, leaving out every pixel of the transparent colour.
    BOOL TransparentBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                        COLORREF transparent) const;
    // A 32-bit bitmap has no colour table: nothing to copy.
    void SetPalette(HPALETTE) {}
    // Writes an image file, the format chosen by the name's extension.
    bool SaveToDIBFile(const std::wstring& name, const lumo::image::WriteOptions& options = {}) const;

    HDC GetDC() const { return mDC; }
    HBITMAP GetBitmap() const { return mBitmap; }
    void* GetBits() const { return mBits; }
    unsigned GetWidth() const { return mWidth; }
    unsigned GetHeight() const { return mHeight; }

private:
    void Release();

    HBITMAP mBitmap = nullptr;
    HGDIOBJ mPrevious = nullptr;
    void* mBits = nullptr;
    unsigned mWidth = 0, mHeight = 0;
    HDC mDC = nullptr;
};
