#include "scene/nodes/BaseFontStyle.h"

#include "scene/text/TextString.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

LUMO_IMPLEMENT_CLASS(CVBaseFontStyle, CVNode)

CVBaseFontStyle::CVBaseFontStyle()
{
    horizontal.SetValue(1);
    leftToRight.SetValue(1);
    size.SetValue(1.0f);
    spacing.SetValue(1.0f);
    topToBottom.SetValue(1);
    textColor.SetValue(0.0f, 0.0f, 0.0f);
}

CVBaseFontStyle::~CVBaseFontStyle() = default;

LOGFONTW CVBaseFontStyle::GetLogfont() const
{
    if (mHasFont)
        return mFont;
    LOGFONTW lf;
    std::memset(&lf, 0, sizeof lf);
    const std::wstring& f = family.GetValue();
    const wchar_t* face = L"Cambria";
    lf.lfHeight = -12;
    lf.lfPitchAndFamily = 16;
    if (f == L"SANS") {
        face = L"Calibri";
        lf.lfHeight = -14;
        lf.lfPitchAndFamily = 32;
    } else if (f == L"TYPEWRITER") {
        face = L"Consolas";
        lf.lfHeight = -14;
        lf.lfPitchAndFamily = 1;
    } else if (!f.empty() && f != L"SERIF") {
        face = f.c_str();
    }
    lumo::text::SetFaceName(lf.lfFaceName, face);
    const std::wstring& s = style.GetValue();
    lf.lfWeight = s.find(L"BOLD") != std::wstring::npos ? 700 : 400;
    lf.lfItalic = s.find(L"ITALIC") != std::wstring::npos ? 1 : 0;
    lf.lfUnderline = s.find(L"UNDERLINE") != std::wstring::npos ? 1 : 0;
    lf.lfStrikeOut = s.find(L"STRIKE") != std::wstring::npos ? 1 : 0;
    float points = size.GetValue();
    if (points > 1.0f) {
        // Points at 96 pixels per inch, rounded as MulDiv rounds; sizes
        // beyond the height bound are cut there before they can overflow.
        float most = float(kMaxFontHeight) * 72.0f / float(kPixelsPerInch);
        long pt = long(std::min(points, most));
        lf.lfHeight = -LONG((pt * kPixelsPerInch + 36) / 72);
    }
    lf.lfHeight = std::max<LONG>(lf.lfHeight, -kMaxFontHeight);
    lf.lfCharSet = 1;
    lf.lfOutPrecision = 7;
    if (!horizontal.GetValue())
        lf.lfEscapement = lf.lfOrientation = 900;
    return lf;
}

void CVBaseFontStyle::SetFont(const LOGFONTW* font)
{
    mHasFont = font != nullptr;
    if (!font)
        return;
    mFont = *font;
    mFont.lfHeight = -std::min<LONG>(std::labs(mFont.lfHeight), kMaxFontHeight);
}

CVBaseFontStyle::Justify CVBaseFontStyle::GetJustify(int index) const
{
    if (index < 0 || index >= justify.GetNum())
        return NONE;
    const std::wstring& j = justify[index];
    if (j == L"BEGIN")
        return BEGIN;
    if (j == L"FIRST")
        return FIRST;
    if (j == L"MIDDLE")
        return MIDDLE;
    if (j == L"END")
        return END;
    return OTHER;
}

float CVBaseFontStyle::GetLineSpacing() const
{
    float s = spacing.GetValue();
    if (!std::isfinite(s))
        return 1.0f;
    return std::clamp(s, 0.0f, 10.0f);
}
