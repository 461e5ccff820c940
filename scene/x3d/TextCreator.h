// Turns the markup of rich text (TEXTFORMAT, FONT, B, I, U, P, BR, LI) into
// plain strings, one per line, and formatted runs.
#pragma once

#include "scene/text/RichTextFragment.h"
#include "scene/x3d/XMLCreator.h"

#include <vector>

class CVTextCreator : public CVXMLCreator {
public:
    // Fragments are appended to 'fragments' when it is not null.
    explicit CVTextCreator(std::vector<CVRichTextFragment>* fragments) : mFragments(fragments) {}

    int BeginElement(const std::wstring& name) override;
    void EndElement(const std::wstring& name) override;
    int WantsText() override { return 1; }
    void AddText(const std::wstring& text) override;
    int BeginField(const std::wstring& name) override;
    void SetFieldValue(const std::wstring& value) override;

    const std::vector<std::wstring>& GetStrings() const { return mStrings; }

private:
    enum Tag { OTHER, TEXTFORMAT, LI, FONT, B, I, U, P, BR };
    enum Attribute { NONE, FACE, SIZE, COLOR };
    static Tag TagOf(const std::wstring& name);

    Tag mTag = OTHER;
    Attribute mAttribute = NONE;
    int mBold = 0, mItalic = 0, mUnderline = 0;
    std::vector<CVRichTextFragment> mFonts;
    bool mNewLine = false;
    bool mBoldWasOn = false;
    CVRichTextFragment mCurrent;
    std::vector<CVRichTextFragment>* mFragments;
    std::vector<std::wstring> mStrings;
};
