#include "scene/x3d/TextCreator.h"

#include "scene/model/Color.h"

CVTextCreator::Tag CVTextCreator::TagOf(const std::wstring& name)
{
    static const struct {
        const wchar_t* name;
        Tag tag;
    } tags[] = {{L"TEXTFORMAT", TEXTFORMAT}, {L"LI", LI}, {L"FONT", FONT}, {L"B", B},
                {L"I", I},                   {L"U", U},   {L"P", P},       {L"BR", BR}};
    for (const auto& t : tags)
        if (name == t.name)
            return t.tag;
    return OTHER;
}

int CVTextCreator::BeginElement(const std::wstring& name)
{
    mTag = TagOf(name);
    switch (mTag) {
    case FONT: mFonts.emplace_back(); break;
    case B: ++mBold; break;
    case I: ++mItalic; break;
    case U: ++mUnderline; break;
    default: break;
    }
    return 1;
}

void CVTextCreator::EndElement(const std::wstring& name)
{
    switch (TagOf(name)) {
    case FONT:
        if (!mFonts.empty())
            mFonts.pop_back();
        break;
    case B: --mBold; break;
    case I: --mItalic; break;
    case U: --mUnderline; break;
    case LI:
    case P:
    case BR: mNewLine = true; break;
    default: break;
    }
}

int CVTextCreator::BeginField(const std::wstring& name)
{
    mAttribute = NONE;
    if (mTag != FONT || mFonts.empty())
        return 0;
    if (name == L"FACE")
        mAttribute = FACE;
    else if (name == L"SIZE")
        mAttribute = SIZE;
    else if (name == L"COLOR")
        mAttribute = COLOR;
    return mAttribute != NONE;
}

void CVTextCreator::SetFieldValue(const std::wstring& value)
{
    if (mFonts.empty())
        return;
    CVRichTextFragment& font = mFonts.back();
    switch (mAttribute) {
    case FACE: font.faceName = value; break;
    case SIZE: font.size = value; break;
    case COLOR:
        font.color = ConvertStringToColor(value);
        font.colorSet = 1;
        break;
    case NONE: break;
    }
    mAttribute = NONE;
}

void CVTextCreator::AddText(const std::wstring& text)
{
    if (mNewLine || mStrings.empty())
        mStrings.push_back(text);
    else
        mStrings.back() += text;

    if (mFragments) {
        if (mNewLine && !mFragments->empty())
            mFragments->back().endOfLine = 1;
        mCurrent.text = text;
        if (mBold > 0) {
            mCurrent.bold = 1;
            mCurrent.boldSet = 1;
            mBoldWasOn = true;
        } else if (mBoldWasOn) {
            mCurrent.bold = 0;
            mCurrent.boldSet = 1;
            mBoldWasOn = false;
        }
        if (mItalic > 0) {
            mCurrent.italic = 1;
            mCurrent.italicSet = 1;
        }
        if (mUnderline > 0) {
            mCurrent.underline = 1;
            mCurrent.underlineSet = 1;
        }
        bool haveFace = false, haveColor = false, haveSize = false;
        for (auto it = mFonts.rbegin(); it != mFonts.rend(); ++it) {
            if (!haveFace && !it->faceName.empty()) {
                mCurrent.faceName = it->faceName;
                haveFace = true;
            }
            if (!haveColor && it->colorSet) {
                mCurrent.color = it->color;
                mCurrent.colorSet = 1;
                haveColor = true;
            }
            if (!haveSize && !it->size.empty()) {
                mCurrent.size = it->size;
                haveSize = true;
            }
        }
        mFragments->push_back(mCurrent);
        mCurrent = CVRichTextFragment();
    }
    mNewLine = false;
}
