// Glyph sets of a render area's font cache, shared by every font style that
// asks for the same font. The text nodes build the glyphs; these classes
// hold them, say what makes two sets equal, and free them with the set.
//
// Lifetime: a font style holds a CVCacheUser; it finds or creates its set
// with UseOutlineFont / UseBitmapFont during drawing (the set is made in the
// share group of the area the style draws in, through its render cache),
// releases the user when its font changes or before it rebuilds its glyphs,
// and on destruction. The set, with its display lists and textures, is
// deleted when its last user releases it or when the area is destroyed.
#pragma once

#include "platform/win/GdiTypes.h"
#include "scene/render/Cache.h"

#include <bitset>
#include <memory>
#include <unordered_map>

class CVGLRenderArea;

// A glyph set keyed by its complete logical font (all bytes equal: fill the
// record with zeros before setting its members). It holds one display list
// per character code 0..254, reserved together on first use, built glyph by
// glyph as text asks for them, and per-glyph textures for raster glyphs.
class CVFontCacheElement : public CVCacheElement {
public:
    static constexpr unsigned kGlyphCount = 255;

    explicit CVFontCacheElement(const LOGFONTW& font) : mFont(font) {}

    // Same class and all bytes of the logical font equal.
    bool IsEqual(const CVCacheElement& key) const override;
    const LOGFONTW& GetLogFont() const { return mFont; }

    // The first of kGlyphCount consecutive display lists, glyph code c being
    // list base + c; reserved (glGenLists) on the first call, in the current
    // context. 0 when OpenGL gives none.
    unsigned GetListBase();
    // Whether the list of a code has been compiled (codes >= kGlyphCount: never).
    bool IsGlyphBuilt(unsigned code) const { return code < kGlyphCount && mBuilt.test(code); }
    void SetGlyphBuilt(unsigned code)
    {
        if (code < kGlyphCount)
            mBuilt.set(code);
    }
    // A texture made for a glyph (0 when none); the set deletes it with itself.
    unsigned GetGlyphTexture(unsigned code) const;
    void SetGlyphTexture(unsigned code, unsigned texture);

protected:
    void FreeGLObjects() override;

private:
    LOGFONTW mFont;
    unsigned mListBase = 0;
    std::bitset<kGlyphCount> mBuilt;
    std::unordered_map<unsigned, unsigned> mGlyphTextures;
};

// Outline glyphs (3D text): the set also depends on how the outlines are
// made, and keeps each glyph's metrics.
class CVOutlineFontCacheElement : public CVFontCacheElement {
public:
    enum Format { LINES = 0, POLYGONS = 1 };

    CVOutlineFontCacheElement(const LOGFONTW& font, int format, float deviation, float extrusion)
        : CVFontCacheElement(font), mFormat(format), mDeviation(deviation), mExtrusion(extrusion)
    {
    }

    // The logical font, the format, the deviation and the extrusion equal.
    bool IsEqual(const CVCacheElement& key) const override;
    int GetFormat() const { return mFormat; }
    float GetDeviation() const { return mDeviation; }
    float GetExtrusion() const { return mExtrusion; }
    // Metrics of glyph code c (c < kGlyphCount), zero until the text code fills them.
    GLYPHMETRICSFLOAT* GetGlyphMetrics() { return mMetrics; }
    const GLYPHMETRICSFLOAT* GetGlyphMetrics() const { return mMetrics; }

private:
    int mFormat;
    float mDeviation;
    float mExtrusion;
    GLYPHMETRICSFLOAT mMetrics[kGlyphCount] = {};
};

// Raster glyphs (screen-aligned text), keyed by the logical font alone.
class CVBitmapFontCacheElement : public CVFontCacheElement {
public:
    using CVFontCacheElement::CVFontCacheElement;
};

namespace lumo {
// The glyph set for the font in the font cache where the area makes its
// objects (its render cache, else itself), registered for the user; created
// empty on a miss ('created' says so, so that the caller builds it). Null
// without an area.
CVOutlineFontCacheElement* UseOutlineFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font, int format,
                                          float deviation, float extrusion, bool* created = nullptr);
CVBitmapFontCacheElement* UseBitmapFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font,
                                        bool* created = nullptr);
} // namespace lumo
