// Base of the texture nodes an appearance holds: what a shape asks of its
// texture (was it made, is it see-through, is it tiled) and the colour used
// when no texture could be made.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/Structs.h"

class CVTexture : public CVNode {
    LUMO_DECLARE_CLASS(CVTexture)

public:
    // Over the powers of two 1, 2, 4 ... 4096: whether n is one, and the
    // largest one not above n (0 below 1, 4096 from 4096 up).
    static int IsPowerOfTwo(int n);
    static int GetClosestPowerOfTwo(int n);

    // Program-set: a tiled texture keeps its aspect on box and cylinder sides.
    void SetTiled(int tiled) { mTiled = tiled; }
    int IsTiled() const { return mTiled; }
    // Whether the last Render bound a texture that loaded.
    void SetTextureRendered(int rendered) { mRendered = rendered; }
    int GetTextureRendered() const { return mRendered; }
    // Whether the last Render's texture has transparent pixels.
    int IsTextureTransparent() const { return mTransparent; }
    // The colour the appearance draws with when no texture could be made
    // and it has no material (white by default).
    void SetFallBackColor(const RGBColorStruct& c) { mFallBack = c; }
    const RGBColorStruct& GetFallBackColor() const { return mFallBack; }

    // Finds or loads what the texture needs in the area (no binding), so
    // that a shape knows before it draws whether the texture is see-through.
    virtual void PrepareTexture(CVState* state, CVGLRenderArea* area);
    // Sets the wrap modes of the bound texture from the repeat flags.
    void Render(CVState* state, CVGLRenderArea* area) override;

protected:
    CVTexture() = default;
    virtual int RepeatS() const { return 1; }
    virtual int RepeatT() const { return 1; }
    void SetTextureTransparent(int transparent) { mTransparent = transparent; }

private:
    int mTiled = 0;
    int mRendered = 1;
    int mTransparent = 0;
    RGBColorStruct mFallBack{1.0f, 1.0f, 1.0f};
};
