// Test support: render a node under a camera into an off-screen bitmap and
// look at the pixels.
#pragma once

#include "scene/actions/RenderAction.h"
#include "scene/core/Child.h"
#include "scene/nodes/Camera.h"
#include "tests/support/Offscreen.h"

#include <array>

namespace lumo::test {

using Pixel = std::array<int, 3>; // red, green, blue

// Renders 'scene' (made a child of 'camera') with a render action and reads
// the bitmap back; the scene is drawn without world inflation.
class SceneRender {
public:
    SceneRender(int width = 100, int height = 100);
    ~SceneRender();

    CVRenderAction& Action() { return *mAction; }
    CVGLRenderArea* Area() const { return mOff.area(); }
    // Renders and returns 1 on success.
    int Render(CVNode* root);
    // Pixel at (x, y), y counted from the top.
    Pixel At(int x, int y) const;
    // The bounding rectangle of pixels that differ from the background
    // colour by more than 'tolerance' in any channel: left, top, right, bottom
    // (inclusive); all -1 when there are none.
    std::array<int, 4> Bounds(Pixel background, int tolerance = 8) const;
    int Count(Pixel colour, int tolerance = 8) const;
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

private:
    int mWidth, mHeight;
    Offscreen mOff;
    CVRenderAction* mAction;
    float mInflation;
};

// An orthographic camera looking down -z from z = 10 with a view height.
CVOrthographicCamera* OrthoCamera(float viewHeight);

bool Near(const Pixel& a, const Pixel& b, int tolerance);

} // namespace lumo::test
