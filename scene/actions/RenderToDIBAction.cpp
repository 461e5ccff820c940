#include "scene/actions/RenderToDIBAction.h"

#include "scene/render/GLDevice.h"
#include "scene/render/GLRenderArea.h"

#include <new>

namespace {
// The action is built on a device over a small first bitmap.
CVGLRenderArea* FirstArea(CSimpleDIB& dib, HDC reference)
{
    dib.Create(32, 32, reference);
    CVBitmapDevice device(dib.GetDC());
    auto* area = new CVGLRenderArea(&device);
    area->SetRenderAreaToBitmap(1);
    return area;
}
} // namespace

CVRenderToDIBAction::CVRenderToDIBAction(HDC reference)
    : CVRenderAction(FirstArea(mDIB, reference)), mReference(reference)
{
}

int CVRenderToDIBAction::SetViewportSize(int x, int y, int w, int h)
{
    int cx, cy, cw, ch;
    GetViewport(cx, cy, cw, ch);
    if (cx == x && cy == y && cw == w && ch == h && mDIB.GetWidth() == unsigned(w) && mDIB.GetHeight() == unsigned(h))
        return 1;
    if (w <= 0 || h <= 0)
        return 0;
    // The same DC gets a bitmap of the new size, so that the render area,
    // its context and what it has cached stay; the context's drawing
    // surface follows the bitmap at its next use.
    CVGLRenderArea* area = GetRenderArea();
    try {
        if (area && area->IsSuccess() && area->GetHdc() == mDIB.GetDC())
            mDIB.Resize(w, h, mReference);
        else
            mDIB.Create(w, h, mReference);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!area || area->GetHdc() != mDIB.GetDC() || !area->IsSuccess()) {
        CVBitmapDevice device(mDIB.GetDC());
        area = new CVGLRenderArea(&device);
        area->SetRenderAreaToBitmap(1);
        SetRenderArea(area);
    }
    CVRenderAction::SetViewport(x, y, w, h);
    // The area knows its viewport before the first frame, so that projections
    // through it (window to object coordinates) work at once.
    DoSetViewport();
    return 1;
}
