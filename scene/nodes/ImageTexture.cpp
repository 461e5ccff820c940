#include "scene/nodes/ImageTexture.h"

#include "scene/core/State.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>

LUMO_IMPLEMENT_NODE(CVImageTexture, CVTexture)

CVImageTexture::CVImageTexture()
{
    repeatS.SetValue(1);
    repeatT.SetValue(1);
}

void CVImageTexture::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVImageTexture>(L"ImageTexture")
        .Field(L"url", &CVImageTexture::url)
        .Field(L"repeatS", &CVImageTexture::repeatS)
        .Field(L"repeatT", &CVImageTexture::repeatT);
}

void CVImageTexture::SetClearColors(const unsigned* values)
{
    if (!values)
        return UnSetClearColors();
    mClearColors.set = true;
    std::copy(values, values + 9, mClearColors.values);
}

void CVImageTexture::UnSetClearColors() { mClearColors = lumo::texture::ClearColors(); }

CVTextureCacheElement* CVImageTexture::Prepare(CVGLRenderArea* area)
{
    SetTextureRendered(0);
    SetTextureTransparent(0);
    mLoaded.clear();
    CVGLRenderArea* home = CVGLRenderArea::MakeCacheCurrent(area);
    if (!home)
        return nullptr;
    NodeKey key;
    int count = std::min(url.GetNum(), kMaxUrls);
    for (int i = 0; i < count; ++i)
        key.urls.push_back(url[i]);
    key.tiled = IsTiled();
    key.clearColors = mClearColors;
    if (!(key == mKey)) {
        mUser.Release();
        mKey = std::move(key);
    }
    CVCache* cache = home->GetTextureCache();
    CVTextureCacheElement* last = nullptr;
    mLoaded.assign(mKey.urls.size(), nullptr);
    for (size_t i = 0; i < mKey.urls.size(); ++i) {
        const std::wstring& location = mKey.urls[i];
        CVTextureCacheElement::Key k;
        k.url = location;
        k.tiled = mKey.tiled;
        k.clearColors = mKey.clearColors;
        k.searchPath = area->GetTextureImageSearchPath();
        k.mipmap = area->IsMipmappingEnabled() != 0;
        bool created = false;
        CVTextureCacheElement probe(k);
        CVTextureCacheElement* e =
            cache->FindOrAdd(mUser, probe, [&] { return std::make_unique<CVTextureCacheElement>(k); }, &created);
        if (e && created)
            e->Load(area);
        if (e && e->IsLoaded())
            last = mLoaded[i] = e;
    }
    // What is drawn is the last texture that loaded: the flags describe it.
    if (last) {
        SetTextureRendered(1);
        SetTextureTransparent(last->IsTransparent() ? 1 : 0);
    }
    return last;
}

bool CVImageTexture::BindImage(int index)
{
    if (index < 0 || size_t(index) >= mLoaded.size() || !mLoaded[size_t(index)])
        index = 0;
    if (mLoaded.empty() || !mLoaded[size_t(index)])
        return false;
    glBindTexture(GL_TEXTURE_2D, mLoaded[size_t(index)]->GetTexture());
    return true;
}

void CVImageTexture::PrepareTexture(CVState* state, CVGLRenderArea* area)
{
    if (area && area->IsTexturingEnabled() && !(state && state->m_bPickMode))
        Prepare(area);
}

void CVImageTexture::Render(CVState* state, CVGLRenderArea* area)
{
    if (!area || !area->IsTexturingEnabled() || (state && state->m_bPickMode))
        return;
    CVTextureCacheElement* e = Prepare(area);
    mMipmapped = area->IsMipmappingEnabled();
    glBindTexture(GL_TEXTURE_2D, e ? e->GetTexture() : 0);
    if (e)
        CVTexture::Render(state, area);
}
