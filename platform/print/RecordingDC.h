// A printer device context that draws nothing and records every call with
// its coordinates, for tests of page layouts. Its fonts have fixed measures
// (see GetTextMetrics) so that layouts come out the same on every machine.
#pragma once

#include "platform/print/PrinterDC.h"

#include <vector>

class CRecordingDC : public CPrinterDC {
public:
    struct Call {
        enum Kind { StartDoc, StartPage, EndPage, EndDoc, Text, Fill, Image } kind;
        explicit Call(Kind k) : kind(k) {}
        int x = 0, y = 0, width = 0, height = 0; // text: the reference point
        std::wstring text;
        COLORREF color = 0;
        UINT align = 0;
        LOGFONTW font{};         // text: the selected font
        int sourceWidth = 0;     // image: the source pixels' size
        int sourceHeight = 0;
    };

    // A page of the given size in pixels at the given resolution, with no
    // unprintable margin; a grey device answers 8 bits per pixel.
    CRecordingDC(int dpiX, int dpiY, int width, int height, bool color = true);

    int GetDeviceCaps(int index) const override;
    bool StartDoc(const std::wstring& title) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDoc() override;
    void SelectFont(const LOGFONTW& font) override { mFont = font; }
    // For a character height h (|lfHeight|): descent h/5, internal leading
    // h/5, ascent h - descent + internal leading, external leading h/10;
    // every character advances h/2.
    bool GetTextMetrics(TEXTMETRICW& metrics) override;
    SIZE GetTextExtent(const std::wstring& text) override;
    void SetTextColor(COLORREF color) override { mTextColor = color; }
    void SetTextAlign(UINT align) override { mAlign = align; }
    void TextOut(int x, int y, const std::wstring& text) override;
    void FillRect(const RECT& rect, COLORREF color) override;
    void StretchImage(int x, int y, int width, int height, const BYTE* pixels, int srcWidth, int srcHeight,
                      std::ptrdiff_t stride) override;

    const std::vector<Call>& Calls() const { return mCalls; }
    // The recorded calls of one kind, in order.
    std::vector<Call> CallsOf(Call::Kind kind) const;
    void Clear() { mCalls.clear(); }

private:
    int mDpiX, mDpiY, mWidth, mHeight;
    bool mColor;
    LOGFONTW mFont{};
    COLORREF mTextColor = 0;
    UINT mAlign = 0;
    std::vector<Call> mCalls;
};
