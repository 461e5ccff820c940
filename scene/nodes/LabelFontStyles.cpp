// The render area's label font styles. They are defined here, with the font
// style classes, because the render area's layer does not know node classes:
// the area holds them as nodes and these getters make them on first use.
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/render/GLRenderArea.h"

namespace {

void Justified(CVBaseFontStyle* style, const wchar_t* major, const wchar_t* minor)
{
    style->justify.RemoveAll();
    style->justify.Add(std::wstring(major));
    style->justify.Add(std::wstring(minor));
    style->family.SetValue(L"SERIF");
    style->style.SetValue(L"BOLD");
}

CVBitmapFontStyle* NewLabelStyle(bool annotation)
{
    auto* s = new CVBitmapFontStyle;
    s->SetOpenGLBitmapText(annotation ? 0 : 1);
    s->language.SetValue(L"BESTFIT");
    s->opaque.SetValue(annotation ? 0 : 1);
    // Shelf labels keep their size on screen; annotations grow with the view.
    s->SetScaleWithView(annotation ? 1 : 0);
    if (annotation)
        Justified(s, L"BEGIN", L"BEGIN");
    else
        Justified(s, L"MIDDLE", L"MIDDLE");
    return s;
}

template <class S>
S* Held(CVNode*& slot, S* (*make)())
{
    if (!slot) {
        slot = make();
        slot->Ref();
    }
    return static_cast<S*>(slot);
}

CVFontStyle* NewStrokeStyle()
{
    auto* s = new CVFontStyle;
    s->size.SetValue(0.1f);
    Justified(s, L"MIDDLE", L"MIDDLE");
    return s;
}
CVBitmapFontStyle* NewShelfLabelStyle() { return NewLabelStyle(false); }
CVBitmapFontStyle* NewAnnotationStyle() { return NewLabelStyle(true); }

} // namespace

CVFontStyle* CVGLRenderArea::GetStrokeFontStyle() const
{
    return Held<CVFontStyle>(mLabelStyles[STROKE_STYLE], &NewStrokeStyle);
}

CVBitmapFontStyle* CVGLRenderArea::GetProductFontStyle() const
{
    return Held<CVBitmapFontStyle>(mLabelStyles[PRODUCT_STYLE], &NewShelfLabelStyle);
}

CVBitmapFontStyle* CVGLRenderArea::GetFixtureFontStyle() const
{
    return Held<CVBitmapFontStyle>(mLabelStyles[FIXTURE_STYLE], &NewShelfLabelStyle);
}

CVBitmapFontStyle* CVGLRenderArea::GetSubfixtureFontStyle() const
{
    return Held<CVBitmapFontStyle>(mLabelStyles[SUBFIXTURE_STYLE], &NewShelfLabelStyle);
}

CVBitmapFontStyle* CVGLRenderArea::GetAnnotationFontStyle() const
{
    return Held<CVBitmapFontStyle>(mLabelStyles[ANNOTATION_STYLE], &NewAnnotationStyle);
}
