// A texture read from an image file. Every location of 'url' is loaded and
// the last one that loaded is drawn; textures are shared through the render
// area's texture cache, so that each image is read once per share group.
// Bounds: only the first kMaxUrls locations are used.
#pragma once

#include "scene/cache/TextureCacheElement.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Texture.h"

#include <string>
#include <vector>

class CVImageTexture : public CVTexture {
    LUMO_DECLARE_NODE(CVImageTexture)

public:
    static constexpr int kMaxUrls = 16;

    CVImageTexture();

    CVMFString url;
    CVSFBool repeatS;
    CVSFBool repeatT;

    // Colours made transparent (program-set, not a document field): nine
    // values, red minimum, maximum and key, then green, then blue.
    void SetClearColors(const unsigned* values);
    void UnSetClearColors();
    int IsSetClearColors() const { return mClearColors.set ? 1 : 0; }
    // The nine values, or null when unset.
    const unsigned* GetClearColors() const { return mClearColors.set ? mClearColors.values : nullptr; }

    void PrepareTexture(CVState* state, CVGLRenderArea* area) override;
    // Loads what is missing, binds the last texture that loaded (none when
    // none did) and sets the wrap modes. Nothing when the area's texturing
    // is off or in pick mode.
    void Render(CVState* state, CVGLRenderArea* area) override;
    // Binds the image of location 'index' as the last Render loaded it (the
    // first location's when that one did not load); false when neither did.
    bool BindImage(int index);
    // Whether mipmapping was on at the last Render.
    int GetMipmapped() const { return mMipmapped; }
    const CVCacheUser& GetCacheUser() const { return mUser; }

protected:
    int RepeatS() const override { return repeatS.GetValue(); }
    int RepeatT() const override { return repeatT.GetValue(); }

private:
    // What of the node decides its textures; when it changes, the textures
    // held for the old one are released.
    struct NodeKey {
        std::vector<std::wstring> urls;
        int tiled = 0;
        lumo::texture::ClearColors clearColors;
        bool operator==(const NodeKey& o) const
        {
            return tiled == o.tiled && clearColors == o.clearColors && urls == o.urls;
        }
    };
    // Finds or loads every location's texture; returns the last that loaded.
    CVTextureCacheElement* Prepare(CVGLRenderArea* area);

    lumo::texture::ClearColors mClearColors;
    NodeKey mKey;
    CVCacheUser mUser;
    std::vector<CVTextureCacheElement*> mLoaded; // per location, held through mUser
    int mMipmapped = 0;
};
