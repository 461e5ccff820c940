#include "scene/nodes/Text.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/FontStyle.h"

#include <cstring>

LUMO_IMPLEMENT_NODE(CVText, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVTextDetail, CVDetail)

CVText::CVText()
{
    SetModifiedFlag(1);
    SetAntialiasedFlag(1);
    SetSelectableFlag(0);
}

CVText::~CVText()
{
    if (mDefaultStyle)
        mDefaultStyle->Unref();
}

void CVText::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVText>(L"Text").Field(L"string", &CVText::string).Field(L"fontStyle", &CVText::fontStyle);
}

CVBaseFontStyle* CVText::GetDrawingStyle()
{
    if (CVBaseFontStyle* style = fontStyle.GetValue())
        return style;
    // Kept apart from the field: drawing does not change what a document
    // holds (or what saving it writes).
    if (!mDefaultStyle) {
        mDefaultStyle = new CVFontStyle;
        mDefaultStyle->Ref();
    }
    return mDefaultStyle;
}

void CVText::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    if (!area)
        return;
    CVBaseFontStyle* style = GetDrawingStyle();
    if (state && state->m_bPickMode) {
        style->Render(state, area, appearance, this);
        return;
    }
    PreRenderGL(state, area, appearance);
    style->Render(state, area, appearance, this);
    PostRenderGL(state, area, appearance);
}

void CVText::ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box)
{
    if (!box || IsNotSelectable())
        return;
    GetDrawingStyle()->ComputeBoundingBox(state, area, box, this);
}

CVDetail* CVText::GetPickDetail(unsigned int part)
{
    auto* detail = new CVTextDetail(this);
    detail->SetLineNumber(part);
    return detail;
}

void CVText::SetRichTextFragments(const std::vector<CVRichTextFragment>& fragments)
{
    mFragments = fragments;
    SetModifiedFlag(1);
}

const std::vector<CVTextLine>& CVText::GetLines(const LOGFONTW& base)
{
    bool same = mLinesMade && !IsModified() && std::memcmp(&base, &mLineFont, sizeof base) == 0 &&
                int(mLineStrings.size()) == string.GetNum();
    for (int i = 0; same && i < string.GetNum(); ++i)
        same = mLineStrings[std::size_t(i)] == string[i];
    if (same)
        return mLines;
    mLineStrings.assign(string.GetValues(), string.GetValues() + string.GetNum());
    mLineFont = base;
    mLines = mFragments.empty() ? lumo::text::PlainLines(mLineStrings, base)
                                : lumo::text::RichLines(mFragments, base);
    mLinesMade = true;
    SetModifiedFlag(0);
    return mLines;
}
