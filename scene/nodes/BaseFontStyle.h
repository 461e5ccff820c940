// What the two font styles share: the document fields that choose a font
// and lay text out, and the logical font they make of them. A text node
// draws through its style (outline text or screen-aligned raster text).
#pragma once

#include "platform/win/GdiTypes.h"
#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/render/Cache.h"

#include <vector>

class CVAppearance;
class CVBox3f;
class CVText;

// The size of text: width, and ascent and descent about the baseline.
struct TextSizeStruct {
    float width = 0.0f;
    float ascent = 0.0f;
    float descent = 0.0f;
};

class CVBaseFontStyle : public CVNode {
    LUMO_DECLARE_CLASS(CVBaseFontStyle)

public:
    // Pixels per inch of the screen fonts are sized for.
    static constexpr int kPixelsPerInch = 96;
    // A logical font's height is kept within this many pixels.
    static constexpr int kMaxFontHeight = 2000;

    enum Justify { NONE = 0, FIRST, BEGIN, MIDDLE, END, OTHER };

    ~CVBaseFontStyle() override;

    CVSFString family;
    CVSFBool horizontal;
    CVMFString justify;
    CVSFString language;
    CVSFBool leftToRight;
    CVSFFloat size;
    CVSFFloat spacing;
    CVSFString style;
    CVSFBool topToBottom;
    CVSFColor textColor;

    using CVNode::ComputeBoundingBox;
    using CVNode::Render;
    virtual void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, CVText* text) = 0;
    virtual void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box, CVText* text) = 0;

    // The logical font: the explicit one when set, else made of the fields
    // ("SERIF" or empty: Cambria, -12 pixels; "SANS": Calibri, -14;
    // "TYPEWRITER": Consolas, -14; any other family is a face name, -12;
    // BOLD, ITALIC, UNDERLINE and STRIKE anywhere in 'style'; a 'size' above
    // 1 is points at 96 pixels per inch; 'horizontal' FALSE turns it 90
    // degrees). The height stays within kMaxFontHeight pixels.
    LOGFONTW GetLogfont() const;
    // An explicit font (its height made negative), or null to go back to the fields.
    void SetFont(const LOGFONTW* font);
    int HasExplicitFont() const { return mHasFont ? 1 : 0; }
    // World units per em of outline text; 1 for raster text.
    virtual float GetSizeScaleFactor() const { return 1.0f; }

    // The keyword of justify[index] (OTHER for any other value, NONE for
    // no value).
    Justify GetJustify(int index) const;
    // Line spacing, kept within [0, 10] (1 when not a number).
    float GetLineSpacing() const;

    void SetScaleWithView(int on) { mScaleWithView = on != 0; }
    int GetScaleWithView() const { return mScaleWithView ? 1 : 0; }
    void SetDrawOnTop(int on) { mDrawOnTop = on != 0; }
    int GetDrawOnTop() const { return mDrawOnTop ? 1 : 0; }
    void SetShadowColor(const RGBColorStruct& c) { mShadowColor = c; }
    const RGBColorStruct& GetShadowColor() const { return mShadowColor; }
    // Pixels between raster text and the edge of its background.
    void SetBackgroundMargin(float pixels) { mMargin = pixels; }
    float GetBackgroundMargin() const { return mMargin; }

protected:
    CVBaseFontStyle();
    // The glyph sets this style uses; released when the style goes.
    CVCacheUser& GetCacheUser() { return mUser; }

private:
    CVCacheUser mUser;
    LOGFONTW mFont{};
    bool mHasFont = false;
    bool mScaleWithView = true;
    bool mDrawOnTop = false;
    RGBColorStruct mShadowColor{0, 0, 0};
    float mMargin = 4.0f;
};
