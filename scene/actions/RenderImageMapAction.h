// Renders a scene as an image map: every pickable part flat in a colour that
// encodes its kind and index, so that a pixel's colour tells what lies there.
#pragma once

#include "scene/render/GLAction.h"
#include "scene/render/SimpleDIB.h"

#include <memory>

class CVRenderImageMapAction : public CVGLAction {
public:
    explicit CVRenderImageMapAction(HDC reference);

    // Recreates the bitmap and render area at the size; 0 for a size of
    // zero or less (nothing changes then).
    int SetViewport(int x, int y, int w, int h);
    int Apply(CVNode* node) override { return Apply(node, nullptr); }
    // Draws the node, then the second node when given; 0 without a node or
    // without a usable context.
    int Apply(CVNode* node, CVNode* second);
    // Shapes draw in their image-map colour; other nodes render as usual.
    void PreActOn(CVNode* node) override;

    bool SaveToDIBFile(const std::wstring& name) const { return mDIB && mDIB->SaveToDIBFile(name); }
    BOOL BitBlt(HDC target, int x, int y, int w, int h, int sx, int sy) const
    {
        return mDIB ? mDIB->BitBlt(target, x, y, w, h, sx, sy) : 0;
    }
    const CSimpleDIB* GetDIB() const { return mDIB.get(); }
    // The colour depth the image-map colours are encoded for (32 here).
    int GetBitsPerPixel() const { return mBitsPerPixel; }

private:
    std::unique_ptr<CSimpleDIB> mDIB;
    HDC mReference;
    int mViewport[4] = {0, 0, 0, 0};
    int mBitsPerPixel = 32;
};
