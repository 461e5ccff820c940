// A window rectangle in pixels, origin bottom left, with its aspect ratio.
#pragma once

class CVViewport {
public:
    CVViewport() = default;
    CVViewport(int left, int bottom, int width, int height)
        : mLeft(left), mBottom(bottom), mWidth(width), mHeight(height),
          mAspect(height != 0 ? float(width) / float(height) : 1.0f)
    {
    }

    int GetLeft() const { return mLeft; }
    int GetBottom() const { return mBottom; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    float GetAspectRatio() const { return mAspect; }
    // Both edges are inside.
    bool PointInViewport(int x, int y) const
    {
        return x >= mLeft && x <= mLeft + mWidth && y >= mBottom && y <= mBottom + mHeight;
    }

private:
    int mLeft = 0, mBottom = 0, mWidth = 0, mHeight = 0;
    float mAspect = 1.0f;
};
