// Renders frames into a memory bitmap (CSimpleDIB) of the viewport's size,
// for copies, image files and printing.
#pragma once

#include "scene/actions/RenderAction.h"
#include "scene/render/SimpleDIB.h"

namespace lumo::detail {
// Holds the bitmap in a base listed before the render action, so that it
// exists when the action's render area is built on it.
struct DIBHolder {
    CSimpleDIB mDIB;
};
} // namespace lumo::detail

class CVRenderToDIBAction : private lumo::detail::DIBHolder, public CVRenderAction {
public:
    explicit CVRenderToDIBAction(HDC reference);

    // Gives the bitmap a new size, keeping the render area (its context and
    // caches) on the same DC; an unchanged viewport keeps everything.
    // Returns 0 (changing nothing) for a size of zero or less, or when the
    // bitmap cannot be made.
    int SetViewportSize(int x, int y, int w, int h);
    void SetViewport(int x, int y, int w, int h) override { SetViewportSize(x, y, w, h); }

    const CSimpleDIB& GetSimpleDIB() const { return mDIB; }
    bool SaveToDIBFile(const std::wstring& name, const lumo::image::WriteOptions& options = {}) const
    {
        return mDIB.SaveToDIBFile(name, options);
    }
    BOOL BitBlt(HDC target, int x, int y) const { return mDIB.BitBlt(target, x, y); }
    BOOL BitBlt(HDC target, int x, int y, int w, int h, int sx, int sy) const
    {
        return mDIB.BitBlt(target, x, y, w, h, sx, sy);
    }
    BOOL StretchBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const
    {
        return mDIB.StretchBlt(target, x, y, w, h, sx, sy, sw, sh);
    }
    BOOL TransparentBlt(HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh, COLORREF c) const
    {
        return mDIB.TransparentBlt(target, x, y, w, h, sx, sy, sw, sh, c);
    }
    void SetPalette(HPALETTE palette) { mDIB.SetPalette(palette); }

private:
    HDC mReference;
};
