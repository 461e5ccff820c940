// Screen-aligned raster text: each line drawn as pixels of a constant size
// (a font size in points at 96 pixels per inch), anchored at the text's
// origin and placed about it by 'justify'; with 'opaque' on a background
// box of 'backColor', else antialiased over the scene. Glyph images come
// from the render area's font cache (one texture atlas per font and pixel
// size), so that ten thousand labels draw without a raster each. A text
// with a maximum width and height is wrapped into that box and clipped to
// it. 'language' "BESTFIT" turns text that does not fit vertical when the
// box is tall. Under picking the whole background box is drawn, so that
// text is hit anywhere inside it.
// Bounds: glyph images are at most CVFontFace::kMaxPixelSize pixels per em,
// whatever the size or the view asks.
#pragma once

#include "scene/cache/FontCacheElement.h"
#include "scene/nodes/BaseFontStyle.h"
#include "scene/text/PixelLayout.h"

#include <vector>

class CVBitmapFontStyle : public CVBaseFontStyle {
    LUMO_DECLARE_NODE(CVBitmapFontStyle)

public:
    CVBitmapFontStyle();

    CVSFColor backColor;
    CVSFBool opaque;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, CVText* text) override;
    // The box's corners (at the origin's depth) in the text's coordinates,
    // under the current view.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box, CVText* text) override;

    // Pixel size of the whole text (with the background margin when opaque)
    // at the font's own height; zero for empty text.
    void GetTextSizeDC(CVText* text, TextSizeStruct& out, CVGLRenderArea* area);
    // The same for a bare string (line feeds and "^[n]^" break its lines).
    void GetTextSizeDC(const std::wstring& text, TextSizeStruct& out, CVGLRenderArea* area);
    // Draws the text's background box as one quad in the text's coordinates
    // (face culling off), as picking needs it.
    void RenderBackgroundPolygon(CVText* text, CVGLRenderArea* area, CVState* state);

    // The pixel height (negative) of a logical font height for the area's
    // view: without scaling the height itself (one pixel more while the area
    // has viewport font scaling off or a global scale factor below 1); with
    // scaling, times the area's font scale and, when the style scales with
    // the view, the model-view's scale (and the viewport's height, or the
    // print font scale). At most kMaxFontHeight pixels; 0 draws nothing.
    int ComputeLogfontHeight(int height, CVGLRenderArea* area, int scaled) const;
    // Whether the text is drawn antialiased: its geometry says so, the style
    // is not opaque, and the font is level, vertical (900 or 2700 with
    // orientation 0) or turned as a whole (escapement = orientation).
    int IsAntialiasedText(const CVText* text, const LOGFONTW& font) const;

    // Draws the text the way OpenGL bitmap text sized it (one-bit glyphs, the
    // internal leading counted in the size).
    void SetOpenGLBitmapText(int on) { mOpenGLText = on != 0; }
    int GetOpenGLBitmapText() const { return mOpenGLText ? 1 : 0; }
    // The logical font of the text drawn last.
    const LOGFONTW& GetLastLogfont() const { return mLastFont; }

private:
    // Where the text lies on screen: the layout, its turn and its box.
    struct Placement {
        CVPixelLayout layout;
        double angle = 0.0;            // radians, counter-clockwise
        double originX = 0, originY = 0, originZ = 0; // window coordinates of the origin
        double left = 0, bottom = 0;   // the box's corner, window
        double width = 0, height = 0;  // the box, window pixels
        double shiftX = 0, shiftY = 0; // layout coordinates to window: rotated, then shifted
        bool antialias = false;
    };
    // Lays the text out for the current view; false when nothing is drawn.
    // 'projection' null: OpenGL's current projection.
    bool Place(CVText* text, CVGLRenderArea* area, const double* projection, Placement& out);
    // Lays lines out at a pixel height, wrapped into a box (pixels; 0: none);
    // 'angle' gets the turn (radians) the font or the best fit asks for.
    bool Measure(const std::vector<CVTextLine>& lines, const LOGFONTW& font, int height, float boxWidth,
                 float boxHeight, CVGLRenderArea* area, CVPixelLayout& layout, double& angle);
    int ScaledHeights(CVGLRenderArea* area) const;
    void DrawPixels(const Placement& p, CVText* text, CVGLRenderArea* area);
    // The glyph set for a run's font, registered for this style.
    CVBitmapFontCacheElement* GlyphSet(CVGLRenderArea* area, const LOGFONTW& font);

    struct SetEntry {
        LOGFONTW font;
        std::uint64_t group;
        CVBitmapFontCacheElement* set;
    };
    std::vector<SetEntry> mSets;
    bool mOpenGLText = false;
    LOGFONTW mLastFont{};
};
