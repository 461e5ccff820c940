// Test support: an off-screen render area on a memory bitmap, and a small
// geometry-like node with a fixed box.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "scene/core/Child.h"
#include "scene/model/Box3f.h"
#include "scene/render/GLDevice.h"
#include "scene/render/GLRenderArea.h"

#include <memory>

namespace lumo::test {

// A memory DC with a 32-bit bitmap, its device and a render area on it.
class Offscreen {
public:
    explicit Offscreen(int width = 64, int height = 64);
    ~Offscreen();
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;

    CVGLRenderArea* area() const { return mArea; }
    HDC dc() const { return mDC; }

private:
    HDC mDC;
    HBITMAP mBitmap;
    std::unique_ptr<CVBitmapDevice> mDevice;
    CVGLRenderArea* mArea;
};

// A leaf with a box of the given centre and size; counts destructions.
class BoxLeaf : public CVChild {
public:
    BoxLeaf(CVVector center, CVVector size, int* deaths = nullptr)
        : mCenter(center), mSize(size), mDeaths(deaths)
    {
    }
    ~BoxLeaf() override
    {
        if (mDeaths)
            ++*mDeaths;
    }
    void ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box) override
    {
        box->SetCenter(mCenter);
        box->SetSize(mSize);
    }

private:
    CVVector mCenter, mSize;
    int* mDeaths;
};

} // namespace lumo::test
