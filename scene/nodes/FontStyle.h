// Outline text: the glyphs' outlines tessellated into cached display lists
// (front face, and back face and sides when extruded), scaled by 'size'
// (world units per em) and lit like any geometry. Lines are 1.2 line
// heights (times 'spacing') apart and centred about the origin; 'justify'
// places them. Glyph lists are shared through the render area's font cache
// by every style with the same font.
// Bounds: 'size' and 'extrusionDepth' that are not finite draw nothing;
// 'extrusionDepth' is kept within [0, kMaxExtrusion], 'deviation' within
// [1, kMaxDeviation] design units.
#pragma once

#include "scene/cache/FontCacheElement.h"
#include "scene/nodes/BaseFontStyle.h"
#include "scene/text/TextRuns.h"

#include <vector>

class CVFontStyle : public CVBaseFontStyle {
    LUMO_DECLARE_NODE(CVFontStyle)

public:
    static constexpr float kMaxExtrusion = 1.0e6f;
    static constexpr float kMaxDeviation = 1.0e4f;

    CVFontStyle();

    CVSFFloat extrusionDepth;
    // Filled glyphs (TRUE) or their outlines as lines, and the deviation of
    // flattened curves in design units: how the glyph lists are made.
    CVSFBool fill;
    CVSFFloat deviation;

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, CVText* text) override;
    // The lines' extent: x by justify[0], y by the lines' places and
    // justify[1], z from -extrusionDepth to 0.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box, CVText* text) override;
    float GetSizeScaleFactor() const override;

    // Width, ascent and descent of one line in world units.
    void GetTextSize(const std::wstring& line, TextSizeStruct& out, CVGLRenderArea* area);
    // The glyph set of the style's font in the area's font cache (found or
    // made empty; glyphs are made as text asks for them). Null without an area.
    CVOutlineFontCacheElement* MakeGlyphDisplayLists(CVGLRenderArea* area);

    // Polygon glyphs (TRUE, as 'fill') or line glyphs; the glyph deviation.
    void SetPolygonGlyphs(int on) { fill.SetValue(on ? 1 : 0); }
    int GetPolygonGlyphs() const { return fill.GetValue(); }
    // With an opaque style, flat text (no extrusion) is drawn from both
    // sides (face culling off while it draws).
    void SetOpaque(int on) { mOpaque = on != 0; }
    int GetOpaque() const { return mOpaque ? 1 : 0; }

private:
    struct LineBox {
        float x = 0, y = 0; // pen start and baseline, world units
        float width = 0, ascent = 0, descent = 0; // world units
        float squeeze = 1.0f; // x scale that fits the text's maximum width
    };
    // Places the text's non-empty lines (world units); false when there is
    // nothing to draw. 'lines' gets the drawn lines in order.
    bool Layout(CVText* text, const LOGFONTW& base, std::vector<const CVTextLine*>& lines,
                std::vector<LineBox>& boxes);
    // The glyph set for a run's font, registered for this style.
    CVOutlineFontCacheElement* GlyphSet(CVGLRenderArea* area, const LOGFONTW& font);
    float Extrusion() const;
    float Deviation() const;
    // Draws a line's runs; 'picking' draws without display lists, 'shadow'
    // keeps the current colour.
    void DrawLine(const CVTextLine& line, const LineBox& box, const LOGFONTW& base, CVGLRenderArea* area,
                  bool picking, bool shadow);

    struct SetEntry {
        LOGFONTW font;
        int format;
        float deviation;
        float extrusion;
        std::uint64_t group;
        CVOutlineFontCacheElement* set;
    };
    std::vector<SetEntry> mSets; // the sets this style found last, to skip the cache look-up
    bool mOpaque = false;
};
