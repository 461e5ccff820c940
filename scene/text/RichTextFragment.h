// One run of rich label text with its character format: what the markup of
// labels and print headers turns into.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

class CVRichTextFragment {
public:
    int underline = 0;
    int underlineSet = 0;
    int italic = 0;
    int italicSet = 0;
    int bold = 0;
    int boldSet = 0;
    int endOfLine = 0; // the run is the last of its line
    std::wstring size; // points, as written
    int colorSet = 0;
    COLORREF color = 0;
    std::wstring faceName;
    std::wstring spare;
    std::wstring text;
};
