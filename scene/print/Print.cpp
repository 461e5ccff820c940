#include "scene/print/Print.h"

#include "platform/win/MulDiv.h"
#include "platform/text/Utf8.h"
#include "scene/cache/TextureImage.h"
#include "scene/io/SearchPath.h"
#include "scene/nodes/Group.h"
#include "scene/print/HeaderFooterText.h"
#include "scene/text/MarkupReader.h"

#include <algorithm>
#include <cmath>

CVPrint::CVPrint() : mImageSearchPath(CVGetDefaultImageSearchPath()) {}

CVPrint::~CVPrint() { SetPrintScene(nullptr); }

int CVPrint::SetDPIForColor(int dpi)
{
    if (dpi <= 0)
        return 0;
    mDpiColor = dpi;
    return 1;
}

int CVPrint::SetDPIForGray(int dpi)
{
    if (dpi <= 0)
        return 0;
    mDpiGray = dpi;
    return 1;
}

int CVPrint::AddPrintSegment(double width)
{
    if (!std::isfinite(width) || mSegments.size() >= size_t(kMaxSegments))
        return 0;
    mSegments.push_back(width);
    return 1;
}

int CVPrint::SetPrintMargins(int left, int right, int top, int bottom, int headerGap, int footerGap)
{
    const int values[6] = {left, right, top, bottom, headerGap, footerGap};
    for (int v : values)
        if (v < 0 || v > kMaxMarginPoints)
            return 0;
    std::copy(values, values + 6, mMargins);
    return 1;
}

void CVPrint::GetPrintMargins(int& left, int& right, int& top, int& bottom, int& headerGap, int& footerGap) const
{
    left = mMargins[0];
    right = mMargins[1];
    top = mMargins[2];
    bottom = mMargins[3];
    headerGap = mMargins[4];
    footerGap = mMargins[5];
}

void CVPrint::SetHeaderFooter(int isHeader, const std::wstring& text, int markup, int pointSize, int bold, int italic,
                              const std::wstring& face, const std::wstring& alignment)
{
    HeaderFooter& side = isHeader ? mHeader : mFooter;
    side.text = text.substr(0, kMaxTextLength);
    side.markup = markup;
    side.pointSize = pointSize;
    side.bold = bold;
    side.italic = italic;
    side.face = face;
    side.alignment = alignment;
    side.lines.RemoveAll();
    side.fragments.clear();
    side.lines.Add(side.text);
    lumo::text::ReadMarkup(side.lines, &side.fragments);
}

void CVPrint::SetHeaderImage(const std::wstring& path)
{
    mHeaderImagePath = path;
    mHeaderImageRead = false;
    mHeaderImage = CVImage();
}

int CVPrint::SetHeaderImageScale(double scale)
{
    if (!std::isfinite(scale) || scale <= 0.0 || scale > 1000.0)
        return 0;
    mHeaderImageScale = scale;
    return 1;
}

void CVPrint::SetPrintScene(CVGroup* scene)
{
    if (scene == mPrintScene)
        return;
    if (scene)
        scene->Ref();
    if (mPrintScene)
        mPrintScene->Unref();
    mPrintScene = scene;
}

const CVImage& CVPrint::HeaderImage(IUnknown* host)
{
    if (!mHeaderImageRead) {
        mHeaderImageRead = true;
        mHeaderImage = CVImage();
        std::wstring file = lumo::texture::ResolveImageFile(host, mImageSearchPath, mHeaderImagePath);
        if (file.empty() || !lumo::image::ReadImageFile(lumo::ToUtf8(file), mHeaderImage, kMaxHeaderImagePixels))
            mHeaderImage = CVImage();
    }
    return mHeaderImage;
}

void CVPrint::SubstituteVars(const std::wstring& in, std::wstring& out, int page, int pageCount)
{
    static const std::wstring kPage = L"@pagenum", kCount = L"@pagecount";
    std::wstring result;
    result.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        if (in.compare(i, kPage.size(), kPage) == 0) {
            result += std::to_wstring(page);
            i += kPage.size();
        } else if (in.compare(i, kCount.size(), kCount) == 0) {
            result += std::to_wstring(pageCount);
            i += kCount.size();
        } else {
            result += in[i++];
        }
    }
    out = result;
}

void CVPrint::GetBorderWidthInPrinterPixels(CPrinterDC* dc, int& thin, int& thick) const
{
    thin = thick = 0;
    if (!mDrawBorders || !dc)
        return;
    int dpi = dc->GetDeviceCaps(LOGPIXELSY);
    if (dpi <= 0)
        return;
    thin = MulDiv(dpi, 1, 72);
    thick = MulDiv(dpi, 3, 72);
}

