#include "tests/support/SceneRender.h"

#include "scene/render/GLRenderArea.h"

#include <cstdlib>

namespace lumo::test {

SceneRender::SceneRender(int width, int height)
    : mWidth(width), mHeight(height), mOff(width, height),
      mInflation(CVGLRenderArea::GetWorldInflationFactor())
{
    CVGLRenderArea::SetInflateWorld(0);
    mAction = new CVRenderAction(mOff.area());
    mAction->SetViewport(0, 0, width, height);
}

SceneRender::~SceneRender()
{
    delete mAction;
    CVGLRenderArea::SetInflateWorld(mInflation != 1.0f);
}

int SceneRender::Render(CVNode* root) { return mAction->Apply(root); }

Pixel SceneRender::At(int x, int y) const
{
    const unsigned char* p = mOff.dc()->bitmap->bits.data() + (size_t(mHeight - 1 - y) * size_t(mWidth) + size_t(x)) * 4;
    return {p[2], p[1], p[0]};
}

bool Near(const Pixel& a, const Pixel& b, int tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[size_t(i)] - b[size_t(i)]) > tolerance)
            return false;
    return true;
}

std::array<int, 4> SceneRender::Bounds(Pixel background, int tolerance) const
{
    std::array<int, 4> r{-1, -1, -1, -1};
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            if (!Near(At(x, y), background, tolerance)) {
                if (r[0] < 0 || x < r[0])
                    r[0] = x;
                if (r[1] < 0)
                    r[1] = y;
                if (x > r[2])
                    r[2] = x;
                r[3] = y;
            }
    return r;
}

int SceneRender::Count(Pixel colour, int tolerance) const
{
    int n = 0;
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            n += Near(At(x, y), colour, tolerance) ? 1 : 0;
    return n;
}

CVOrthographicCamera* OrthoCamera(float viewHeight)
{
    auto* camera = new CVOrthographicCamera;
    camera->viewHeight.SetValue(viewHeight);
    camera->nearPlane.SetValue(1.0f);
    camera->farPlane.SetValue(20.0f);
    return camera;
}

} // namespace lumo::test
