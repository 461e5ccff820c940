#include "scene/cache/TextureCacheElement.h"

#include "platform/text/Utf8.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glu.h>

bool CVTextureCacheElement::Key::operator==(const Key& o) const
{
    return tiled == o.tiled && mipmap == o.mipmap && clearColors == o.clearColors && url == o.url &&
           searchPath == o.searchPath;
}

bool CVTextureCacheElement::IsEqual(const CVCacheElement& key) const
{
    auto* other = dynamic_cast<const CVTextureCacheElement*>(&key);
    return other && other->mKey == mKey;
}

void CVTextureCacheElement::Load(CVGLRenderArea* area)
{
    using lumo::texture::LoadResult;
    mLoaded = mTransparent = false;
    mWidth = mHeight = 0;
    if (!mTexture)
        glGenTextures(1, &mTexture);

    LoadResult result = LoadResult::EmptyLocation;
    lumo::texture::TextureImage image;
    std::wstring file;
    if (!mKey.url.empty()) {
        IUnknown* host = area ? area->GetIUnknownInterface() : nullptr;
        file = lumo::texture::ResolveImageFile(host, mKey.searchPath, mKey.url);
        if (file.empty()) {
            result = LoadResult::NotFound;
        } else {
            GLint maxSide = 0;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
            int limit = maxSide > 0 ? int(maxSide) : lumo::texture::kMaxTextureSide;
            result = lumo::texture::MakeTextureImage(lumo::ToUtf8(file), mKey.clearColors, limit, image);
        }
    }

    glBindTexture(GL_TEXTURE_2D, mTexture);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (result == LoadResult::Loaded) {
        const CVImage& px = image.pixels;
        GLint internal = image.rgba ? GL_RGBA : GL_RGB;
        if (mKey.mipmap) {
            mLoaded = gluBuild2DMipmaps(GL_TEXTURE_2D, internal, px.width, px.height, GL_BGRA, GL_UNSIGNED_BYTE,
                                        px.bgra.data()) == 0;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        } else {
            glTexImage2D(GL_TEXTURE_2D, 0, internal, px.width, px.height, 0, GL_BGRA, GL_UNSIGNED_BYTE, px.bgra.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            mLoaded = true;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (mLoaded) {
            mTransparent = image.transparent;
            mWidth = px.width;
            mHeight = px.height;
        } else {
            result = LoadResult::NoMemory;
        }
    }
    if (!mLoaded) {
        // An empty image: the texture exists but is never complete.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        if (area && result != LoadResult::EmptyLocation)
            area->ReportError(lumo::texture::DescribeFailure(result, mKey.url, file));
    }
    glPopClientAttrib();
}

void CVTextureCacheElement::FreeGLObjects()
{
    if (mTexture)
        glDeleteTextures(1, &mTexture);
    mTexture = 0;
}
