#include "platform/print/RecordingDC.h"

#include <cstdlib>

CRecordingDC::CRecordingDC(int dpiX, int dpiY, int width, int height, bool color)
    : mDpiX(dpiX), mDpiY(dpiY), mWidth(width), mHeight(height), mColor(color)
{
}

int CRecordingDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case LOGPIXELSX: return mDpiX;
    case LOGPIXELSY: return mDpiY;
    case HORZRES:
    case PHYSICALWIDTH: return mWidth;
    case VERTRES:
    case PHYSICALHEIGHT: return mHeight;
    case HORZSIZE: return mDpiX > 0 ? int(mWidth * 25.4 / mDpiX + 0.5) : 0;
    case VERTSIZE: return mDpiY > 0 ? int(mHeight * 25.4 / mDpiY + 0.5) : 0;
    case BITSPIXEL: return mColor ? 24 : 8;
    case NUMCOLORS: return mColor ? -1 : 256;
    case PLANES: return 1;
    default: return 0;
    }
}

bool CRecordingDC::StartDoc(const std::wstring& title)
{
    Call c(Call::StartDoc);
    c.text = title;
    mCalls.push_back(c);
    return true;
}

bool CRecordingDC::StartPage()
{
    mCalls.push_back(Call(Call::StartPage));
    return true;
}

bool CRecordingDC::EndPage()
{
    mCalls.push_back(Call(Call::EndPage));
    return true;
}

bool CRecordingDC::EndDoc()
{
    mCalls.push_back(Call(Call::EndDoc));
    return true;
}

bool CRecordingDC::GetTextMetrics(TEXTMETRICW& m)
{
    LONG h = std::labs(mFont.lfHeight);
    m.tmDescent = h / 5;
    m.tmInternalLeading = h / 5;
    m.tmAscent = h - m.tmDescent + m.tmInternalLeading;
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmExternalLeading = h / 10;
    m.tmAveCharWidth = h / 2;
    return true;
}

SIZE CRecordingDC::GetTextExtent(const std::wstring& text)
{
    TEXTMETRICW m;
    GetTextMetrics(m);
    return SIZE{LONG(text.size()) * m.tmAveCharWidth, m.tmHeight};
}

void CRecordingDC::TextOut(int x, int y, const std::wstring& text)
{
    Call c(Call::Text);
    c.x = x;
    c.y = y;
    c.text = text;
    c.color = mTextColor;
    c.align = mAlign;
    c.font = mFont;
    mCalls.push_back(c);
}

void CRecordingDC::FillRect(const RECT& rect, COLORREF color)
{
    Call c(Call::Fill);
    c.x = rect.left;
    c.y = rect.top;
    c.width = rect.right - rect.left;
    c.height = rect.bottom - rect.top;
    c.color = color;
    mCalls.push_back(c);
}

void CRecordingDC::StretchImage(int x, int y, int width, int height, const BYTE*, int srcWidth, int srcHeight,
                                std::ptrdiff_t)
{
    Call c(Call::Image);
    c.x = x;
    c.y = y;
    c.width = width;
    c.height = height;
    c.sourceWidth = srcWidth;
    c.sourceHeight = srcHeight;
    mCalls.push_back(c);
}

std::vector<CRecordingDC::Call> CRecordingDC::CallsOf(Call::Kind kind) const
{
    std::vector<Call> out;
    for (const Call& c : mCalls)
        if (c.kind == kind)
            out.push_back(c);
    return out;
}
