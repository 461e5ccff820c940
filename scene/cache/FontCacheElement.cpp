#include "scene/cache/FontCacheElement.h"

#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <cstring>
#include <typeinfo>

bool CVFontCacheElement::IsEqual(const CVCacheElement& key) const
{
    if (typeid(key) != typeid(*this))
        return false;
    return std::memcmp(&static_cast<const CVFontCacheElement&>(key).mFont, &mFont, sizeof mFont) == 0;
}

unsigned CVFontCacheElement::GetListBase()
{
    if (!mListBase)
        mListBase = glGenLists(GLsizei(kGlyphCount));
    return mListBase;
}

unsigned CVFontCacheElement::GetGlyphTexture(unsigned code) const
{
    auto it = mGlyphTextures.find(code);
    return it == mGlyphTextures.end() ? 0 : it->second;
}

void CVFontCacheElement::SetGlyphTexture(unsigned code, unsigned texture)
{
    unsigned& slot = mGlyphTextures[code];
    if (slot && slot != texture)
        glDeleteTextures(1, &slot);
    slot = texture;
}

void CVFontCacheElement::FreeGLObjects()
{
    if (mListBase)
        glDeleteLists(mListBase, GLsizei(kGlyphCount));
    mListBase = 0;
    mBuilt.reset();
    for (auto& entry : mGlyphTextures)
        if (entry.second)
            glDeleteTextures(1, &entry.second);
    mGlyphTextures.clear();
}

bool CVOutlineFontCacheElement::IsEqual(const CVCacheElement& key) const
{
    if (!CVFontCacheElement::IsEqual(key))
        return false;
    const auto& k = static_cast<const CVOutlineFontCacheElement&>(key);
    return k.mFormat == mFormat && k.mDeviation == mDeviation && k.mExtrusion == mExtrusion;
}

namespace {
template <class E, class... Args>
E* Use(CVGLRenderArea* area, CVCacheUser& user, bool* created, Args... args)
{
    CVGLRenderArea* home = CVGLRenderArea::MakeCacheCurrent(area);
    if (!home)
        return nullptr;
    E key(args...);
    return home->GetFontCache()->FindOrAdd(user, key, [&] { return std::make_unique<E>(args...); }, created);
}
} // namespace

CVOutlineFontCacheElement* lumo::UseOutlineFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font,
                                                int format, float deviation, float extrusion, bool* created)
{
    return Use<CVOutlineFontCacheElement>(area, user, created, font, format, deviation, extrusion);
}

CVBitmapFontCacheElement* lumo::UseBitmapFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font,
                                              bool* created)
{
    return Use<CVBitmapFontCacheElement>(area, user, created, font);
}
