// The print settings of a view and the layout of a printed page: margins,
// frame lines, a header (image on the left, text on the right) and a footer
// with page-number variables, the rectangle left for the scene image and the
// fit of the image into it, and the split of a wide scene into pages along x.
//
// Lengths set here (margins, gaps, font sizes) are points (1/72 inch) and
// become printer pixels by MulDiv(value, LOGPIXELSX or LOGPIXELSY, 72).
// Bounds: margins and gaps 0 to 7,200 points; font sizes 1 to 1,000 points
// (others give the default 10); header and footer text at most 65,536
// characters, at most 64 lines drawn of each; at most 10,000 segments; the
// header image at most 2^24 pixels.
#pragma once

#include "platform/print/PrinterDC.h"
#include "scene/io/image/Image.h"
#include "scene/model/Base.h"
#include "scene/model/Box3f.h"
#include "scene/model/MFields.h"
#include "scene/text/RichTextFragment.h"

#include <string>
#include <vector>

class CVGroup;
struct IUnknown;

class CVPrint : public CVBase {
public:
    static constexpr int kMaxMarginPoints = 7200;
    static constexpr int kMaxFontPoints = 1000;
    static constexpr size_t kMaxTextLength = 65536;
    static constexpr int kMaxLines = 64;
    static constexpr int kMaxSegments = 10000;
    static constexpr std::uint64_t kMaxHeaderImagePixels = std::uint64_t(1) << 24;
    // The grey of frame lines.
    static constexpr COLORREF kBorderColor = RGB(127, 127, 127);

    // One side's text settings, and its markup read into lines and runs.
    struct HeaderFooter {
        std::wstring text;
        int markup = 0;
        int pointSize = 10;
        int bold = 0;
        int italic = 0;
        std::wstring face = L"Arial";
        std::wstring alignment = L"Center";
        CVMFString lines;
        std::vector<CVRichTextFragment> fragments;
    };

    CVPrint();
    ~CVPrint() override;
    CVPrint(const CVPrint&) = delete;
    CVPrint& operator=(const CVPrint&) = delete;

    void SetFillPage(int on) { mFillPage = on; }
    int GetFillPage() const { return mFillPage; }
    void SetSwitchToOrthographic(int on) { mSwitchToOrthographic = on; }
    int GetSwitchToOrthographic() const { return mSwitchToOrthographic; }
    void SetIncludeSection(int on) { mIncludeSection = on; }
    int GetIncludeSection() const { return mIncludeSection; }
    void SetIncludeSegments(int on) { mIncludeSegments = on; }
    int GetIncludeSegments() const { return mIncludeSegments; }
    void SetIncludeHeaderFooter(int on) { mIncludeHeaderFooter = on; }
    int GetIncludeHeaderFooter() const { return mIncludeHeaderFooter; }
    void SetTextureMappingEnabled(int on) { mTextureMapping = on; }
    int GetTextureMappingEnabled() const { return mTextureMapping; }
    void SetUseDisplayViewMode(int on) { mUseDisplayViewMode = on; }
    int GetUseDisplayViewMode() const { return mUseDisplayViewMode; }
    void SetDrawStyle(int style) { mDrawStyle = style; }
    int GetDrawStyle() const { return mDrawStyle; }
    void SetImageSegmentNumber(int n) { mImageSegment = n; }
    int GetImageSegmentNumber() const { return mImageSegment; }
    void SetPageNumberOffset(int offset) { mPageNumberOffset = offset; }
    int GetPageNumberOffset() const { return mPageNumberOffset; }
    // Resolutions of at most 0 are refused (the call returns 0).
    int SetDPIForColor(int dpi);
    int GetDPIForColor() const { return mDpiColor; }
    int SetDPIForGray(int dpi);
    int GetDPIForGray() const { return mDpiGray; }
    void SetIncludeHeaderImage(int on) { mIncludeHeaderImage = on; }
    int GetIncludeHeaderImage() const { return mIncludeHeaderImage; }
    void SetDrawBorders(int on) { mDrawBorders = on; }
    int GetDrawBorders() const { return mDrawBorders; }

    // Segment widths in scene units along x. A width that is not a finite
    // number, or one past kMaxSegments, is refused (returns 0).
    int AddPrintSegment(double width);
    void DeleteSegments() { mSegments.clear(); }
    int HasSegments() const { return mSegments.empty() ? 0 : 1; }
    const std::vector<double>& GetSegments() const { return mSegments; }

    // Points; all six are refused (returns 0) when any lies outside 0 to
    // kMaxMarginPoints. Defaults 7, 7, 5, 5, 5, 5.
    int SetPrintMargins(int left, int right, int top, int bottom, int headerGap, int footerGap);
    void GetPrintMargins(int& left, int& right, int& top, int& bottom, int& headerGap, int& footerGap) const;

