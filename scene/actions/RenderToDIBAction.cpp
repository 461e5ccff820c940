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
    try {
        mDIB.Create(w, h, mReference);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    CVBitmapDevice device(mDIB.GetDC());
    auto* area = new CVGLRenderArea(&device);
    area->SetRenderAreaToBitmap(1);
    SetRenderArea(area);
    CVRenderAction::SetViewport(x, y, w, h);
    // The area knows its viewport before the first frame, so that projections
    // through it (window to object coordinates) work at once.
    DoSetViewport();
    return 1;
}
