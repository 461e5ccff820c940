// Text in a scene: strings drawn with a font style, as 3D outlines
// (FontStyle) or as screen-aligned pixels of a constant size
// (BitmapFontStyle). Each entry of 'string' is a line; a line feed or the
// characters "^[n]^" inside an entry break it too. Rich text fragments,
// when set, replace the strings' plain runs with runs of their own font and
// colour. New text is antialiased and not selectable: it is neither picked
// nor counted in bounding boxes until its creator makes it selectable.
// Bounds: see scene/text/TextString.h (lines and their lengths) and
// scene/text/TextRuns.h (fragments, sizes).
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/nodes/BaseFontStyle.h"
#include "scene/nodes/Geometry.h"
#include "scene/text/RichTextFragment.h"
#include "scene/text/TextRuns.h"

#include <string>
#include <vector>

class CVText : public CVGeometry {
    LUMO_DECLARE_NODE(CVText)

public:
    CVText();
    ~CVText() override;

    CVMFString string;
    CVSFNode<CVBaseFontStyle> fontStyle{this};

    // Draws through the font style (a default FontStyle of the text's own
    // when the field is empty; the field is left as it is).
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The style's box of the text; nothing for text that is not selectable.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;
    // A CVTextDetail whose line number is the part (the line's entry in
    // 'string').
    CVDetail* GetPickDetail(unsigned int part) override;

    // The style that draws the text: the field's, else the text's default.
    CVBaseFontStyle* GetDrawingStyle();

    // The box the text is fitted into, in world units (0: none). Raster text
    // is wrapped into it and clipped; outline lines wider than the width are
    // narrowed to it.
    void SetMaxWidth(float width) { mMaxWidth = width; }
    float GetMaxWidth() const { return mMaxWidth; }
    void SetMaxHeight(float height) { mMaxHeight = height; }
    float GetMaxHeight() const { return mMaxHeight; }
    // Kept for hosts that set it; every text is drawn as Unicode.
    void SetContainsUnicodeChars(int on) { mUnicode = on; }
    int GetContainsUnicodeChars() const { return mUnicode; }

    // Rich text runs (what the markup reader makes of label markup); empty:
    // the strings are drawn in the style's font. Marks the text modified.
    void SetRichTextFragments(const std::vector<CVRichTextFragment>& fragments);
    const std::vector<CVRichTextFragment>& GetRichTextFragments() const { return mFragments; }

    // The text's lines of runs over a base font: from the fragments when
    // there are any, else from the strings. Made again when the strings,
    // the fragments or the font change, or the text is marked modified.
    const std::vector<CVTextLine>& GetLines(const LOGFONTW& base);

private:
    float mMaxWidth = 0.0f;
    float mMaxHeight = 0.0f;
    int mUnicode = 0;
    std::vector<CVRichTextFragment> mFragments;
    CVBaseFontStyle* mDefaultStyle = nullptr;

    // What the lines were made from.
    std::vector<std::wstring> mLineStrings;
    LOGFONTW mLineFont{};
    bool mLinesMade = false;
    std::vector<CVTextLine> mLines;
};

// What a pick of text hit: the text and the line (its entry in 'string').
class CVTextDetail : public CVDetail {
    LUMO_DECLARE_CLASS(CVTextDetail)

public:
    explicit CVTextDetail(CVText* text) : mText(text) {}
    CVText* GetGeometry() const { return mText.get(); }
    unsigned int GetLineNumber() const { return mLine; }
    void SetLineNumber(unsigned int line) { mLine = line; }

private:
    CVRefPtr<CVText> mText; // held: a detail outlives the pick that made it
    unsigned int mLine = 0;
};