    // Stores the seven settings of the header (isHeader != 0) or footer and
    // reads the text as rich-text markup into lines and runs. Alignment
    // "Right" or "Center"; anything else is left-aligned.
    void SetHeaderFooter(int isHeader, const std::wstring& text, int markup, int pointSize, int bold, int italic,
                         const std::wstring& face, const std::wstring& alignment);
    const HeaderFooter& GetHeaderFooter(int isHeader) const { return isHeader ? mHeader : mFooter; }

    // The header image: a file name, used as it stands when absolute (or a
    // "file:" URL), else looked for along the image search path (by default
    // the library's default image search path).
    void SetHeaderImage(const std::wstring& path);
    const std::wstring& GetHeaderImage() const { return mHeaderImagePath; }
    // Scales outside (0, 1000] or not finite are refused (returns 0).
    int SetHeaderImageScale(double scale);
    double GetHeaderImageScale() const { return mHeaderImageScale; }
    void SetImageSearchPath(const std::wstring& path) { mImageSearchPath = path; }

    // The scene printed (referenced while held).
    void SetPrintScene(CVGroup* scene);
    CVGroup* GetPrintScene() const { return mPrintScene; }
    void DeletePrintScene() { SetPrintScene(nullptr); }

    // The native window of the host. Rich lines are drawn with the page's
    // own text drawing and need no window; it is kept for the host.
    void SetWindow(unsigned long window) { mWindow = window; }
    unsigned long GetWindow() const { return mWindow; }

    // Lays the page out on the device: on entry the four values are the
    // printable area in printer pixels; draws the header image, header and
    // footer (page numbers: page + offset of pageCount + offset) and leaves
    // the area for the scene image. Returns 1; 0 with an empty area (width
    // and height 0) and nothing drawn when the device has no resolution or
    // the margins, frame, header and footer leave no room.
    int PrintHeaderAndFooter(CPrinterDC* dc, IUnknown* host, int page, int pageCount, int& left, int& top,
                             int& width, int& height);
    // Draws the frame lines of the last layout (when borders are on).
    void DrawBorder(CPrinterDC* dc) const;
    // Frame line widths: 1 and 3 points in pixels down the page; both 0
    // without borders.
    void GetBorderWidthInPrinterPixels(CPrinterDC* dc, int& thin, int& thick) const;
    // Fits an image of the aspect (width / height) into the area, centred.
    // With fill page on, or an area already of that aspect, it is left as
    // it is. An aspect that is 0, negative or not finite (an image of no
    // width or height) empties the area and returns 0; otherwise 1.
    int DoFillPage(double aspect, int& x, int& y, int& w, int& h) const;

    // Pages: 1 for the whole scene (when included) plus the valid segments
    // (when there are segments and they are included).
    int GetNumPages(const CVBox3f& sceneBox, int swapXZ) const;
    // The box of segment n of the scene; returns 1 when it reaches the end
    // of the scene (within 0.1 % of the scene's width). 'valid' is 0 for a
    // segment that starts outside the scene or within that tolerance of its
    // end. Without segments, the whole box (valid, last).
    int GetSegmentBbox(int n, const CVBox3f* sceneBox, CVBox3f* out, int swapXZ, int& valid) const;

    // Replaces every "@pagenum" by the page number and "@pagecount" by the
    // page count. The numbers go into text already read from markup, so
    // they can never add markup of their own.
    static void SubstituteVars(const std::wstring& in, std::wstring& out, int page, int pageCount);

    // The y of the header and footer separator lines of the last layout (-1: none).
    int GetHeaderLineY() const { return mLayout.headerLineY; }
    int GetFooterLineY() const { return mLayout.footerLineY; }

private:
    struct Layout {
        bool valid = false;
        RECT frame{0, 0, 0, 0}; // the printable area inside the margins
        int thin = 0;
        int headerLineY = -1;
        int footerLineY = -1;
    };
    // The header image as read (empty when missing or unreadable).
    const CVImage& HeaderImage(IUnknown* host);

    int mFillPage = 0;
    int mSwitchToOrthographic = 0;
    int mIncludeSection = 1;
    int mIncludeSegments = 1;
    int mIncludeHeaderFooter = 1;
    int mTextureMapping = 1;
    int mUseDisplayViewMode = 1;
    int mDrawStyle = 0;
    std::vector<double> mSegments;
    int mImageSegment = -1;
    int mMargins[6] = {7, 7, 5, 5, 5, 5};
    int mPageNumberOffset = 0;
    int mDpiColor = 300;
    int mDpiGray = 300;
    HeaderFooter mHeader;
    HeaderFooter mFooter;
    int mIncludeHeaderImage = 1;
    std::wstring mHeaderImagePath;
    double mHeaderImageScale = 1.0;
    std::wstring mImageSearchPath;
    bool mHeaderImageRead = false;
    CVImage mHeaderImage;
    int mDrawBorders = 0;
    CVGroup* mPrintScene = nullptr;
    unsigned long mWindow = 0;
    Layout mLayout;
};
