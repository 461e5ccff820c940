// One texture of a render area's texture cache: an image file read,
// scaled to its texture size and uploaded once, shared by every image
// texture node whose key is equal.
#pragma once

#include "scene/cache/TextureImage.h"
#include "scene/render/Cache.h"

#include <string>

class CVGLRenderArea;

class CVTextureCacheElement : public CVCacheElement {
public:
    // Everything that changes the uploaded pixels: the location, the tiled
    // flag, the clear colours, the search path it is resolved along and
    // whether mipmaps are built.
    struct Key {
        std::wstring url;
        int tiled = 0;
        lumo::texture::ClearColors clearColors;
        std::wstring searchPath;
        bool mipmap = false;

        bool operator==(const Key& o) const;
    };

    explicit CVTextureCacheElement(Key key) : mKey(std::move(key)) {}

    bool IsEqual(const CVCacheElement& key) const override;
    const Key& GetKey() const { return mKey; }

    // Reads, scales and uploads the image into a new texture, in the current
    // context (one of the element's share group). On failure the texture is
    // an empty RGBA image, the element is not loaded, and the area's error
    // report says why (an empty location is quietly nothing).
    void Load(CVGLRenderArea* area);

    // The OpenGL texture (0 before Load or when OpenGL gave none).
    unsigned GetTexture() const { return mTexture; }
    bool IsLoaded() const { return mLoaded; }
    // The image has transparent pixels.
    bool IsTransparent() const { return mTransparent; }
    // The uploaded size (0 when nothing loaded).
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }

protected:
    void FreeGLObjects() override;

private:
    Key mKey;
    unsigned mTexture = 0;
    bool mLoaded = false;
    bool mTransparent = false;
    int mWidth = 0, mHeight = 0;
};