int CVPrint::PrintHeaderAndFooter(CPrinterDC* dc, IUnknown* host, int page, int pageCount, int& left, int& top,
                                  int& width, int& height)
{
    mLayout = Layout();
    auto fail = [&] {
        width = height = 0;
        return 0;
    };
    if (!dc)
        return fail();
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0 || width <= 0 || height <= 0)
        return fail();
    const int mL = MulDiv(mMargins[0], dpiX, 72), mR = MulDiv(mMargins[1], dpiX, 72);
    const int mT = MulDiv(mMargins[2], dpiY, 72), mB = MulDiv(mMargins[3], dpiY, 72);
    const int gH = MulDiv(mMargins[4], dpiY, 72), gF = MulDiv(mMargins[5], dpiY, 72);
    const bool imageWanted = mIncludeHeaderImage && !mHeaderImagePath.empty();
    const bool headerText = mIncludeHeaderFooter && !mHeader.text.empty();
    const bool hasHeader = imageWanted || headerText;
    const bool hasFooter = mIncludeHeaderFooter && !mFooter.text.empty();
    int thin = 0, thick = 0;
    GetBorderWidthInPrinterPixels(dc, thin, thick);

    // The area inside the margins (and the frame).
    Layout layout;
    layout.frame = RECT{left + mL, top + mT, left + width - mR, top + height - mB};
    layout.thin = thin;
    int x = left, y = top, w = width, h = height;
    if (!mDrawBorders) {
        x += mL;
        w -= mL + mR;
        y += mT;
        h -= mT + mB;
    } else {
        const int k = MulDiv(gH + gF, 1, 2);
        const int aboveHeader = hasHeader ? thick : mT;
        const int belowFooter = hasFooter ? thick : mB;
        x += k + thin + mL;
        w -= 2 * k + 2 * thin + mL + mR;
        y += mT + thin + aboveHeader;
        h -= mT + thin + aboveHeader + mB + thin + belowFooter;
    }
    if (w <= 0 || h <= 0)
        return fail();

    // Measure the header and footer before anything is drawn, so that a page
    // they do not fit on stays blank.
    const int pageNumber = page + mPageNumberOffset, pageTotal = pageCount + mPageNumberOffset;
    int textLeft = x, textWidth = w;
    int imageAreaWidth = 0, imageWidth = 0, imageHeight = 0;
    const CVImage* image = nullptr;
    if (imageWanted) {
        const int gap = MulDiv(4, dpiX, 72);
        imageAreaWidth = w / 2 - gap;
        textLeft = x + w / 2 + gap;
        textWidth = w / 2 - gap;
        image = &HeaderImage(host);
        if (image->Valid()) {
            double iw = image->width * (dpiY / 72.0) * mHeaderImageScale;
            double ih = image->height * (dpiY / 72.0) * mHeaderImageScale;
            if (iw > imageAreaWidth) {
                ih = imageAreaWidth > 0 ? ih * imageAreaWidth / iw : 0.0;
                iw = std::max(imageAreaWidth, 0);
            }
            imageWidth = int(std::lround(iw));
            imageHeight = int(std::lround(ih));
        }
    }
    int headerTextHeight = 0, footerHeight = 0;
    if (headerText)
        headerTextHeight =
            lumo::print::OutputHeaderOrFooter(*dc, mHeader, true, textLeft, textWidth, y, pageNumber, pageTotal, false);
    if (hasFooter)
        footerHeight = lumo::print::OutputHeaderOrFooter(*dc, mFooter, false, x, w, y + h, pageNumber, pageTotal, false);

    int ny = y, nh = h;
    const int headerTop = y;
    if (hasHeader) {
        int headerHeight = std::max(imageHeight, headerTextHeight) + gH;
        ny += headerHeight;
        nh -= headerHeight;
        if (mDrawBorders) {
            layout.headerLineY = ny + thick - gH;
            ny += thick + thin;
            nh -= thick + thin;
        }
    }
    const int footerBottom = ny + nh;
    if (hasFooter) {
        nh -= footerHeight + gF;
        if (mDrawBorders) {
            // Mirrors the header: the line lies the thick width above the footer.
            layout.footerLineY = footerBottom - footerHeight - thick - thin;
            nh -= thick + thin;
        }
    }
    if (nh <= 0)
        return fail();

    if (image && image->Valid() && image->width > 1 && image->height > 1 && imageWidth > 0 && imageHeight > 0)
        dc->StretchImage(x + imageAreaWidth - imageWidth, headerTop, imageWidth, imageHeight, image->bgra.data(),
                         image->width, image->height, std::ptrdiff_t(image->width) * 4);
    if (headerText)
        lumo::print::OutputHeaderOrFooter(*dc, mHeader, true, textLeft, textWidth, headerTop, pageNumber, pageTotal,
                                          true);
    if (hasFooter)
        lumo::print::OutputHeaderOrFooter(*dc, mFooter, false, x, w, footerBottom, pageNumber, pageTotal, true);

    layout.valid = true;
    mLayout = layout;
    left = x;
    top = ny;
    width = w;
    height = nh;
    return 1;
}

void CVPrint::DrawBorder(CPrinterDC* dc) const
{
    if (!dc || !mDrawBorders || !mLayout.valid || mLayout.thin <= 0)
        return;
    const RECT& f = mLayout.frame;
    const int t = mLayout.thin;
    dc->FillRect(RECT{f.left, f.top, f.right, f.top + t}, kBorderColor);
    dc->FillRect(RECT{f.left, f.bottom - t, f.right, f.bottom}, kBorderColor);
    dc->FillRect(RECT{f.left, f.top, f.left + t, f.bottom}, kBorderColor);
    dc->FillRect(RECT{f.right - t, f.top, f.right, f.bottom}, kBorderColor);
    if (mLayout.headerLineY >= 0)
        dc->FillRect(RECT{f.left, mLayout.headerLineY, f.right, mLayout.headerLineY + t}, kBorderColor);
    if (mLayout.footerLineY >= 0)
        dc->FillRect(RECT{f.left, mLayout.footerLineY, f.right, mLayout.footerLineY + t}, kBorderColor);
}

int CVPrint::DoFillPage(double aspect, int& x, int& y, int& w, int& h) const
{
    if (!std::isfinite(aspect) || aspect <= 0.0) {
        w = h = 0;
        return 0;
    }
    if (mFillPage || w <= 0 || h <= 0)
        return 1;
    const double areaAspect = double(w) / double(h);
    if (aspect > areaAspect) {
        int nh = int(std::lround(w / aspect));
        y += std::max(0, (h - nh) / 2);
        h = nh;
    } else if (aspect < areaAspect) {
        int nw = int(std::lround(aspect * h));
        x += std::max(0, (w - nw) / 2);
        w = nw;
    }
    return 1;
}
