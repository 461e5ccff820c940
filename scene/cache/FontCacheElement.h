// Glyph sets of a render area's font cache, shared by every font style that
// asks for the same font. A set resolves its logical font to a face once
// and makes each glyph the first time text asks for it, for any code point
// (a code point the face lacks comes from a fall-back face fontconfig
// finds); what no installed font has is remembered as missing.
//
// Bounds: a set holds at most kMaxGlyphs glyphs; when it is full it is
// emptied (its generation counts up, so that glyph references taken before
// are known to be stale) and filled again as text asks.
//
// Lifetime: a font style holds a CVCacheUser; it finds or creates its set
// with UseOutlineFont / UseBitmapFont during drawing (the set is made in the
// share group of the area the style draws in, through its render cache),
// releases the user when its font changes, and on destruction. The set,
// with its display lists and textures, is deleted when its last user
// releases it or when the area is destroyed.
#pragma once

#include "platform/win/GdiTypes.h"
#include "scene/render/Cache.h"
#include "scene/text/FontFace.h"
#include "scene/text/GlyphMesh.h"

#include <memory>
#include <unordered_map>
#include <vector>

class CVGLRenderArea;

// A glyph set keyed by its complete logical font (all bytes equal: fill the
// record with zeros before setting its members).
class CVFontCacheElement : public CVCacheElement {
public:
    static constexpr std::size_t kMaxGlyphs = 2048;

    explicit CVFontCacheElement(const LOGFONTW& font) : mFont(font) {}

    // Same class and all bytes of the logical font equal.
    bool IsEqual(const CVCacheElement& key) const override;
    const LOGFONTW& GetLogFont() const { return mFont; }
    // The face of the logical font (its face name, weight and italic flag),
    // found on first use; null when no font can be opened.
    const CVFontFace* GetFace();
    // Counts the times the set was emptied.
    unsigned GetGeneration() const { return mGeneration; }
    // Glyphs held (those found missing included).
    virtual std::size_t GetGlyphCount() const = 0;
    // Memory of the glyphs: meshes, display lists' vertices, textures.
    virtual std::size_t GetMemoryBytes() const = 0;

protected:
    // The face that draws a code point: the set's own or a fall-back.
    std::shared_ptr<const CVFontFace> FaceFor(char32_t c);
    void NewGeneration() { ++mGeneration; }

private:
    LOGFONTW mFont;
    std::shared_ptr<const CVFontFace> mFace;
    bool mFaceFound = false;
    unsigned mGeneration = 0;
};

// One outline glyph: its display list (front, back and sides), metrics in
// ems and the mesh it was compiled from (drawn directly when picking).
struct CVOutlineGlyph {
    unsigned list = 0;
    GLYPHMETRICSFLOAT metrics{};
    std::shared_ptr<const CVGlyphMesh> mesh; // null: no installed font has the glyph
};

// Outline glyphs (3D text): the set also depends on how the outlines are
// made. Each glyph's list draws it at the pen and moves the pen by its
// advance, so that a line is one glCallLists.
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

    // The glyph of a code point, made on first use; with 'compile' its
    // display list too (in the current context, which must be of the set's
    // share group). May empty a full set first.
    const CVOutlineGlyph& GetGlyph(char32_t c, bool compile);
    std::size_t GetGlyphCount() const override { return mGlyphs.size(); }
    std::size_t GetMemoryBytes() const override;

protected:
    void FreeGLObjects() override;

private:
    void Empty();

    int mFormat;
    float mDeviation;
    float mExtrusion;
    std::unordered_map<char32_t, CVOutlineGlyph> mGlyphs;
};

// One raster glyph: where its image lies in the set's texture pages (page
// -1: no image, as for a space), its offsets from the pen (x right, y up to
// the image's top row) and its advance, all in pixels.
struct CVAtlasGlyph {
    int page = -1;
    int x = 0, y = 0, width = 0, height = 0;
    int left = 0, top = 0;
    float advance = 0.0f;
    bool missing = false; // no installed font has the glyph
};

// Raster glyphs (screen-aligned text) at one pixel size, one-bit or
// antialiased by the logical font's quality (ANTIALIASED_QUALITY), packed
// into alpha textures.
class CVBitmapFontCacheElement : public CVFontCacheElement {
public:
    static constexpr int kMaxPages = 4;
    static constexpr BYTE ANTIALIASED_QUALITY = 4;

    using CVFontCacheElement::CVFontCacheElement;

    // Pixels per em of the logical font's height (negative: the em; positive:
    // the cell), at most CVFontFace::kMaxPixelSize.
    float GetPixelSize();
    bool IsAntialiased() const { return GetLogFont().lfQuality == ANTIALIASED_QUALITY; }
    // The glyph of a code point, its image made and packed on first use (in
    // the current context, which must be of the set's share group; the 2D
    // texture binding is kept). May empty a full set first.
    const CVAtlasGlyph& GetGlyph(char32_t c);
    // The texture of a page and its side in pixels.
    unsigned GetPageTexture(int page) const;
    int GetPageSide() const { return mSide; }
    std::size_t GetGlyphCount() const override { return mGlyphs.size(); }
    std::size_t GetMemoryBytes() const override;

protected:
    void FreeGLObjects() override;

private:
    struct Page {
        unsigned texture = 0;
        int shelfY = 0, shelfHeight = 0, cursorX = 0;
    };
    // Finds room for a w x h image; false when every page is full.
    bool Pack(int w, int h, int& page, int& x, int& y);
    void Empty();

    std::unordered_map<char32_t, CVAtlasGlyph> mGlyphs;
    std::vector<Page> mPages;
    int mSide = 0;
    float mPixels = -1.0f;
};

namespace lumo {
// The glyph set for the font in the font cache where the area makes its
// objects (its render cache, else itself), registered for the user; created
// empty on a miss ('created' says so). Null without an area.
CVOutlineFontCacheElement* UseOutlineFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font, int format,
                                          float deviation, float extrusion, bool* created = nullptr);
CVBitmapFontCacheElement* UseBitmapFont(CVGLRenderArea* area, CVCacheUser& user, const LOGFONTW& font,
                                        bool* created = nullptr);
} // namespace lumo
