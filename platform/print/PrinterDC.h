// A printer device context: what the page layout draws on. Coordinates are
// printer pixels from the top-left corner of the printable area; fonts are
// logical fonts (a negative height is the character height in pixels).
// Implemented by the PDF printer (CPdfPrinterDC) and by the recording
// context of tests (CRecordingDC).
#pragma once

#include "platform/win/GdiTypes.h"

#include <cstddef>
#include <string>

// GetDeviceCaps indices, with the values Windows gives them.
constexpr int HORZSIZE = 4;        // printable width in millimetres
constexpr int VERTSIZE = 6;        // printable height in millimetres
constexpr int HORZRES = 8;         // printable width in pixels
constexpr int VERTRES = 10;        // printable height in pixels
constexpr int BITSPIXEL = 12;      // 24 for a colour device, 8 for grey
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;      // -1 for a colour device, 256 for grey
constexpr int LOGPIXELSX = 88;     // pixels per inch across
constexpr int LOGPIXELSY = 90;     // pixels per inch down
constexpr int PHYSICALWIDTH = 110; // paper width in pixels
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112; // unprintable left margin in pixels
constexpr int PHYSICALOFFSETY = 113; // unprintable top margin in pixels

// Text alignment (SetTextAlign): horizontal reference and vertical reference.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BASELINE = 24;

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

// The measures of the selected font in pixels.
struct TEXTMETRICW {
    LONG tmHeight;          // ascent + descent
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading; // the part of tmHeight above the character height
    LONG tmExternalLeading; // space the font asks for between lines
    LONG tmAveCharWidth;
};

class CPrinterDC {
public:
    virtual ~CPrinterDC() = default;

    virtual int GetDeviceCaps(int index) const = 0;

    // A document of pages: StartDoc once, then StartPage / EndPage for each
    // page, then EndDoc, which hands the document on. Each returns false on
    // failure; drawing outside a page is ignored.
    virtual bool StartDoc(const std::wstring& title) = 0;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDoc() = 0;

    // Text: the selected font, colour and alignment apply to TextOut.
    virtual void SelectFont(const LOGFONTW& font) = 0;
    virtual bool GetTextMetrics(TEXTMETRICW& metrics) = 0;
    // The advance of the text in the selected font (cx) and the font's height (cy).
    virtual SIZE GetTextExtent(const std::wstring& text) = 0;
    virtual void SetTextColor(COLORREF color) = 0;
    virtual void SetTextAlign(UINT align) = 0;
    // Draws transparently (no background box) at the reference point.
    virtual void TextOut(int x, int y, const std::wstring& text) = 0;

    // A solid rectangle, right and bottom exclusive.
    virtual void FillRect(const RECT& rect, COLORREF color) = 0;
    // Draws BGRA pixels (alpha ignored) scaled into the rectangle with a
    // smooth filter. 'stride' is the byte step from one row to the next
    // below (negative for bottom-up memory, with 'pixels' at the top row).
    virtual void StretchImage(int x, int y, int width, int height, const BYTE* pixels, int srcWidth,
                              int srcHeight, std::ptrdiff_t stride) = 0;
};

// A LOGFONTW for a face name, character height in pixels, weight and italic
// flag (the name is cut at 31 UTF-16 units, as the record holds no more).
LOGFONTW MakeLogFont(const std::wstring& face, int height, int weight, bool italic, bool underline = false);
// The face name of a logical font as wide text.
std::wstring FaceNameOf(const LOGFONTW& font);
