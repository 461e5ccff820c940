#include "scene/cache/FontCacheElement.h"

#include "scene/render/GLRenderArea.h"
#include "scene/text/TextString.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

namespace {
// Deviation of flattened curves, in ems, whatever finer the font style asks:
// coarser curves show as corners on large labels.
constexpr float kCoarsestTolerance = 1.0f / 128.0f;
} // namespace

bool CVFontCacheElement::IsEqual(const CVCacheElement& key) const
{
    if (typeid(key) != typeid(*this))
        return false;
    return std::memcmp(&static_cast<const CVFontCacheElement&>(key).mFont, &mFont, sizeof mFont) == 0;
}

const CVFontFace* CVFontCacheElement::GetFace()
{
    if (!mFaceFound) {
        mFaceFound = true;
        mFace = CVFontFace::Find(lumo::text::GetFaceName(mFont.lfFaceName), mFont.lfWeight, mFont.lfItalic != 0);
    }
    return mFace.get();
}

std::shared_ptr<const CVFontFace> CVFontCacheElement::FaceFor(char32_t c)
{
    const CVFontFace* face = GetFace();
    return face ? face->ForCodePoint(c) : nullptr;
}

bool CVOutlineFontCacheElement::IsEqual(const CVCacheElement& key) const
{
    if (!CVFontCacheElement::IsEqual(key))
        return false;
    const auto& k = static_cast<const CVOutlineFontCacheElement&>(key);
    return k.mFormat == mFormat && k.mDeviation == mDeviation && k.mExtrusion == mExtrusion;
}

const CVOutlineGlyph& CVOutlineFontCacheElement::GetGlyph(char32_t c, bool compile)
{
    auto found = mGlyphs.find(c);
    if (found == mGlyphs.end()) {
        if (mGlyphs.size() >= kMaxGlyphs)
            Empty();
        CVOutlineGlyph glyph;
        if (std::shared_ptr<const CVFontFace> face = FaceFor(c)) {
            // The deviation is in design units, as fonts are drawn in them.
            float units = float(face->GetMetrics().unitsPerEm);
            float tolerance = std::min(std::max(mDeviation, 1.0f) / units, kCoarsestTolerance);
            CVGlyphOutline outline;
            auto mesh = std::make_shared<CVGlyphMesh>();
            if (face->GetOutline(c, tolerance, outline) && lumo::text::Tessellate(outline, *mesh)) {
                glyph.metrics.gmfBlackBoxX = mesh->maxX - mesh->minX;
                glyph.metrics.gmfBlackBoxY = mesh->maxY - mesh->minY;
                glyph.metrics.gmfptGlyphOrigin = {mesh->minX, mesh->maxY};
                glyph.metrics.gmfCellIncX = mesh->advance;
                glyph.metrics.gmfCellIncY = 0.0f;
                glyph.mesh = std::move(mesh);
            }
        }
        found = mGlyphs.emplace(c, std::move(glyph)).first;
    }
    CVOutlineGlyph& glyph = found->second;
    if (compile && !glyph.list && glyph.mesh) {
        glyph.list = glGenLists(1);
        if (glyph.list) {
            glNewList(glyph.list, GL_COMPILE);
            lumo::text::DrawGlyphMesh(*glyph.mesh, mExtrusion, mFormat == POLYGONS);
            glTranslatef(glyph.mesh->advance, 0.0f, 0.0f);
            glEndList();
        }
    }
    return glyph;
}

std::size_t CVOutlineFontCacheElement::GetMemoryBytes() const
{
    std::size_t bytes = 0;
    for (const auto& entry : mGlyphs) {
        bytes += sizeof(entry);
        if (entry.second.mesh) {
            bytes += entry.second.mesh->Bytes();
            // A list holds each vertex with its normal: the front, and for
            // extruded glyphs the back and four per side edge.
            std::size_t vertices = entry.second.mesh->triangles.size() / 2;
            if (mExtrusion > 0.0f) {
                vertices *= 2;
                for (const auto& contour : entry.second.mesh->contours)
                    vertices += contour.size() * 2;
            }
            if (entry.second.list)
                bytes += vertices * 6 * sizeof(float);
        }
    }
    return bytes;
}

void CVOutlineFontCacheElement::Empty()
{
    for (auto& entry : mGlyphs)
        if (entry.second.list)
            glDeleteLists(entry.second.list, 1);
    mGlyphs.clear();
    NewGeneration();
}

void CVOutlineFontCacheElement::FreeGLObjects()
{
    for (auto& entry : mGlyphs)
        if (entry.second.list)
            glDeleteLists(entry.second.list, 1);
    mGlyphs.clear();
}

float CVBitmapFontCacheElement::GetPixelSize()
{
    if (mPixels < 0.0f) {
        const LOGFONTW& font = GetLogFont();
        float pixels = float(std::abs(font.lfHeight));
        const CVFontFace* face = GetFace();
        // A positive height is the cell (ascent and descent), not the em.
        if (font.lfHeight > 0 && face) {
            float cell = face->GetMetrics().ascent + face->GetMetrics().descent;
            if (cell > 0.0f)
                pixels /= cell;
        }
        mPixels = std::min(pixels, CVFontFace::kMaxPixelSize);
        // Pages hold some dozens of glyphs: 256 pixels for label sizes.
        int side = 256;
        while (side < 2048 && float(side) < mPixels * 8.0f)
            side *= 2;
        mSide = side;
    }
    return mPixels;
}

unsigned CVBitmapFontCacheElement::GetPageTexture(int page) const
{
    return page >= 0 && std::size_t(page) < mPages.size() ? mPages[std::size_t(page)].texture : 0;
}

bool CVBitmapFontCacheElement::Pack(int w, int h, int& page, int& x, int& y)
{
    const int pad = 1; // keeps smooth lookups of turned text off the neighbours
    if (w + pad > mSide || h + pad > mSide)
        return false;
    for (std::size_t i = 0;; ++i) {
        if (i == mPages.size()) {
            if (mPages.size() >= std::size_t(kMaxPages))
                return false;
            Page p;
            glGenTextures(1, &p.texture);
            if (!p.texture)
                return false;
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            glBindTexture(GL_TEXTURE_2D, p.texture);
            std::vector<unsigned char> zeros(std::size_t(mSide) * std::size_t(mSide), 0);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, mSide, mSide, 0, GL_ALPHA, GL_UNSIGNED_BYTE, zeros.data());
            // Glyphs land on whole pixels: copied, not filtered.
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glBindTexture(GL_TEXTURE_2D, GLuint(bound));
            mPages.push_back(p);
        }
        Page& p = mPages[i];
        if (p.cursorX + w + pad > mSide) { // next shelf
            p.shelfY += p.shelfHeight;
            p.shelfHeight = 0;
            p.cursorX = 0;
        }
        if (p.shelfY + h + pad <= mSide) {
            page = int(i);
            x = p.cursorX;
            y = p.shelfY;
            p.cursorX += w + pad;
            p.shelfHeight = std::max(p.shelfHeight, h + pad);
            return true;
        }
    }
}

const CVAtlasGlyph& CVBitmapFontCacheElement::GetGlyph(char32_t c)
{
    auto found = mGlyphs.find(c);
    if (found != mGlyphs.end())
        return found->second;
    float pixels = GetPixelSize();
    if (mGlyphs.size() >= kMaxGlyphs)
        Empty();
    CVAtlasGlyph glyph;
    std::shared_ptr<const CVFontFace> face = FaceFor(c);
    CVGlyphImage image;
    if (!face || !face->Rasterize(c, pixels, IsAntialiased(), image)) {
        glyph.missing = true;
    } else {
        // Advances from the outlines' design metrics, so that text measures
        // the same whether drawn as pixels or outlines.
        glyph.advance = face->GetAdvance(c) * pixels;
        glyph.left = image.left;
        glyph.top = image.top;
        glyph.width = image.width;
        glyph.height = image.height;
        if (image.width > 0 && image.height > 0) {
            int page = -1, x = 0, y = 0;
            if (!Pack(image.width, image.height, page, x, y)) {
                // Every page is full: start again with empty pages.
                Empty();
                if (!Pack(image.width, image.height, page, x, y))
                    page = -1;
            }
            if (page >= 0) {
                GLint bound = 0;
                glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
                glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
                glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
                glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
                glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
                glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
                glBindTexture(GL_TEXTURE_2D, mPages[std::size_t(page)].texture);
                glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, image.width, image.height, GL_ALPHA, GL_UNSIGNED_BYTE,
                                image.alpha.data());
                glPopClientAttrib();
                glBindTexture(GL_TEXTURE_2D, GLuint(bound));
                glyph.page = page;
                glyph.x = x;
                glyph.y = y;
            }
        }
    }
    return mGlyphs.emplace(c, glyph).first->second;
}

std::size_t CVBitmapFontCacheElement::GetMemoryBytes() const
{
    return mGlyphs.size() * (sizeof(char32_t) + sizeof(CVAtlasGlyph) + 2 * sizeof(void*)) +
           mPages.size() * std::size_t(mSide) * std::size_t(mSide);
}

void CVBitmapFontCacheElement::Empty()
{
    mGlyphs.clear();
    for (Page& p : mPages) {
        p.shelfY = p.shelfHeight = p.cursorX = 0;
        if (p.texture) {
            // Clear the page, so that no old ink shows at a new glyph's edges.
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            std::vector<unsigned char> zeros(std::size_t(mSide) * std::size_t(mSide), 0);
            glBindTexture(GL_TEXTURE_2D, p.texture);
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, mSide, mSide, GL_ALPHA, GL_UNSIGNED_BYTE, zeros.data());
            glPopClientAttrib();
            glBindTexture(GL_TEXTURE_2D, GLuint(bound));
        }
    }
    NewGeneration();
}

void CVBitmapFontCacheElement::FreeGLObjects()
{
    for (Page& p : mPages)
        if (p.texture)
            glDeleteTextures(1, &p.texture);
    mPages.clear();
    mGlyphs.clear();
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
