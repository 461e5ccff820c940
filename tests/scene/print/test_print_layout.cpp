// Page layout on the recording device: margins, header image and text,
// footer with page numbers, frame lines, at 600 and 300 dots per inch. The
// recording device's fonts make a line exactly as tall as the character
// height, MulDiv(points, dpi, 72), with the baseline 4/5 of it below the
// line's top (internal leading h/5 above an ascent of h).
#include "platform/print/RecordingDC.h"
#include "platform/win/MulDiv.h"
#include "scene/print/Print.h"
#include "tests/support/TempImages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using Call = CRecordingDC::Call;

namespace {

struct Layout {
    int left, top, width, height;
};

Layout Lay(CVPrint& print, CRecordingDC& dc, int page, int count, int w, int h, int* result = nullptr)
{
    Layout l{0, 0, w, h};
    int r = print.PrintHeaderAndFooter(&dc, nullptr, page, count, l.left, l.top, l.width, l.height);
    if (result)
        *result = r;
    return l;
}

// An 8.5 x 11 inch page at each resolution.
struct Device {
    int dpi, width, height;
};
const Device k600{600, 5100, 6600};
const Device k300{300, 2550, 3300};

} // namespace

TEST(MulDivTest, RoundsHalvesAwayFromZeroFromA64BitProduct)
{
    EXPECT_EQ(MulDiv(7, 600, 72), 58);
    EXPECT_EQ(MulDiv(5, 600, 72), 42);
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(-5, 1, -2), 3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(4, 1, 3), 1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX); // the product needs 64 bits
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
}

TEST(MulDivTest, ZeroDivisorAndOverflowGiveMinusOne)
{
    EXPECT_EQ(MulDiv(5, 7, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
}

TEST(PrintSettingsTest, DefaultsAndSetters)
{
    CVPrint p;
    EXPECT_EQ(p.GetFillPage(), 0);
    EXPECT_EQ(p.GetSwitchToOrthographic(), 0);
    EXPECT_EQ(p.GetIncludeSection(), 1);
    EXPECT_EQ(p.GetIncludeSegments(), 1);
    EXPECT_EQ(p.GetIncludeHeaderFooter(), 1);
    EXPECT_EQ(p.GetTextureMappingEnabled(), 1);
    EXPECT_EQ(p.GetUseDisplayViewMode(), 1);
    EXPECT_EQ(p.GetDrawStyle(), 0);
    EXPECT_EQ(p.HasSegments(), 0);
    EXPECT_EQ(p.GetImageSegmentNumber(), -1);
    int m[6];
    p.GetPrintMargins(m[0], m[1], m[2], m[3], m[4], m[5]);
    EXPECT_EQ(std::vector<int>(m, m + 6), (std::vector<int>{7, 7, 5, 5, 5, 5}));
    EXPECT_EQ(p.GetPageNumberOffset(), 0);
    EXPECT_EQ(p.GetDPIForColor(), 300);
    EXPECT_EQ(p.GetDPIForGray(), 300);
    for (int side : {0, 1}) {
        const CVPrint::HeaderFooter& hf = p.GetHeaderFooter(side);
        EXPECT_TRUE(hf.text.empty());
        EXPECT_EQ(hf.markup, 0);
        EXPECT_EQ(hf.pointSize, 10);
        EXPECT_EQ(hf.bold, 0);
        EXPECT_EQ(hf.italic, 0);
        EXPECT_EQ(hf.face, L"Arial");
        EXPECT_EQ(hf.alignment, L"Center");
    }
    EXPECT_EQ(p.GetIncludeHeaderImage(), 1);
    EXPECT_TRUE(p.GetHeaderImage().empty());
    EXPECT_EQ(p.GetHeaderImageScale(), 1.0);
    EXPECT_EQ(p.GetDrawBorders(), 0);
    EXPECT_EQ(p.GetPrintScene(), nullptr);

    p.SetFillPage(1);
    p.SetSwitchToOrthographic(1);
    p.SetIncludeSection(0);
    p.SetIncludeSegments(0);
    p.SetIncludeHeaderFooter(0);
    p.SetTextureMappingEnabled(0);
    p.SetUseDisplayViewMode(0);
    p.SetDrawStyle(2);
    p.SetImageSegmentNumber(3);
    p.SetPageNumberOffset(4);
    p.SetIncludeHeaderImage(0);
    p.SetDrawBorders(1);
    EXPECT_EQ(p.SetDPIForColor(600), 1);
    EXPECT_EQ(p.SetDPIForGray(150), 1);
    EXPECT_EQ(p.SetDPIForGray(0), 0);
    EXPECT_EQ(p.GetFillPage() + p.GetSwitchToOrthographic() + p.GetDrawBorders(), 3);
    EXPECT_EQ(p.GetIncludeSection() + p.GetIncludeSegments() + p.GetIncludeHeaderFooter() +
                  p.GetTextureMappingEnabled() + p.GetUseDisplayViewMode() + p.GetIncludeHeaderImage(),
              0);
    EXPECT_EQ(p.GetDrawStyle(), 2);
    EXPECT_EQ(p.GetImageSegmentNumber(), 3);
    EXPECT_EQ(p.GetPageNumberOffset(), 4);
    EXPECT_EQ(p.GetDPIForColor(), 600);
    EXPECT_EQ(p.GetDPIForGray(), 150);
}

TEST(PrintSettingsTest, MarginsScaleAndSegmentsAreBoundedAtTheirLimits)
{
    CVPrint p;
    EXPECT_EQ(p.SetPrintMargins(0, 1, 2, 3, 4, 7200), 1);
    EXPECT_EQ(p.SetPrintMargins(0, 1, 2, 3, 4, 7201), 0);
    EXPECT_EQ(p.SetPrintMargins(-1, 1, 2, 3, 4, 5), 0);
    int m[6];
    p.GetPrintMargins(m[0], m[1], m[2], m[3], m[4], m[5]);
    EXPECT_EQ(m[5], 7200); // a refused call changes nothing
    EXPECT_EQ(p.SetHeaderImageScale(1000.0), 1);
    EXPECT_EQ(p.SetHeaderImageScale(1000.5), 0);
    EXPECT_EQ(p.SetHeaderImageScale(0.0), 0);
    EXPECT_EQ(p.SetHeaderImageScale(std::nan("")), 0);
    EXPECT_EQ(p.GetHeaderImageScale(), 1000.0);
    EXPECT_EQ(p.AddPrintSegment(std::nan("")), 0);
    for (int i = 0; i < CVPrint::kMaxSegments; ++i)
        ASSERT_EQ(p.AddPrintSegment(1.0), 1);
    EXPECT_EQ(p.AddPrintSegment(1.0), 0);
    EXPECT_EQ(p.GetSegments().size(), size_t(CVPrint::kMaxSegments));
    p.DeleteSegments();
    EXPECT_EQ(p.HasSegments(), 0);
}

class PrintLayoutAt : public ::testing::TestWithParam<Device> {};

TEST_P(PrintLayoutAt, DefaultMarginsWithoutHeaderOrFooter)
{
    const Device d = GetParam();
    CRecordingDC dc(d.dpi, d.dpi, d.width, d.height);
    CVPrint print;
    int ok = 0;
    Layout l = Lay(print, dc, 1, 1, d.width, d.height, &ok);
    const int mx = MulDiv(7, d.dpi, 72), my = MulDiv(5, d.dpi, 72);
    EXPECT_EQ(mx, d.dpi == 600 ? 58 : 29);
    EXPECT_EQ(my, d.dpi == 600 ? 42 : 21);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(l.left, mx);
    EXPECT_EQ(l.top, my);
    EXPECT_EQ(l.width, d.width - 2 * mx);
    EXPECT_EQ(l.height, d.height - 2 * my);
    EXPECT_TRUE(dc.Calls().empty());
}

// Header: an image of 40 x 20 pixels on the left, centred text on the
// right; footer "@pagenum of @pagecount" on page 2 of 5.
TEST_P(PrintLayoutAt, HeaderImageAndTextAndFooterLandWhereTheArithmeticSays)
{
    const Device d = GetParam();
    lumo::test::TempImages files;
    std::wstring png = files.Png("logo.png", lumo::test::MakeImage(40, 20, [](int, int) {
                                     return lumo::test::Bgra{0, 0, 255, 255};
                                 }));
    CRecordingDC dc(d.dpi, d.dpi, d.width, d.height);
    CVPrint print;
    print.SetHeaderImage(png);
    print.SetHeaderFooter(1, L"Quarterly chart", 0, 10, 1, 0, L"Arial", L"Center");
    print.SetHeaderFooter(0, L"@pagenum of @pagecount", 0, 10, 0, 0, L"Arial", L"Right");
    int ok = 0;
    Layout l = Lay(print, dc, 2, 5, d.width, d.height, &ok);
    ASSERT_EQ(ok, 1);

    const int mx = MulDiv(7, d.dpi, 72), my = MulDiv(5, d.dpi, 72), gap = MulDiv(5, d.dpi, 72);
    const int w = d.width - 2 * mx;
    const int four = MulDiv(4, d.dpi, 72);
    const int text = MulDiv(10, d.dpi, 72); // line height of 10-point text
    const int imageW = MulDiv(40, d.dpi, 72), imageH = MulDiv(20, d.dpi, 72);
    // The figures at 600 dpi, worked by hand.
    if (d.dpi == 600) {
        EXPECT_EQ(w, 4984);
        EXPECT_EQ(four, 33);
        EXPECT_EQ(text, 83);
        EXPECT_EQ(imageW, 333);
        EXPECT_EQ(imageH, 167);
    }

    auto images = dc.CallsOf(Call::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].x, mx + (w / 2 - four) - imageW); // right-aligned in the left half
    EXPECT_EQ(images[0].y, my);
    EXPECT_EQ(images[0].width, imageW);
    EXPECT_EQ(images[0].height, imageH);
    EXPECT_EQ(images[0].sourceWidth, 40);

    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 2u);
    const int textLeft = mx + w / 2 + four, textWidth = w / 2 - four;
    EXPECT_EQ(texts[0].text, L"Quarterly chart");
    EXPECT_EQ(texts[0].x, textLeft + textWidth / 2);
    EXPECT_EQ(texts[0].align, TA_CENTER | TA_BASELINE);
    EXPECT_EQ(texts[0].y, my + text - text / 5);
    EXPECT_EQ(texts[0].font.lfHeight, -text);
    EXPECT_EQ(texts[0].font.lfWeight, FW_BOLD);
    EXPECT_EQ(FaceNameOf(texts[0].font), L"Arial");

    const int header = std::max(imageH, text);
    const int bottom = d.height - my;
    EXPECT_EQ(texts[1].text, L"2 of 5");
    EXPECT_EQ(texts[1].x, mx + w);
    EXPECT_EQ(texts[1].align, TA_RIGHT | TA_BASELINE);
    EXPECT_EQ(texts[1].y, bottom - text + text - text / 5);

    EXPECT_EQ(l.left, mx);
    EXPECT_EQ(l.width, w);
    EXPECT_EQ(l.top, my + header + gap);
    EXPECT_EQ(l.top + l.height, bottom - text - gap);
    if (d.dpi == 600) {
        EXPECT_EQ(l.top, 251);
        EXPECT_EQ(l.height, 6182);
    } else {
        EXPECT_EQ(l.top, 125);
        EXPECT_EQ(l.height, 3091);
    }
}

TEST_P(PrintLayoutAt, FrameLinesAndSeparatorsLandWhereTheArithmeticSays)
{
    const Device d = GetParam();
    CRecordingDC dc(d.dpi, d.dpi, d.width, d.height);
    CVPrint print;
    print.SetDrawBorders(1);
    print.SetHeaderFooter(1, L"Header", 0, 10, 0, 0, L"Arial", L"Left");
    print.SetHeaderFooter(0, L"Footer", 0, 10, 0, 0, L"Arial", L"Left");
    int thin = 0, thick = 0;
    print.GetBorderWidthInPrinterPixels(&dc, thin, thick);
    EXPECT_EQ(thin, d.dpi == 600 ? 8 : 4);
    EXPECT_EQ(thick, d.dpi == 600 ? 25 : 13); // 12.5 rounds up
    Layout l = Lay(print, dc, 1, 1, d.width, d.height);

    const int mx = MulDiv(7, d.dpi, 72), my = MulDiv(5, d.dpi, 72), gap = my;
    const int k = gap; // (header gap + footer gap) / 2
    const int text = MulDiv(10, d.dpi, 72);
    EXPECT_EQ(l.left, mx + k + thin);
    EXPECT_EQ(l.width, d.width - 2 * (mx + k + thin));
    const int headerTop = my + thin + thick;
    EXPECT_EQ(print.GetHeaderLineY(), headerTop + text + thick);
    EXPECT_EQ(l.top, headerTop + text + gap + thick + thin);
    const int footerBottom = d.height - my - thin - thick;
    EXPECT_EQ(print.GetFooterLineY(), footerBottom - text - thick - thin);
    EXPECT_EQ(l.top + l.height, print.GetFooterLineY() - gap);
    if (d.dpi == 600) {
        EXPECT_EQ(l.left, 108);
        EXPECT_EQ(l.top, 233);
        EXPECT_EQ(print.GetHeaderLineY(), 183);
        EXPECT_EQ(print.GetFooterLineY(), 6409);
        EXPECT_EQ(l.height, 6134);
    } else {
        EXPECT_EQ(l.left, 54);
        EXPECT_EQ(l.top, 118);
        EXPECT_EQ(print.GetHeaderLineY(), 93);
        EXPECT_EQ(print.GetFooterLineY(), 3203);
        EXPECT_EQ(l.height, 3064);
    }
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].x, l.left);
    EXPECT_EQ(texts[0].y, headerTop + text - text / 5);
    EXPECT_EQ(texts[1].y, footerBottom - text / 5);

    dc.Clear();
    print.DrawBorder(&dc);
    auto bars = dc.CallsOf(Call::Fill);
    ASSERT_EQ(bars.size(), 6u);
    const int right = d.width - mx, bottom = d.height - my;
    struct Bar {
        int x, y, w, h;
    };
    const Bar expected[6] = {{mx, my, right - mx, thin},
                             {mx, bottom - thin, right - mx, thin},
                             {mx, my, thin, bottom - my},
                             {right - thin, my, thin, bottom - my},
                             {mx, print.GetHeaderLineY(), right - mx, thin},
                             {mx, print.GetFooterLineY(), right - mx, thin}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bars[size_t(i)].x, expected[i].x);
        EXPECT_EQ(bars[size_t(i)].y, expected[i].y);
        EXPECT_EQ(bars[size_t(i)].width, expected[i].w);
        EXPECT_EQ(bars[size_t(i)].height, expected[i].h);
        EXPECT_EQ(bars[size_t(i)].color, RGB(127, 127, 127));
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, PrintLayoutAt, ::testing::Values(k600, k300),
                         [](const ::testing::TestParamInfo<Device>& info) {
                             return std::to_string(info.param.dpi);
                         });

TEST(PrintLayoutTest, BordersWithoutHeaderOrFooterUseTheMarginsInstead)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetDrawBorders(1);
    Layout l = Lay(print, dc, 1, 1, 5100, 6600);
    // top: margin, thin line, then the margin again in place of the thick band.
    EXPECT_EQ(l.top, 42 + 8 + 42);
    EXPECT_EQ(l.height, 6600 - 2 * (42 + 8 + 42));
    EXPECT_EQ(print.GetHeaderLineY(), -1);
    EXPECT_EQ(print.GetFooterLineY(), -1);
    print.DrawBorder(&dc);
    EXPECT_EQ(dc.CallsOf(Call::Fill).size(), 4u);
}

TEST(PrintLayoutTest, PageNumberOffsetAppliesToPageAndCount)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetPageNumberOffset(10);
    print.SetHeaderFooter(0, L"Page @pagenum of @pagecount (@pagenum)", 0, 10, 0, 0, L"Arial", L"Center");
    Lay(print, dc, 2, 5, 5100, 6600);
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"Page 12 of 15 (12)");
}

TEST(PrintLayoutTest, SubstituteVarsReplacesEveryVariable)
{
    std::wstring out;
    CVPrint::SubstituteVars(L"@pagenum/@pagecount @pagenum@pagecount @page", out, 3, 7);
    EXPECT_EQ(out, L"3/7 37 @page");
    CVPrint::SubstituteVars(L"@@pagenumpagenum", out, -1, 0);
    EXPECT_EQ(out, L"@-1pagenum");
}

TEST(PrintLayoutTest, MarkupFooterDrawsRunsInTheirOwnFormatWithNumbersAsText)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderFooter(0, L"<B>Page @pagenum</B> of <FONT COLOR=\"red\">@pagecount</FONT>", 1, 10, 0, 0,
                          L"Arial", L"Left");
    Layout l = Lay(print, dc, 2, 5, 5100, 6600);
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, L"Page 2");
    EXPECT_EQ(texts[0].font.lfWeight, FW_BOLD);
    EXPECT_EQ(texts[1].text, L" of ");
    EXPECT_EQ(texts[1].font.lfWeight, FW_NORMAL);
    EXPECT_EQ(texts[2].text, L"5");
    EXPECT_EQ(texts[2].color, RGB(255, 0, 0));
    // Runs follow one another on one baseline from the left margin.
    EXPECT_EQ(texts[0].x, 58);
    EXPECT_EQ(texts[1].x, 58 + 6 * (83 / 2));
    EXPECT_EQ(texts[2].x, texts[1].x + 4 * (83 / 2));
    EXPECT_EQ(texts[0].y, texts[2].y);
    // A rich line: (cell height 99 + external leading 8) plus ten percent.
    const int lineHeight = 107 + MulDiv(107, 1, 10);
    EXPECT_EQ(l.top + l.height, 6600 - 42 - lineHeight - 42);
    EXPECT_EQ(texts[0].y, 6600 - 42 - lineHeight + 83);
}

TEST(PrintLayoutTest, PlainTextIsNeverReadAsMarkup)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderFooter(0, L"<B>@pagenum</B>", 0, 10, 0, 0, L"Arial", L"Left");
    Lay(print, dc, 2, 5, 5100, 6600);
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"<B>2</B>");
    EXPECT_EQ(texts[0].font.lfWeight, FW_NORMAL);
}

TEST(PrintLayoutTest, MarkupHeaderLinesGoDownAndFooterLinesGoUp)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderFooter(1, L"<P>One</P><P><FONT SIZE=\"20\">Two</FONT></P>", 1, 10, 0, 0, L"Arial", L"Left");
    print.SetHeaderFooter(0, L"<P>Three</P><P>Four</P>", 1, 10, 0, 0, L"Arial", L"Left");
    Layout l = Lay(print, dc, 1, 1, 5100, 6600);
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, L"One");
    EXPECT_EQ(texts[0].y, 42 + 83 - 16);
    EXPECT_EQ(texts[1].text, L"Two");
    EXPECT_EQ(texts[1].font.lfHeight, -167); // 20 points at 600 dpi
    EXPECT_EQ(texts[1].y, 42 + 83 + 4 + 167 - 33);
    EXPECT_EQ(l.top, 42 + 83 + 4 + 167 + 42);
    // The footer's last line is placed first, at the bottom; the first above it.
    EXPECT_EQ(texts[2].text, L"Four");
    EXPECT_EQ(texts[2].y, 6558 - 83 + 67);
    EXPECT_EQ(texts[3].text, L"Three");
    EXPECT_EQ(texts[3].y, 6558 - 83 - 4 - 83 + 67);
    EXPECT_EQ(l.top + l.height, 6558 - (83 + 4 + 83) - 42);
}

TEST(PrintLayoutTest, HeaderImageWiderThanItsHalfShrinksInProportion)
{
    lumo::test::TempImages files;
    std::wstring png = files.Png("wide.png", lumo::test::MakeImage(2000, 100, [](int, int) {
                                     return lumo::test::Bgra{255, 0, 0, 255};
                                 }));
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderImage(png);
    print.SetHeaderImageScale(0.5);
    Lay(print, dc, 1, 1, 5100, 6600);
    auto images = dc.CallsOf(Call::Image);
    ASSERT_EQ(images.size(), 1u);
    const int area = 4984 / 2 - 33;
    EXPECT_EQ(images[0].width, area);
    EXPECT_EQ(images[0].x, 58);
    // 100 px at 600/72 x 0.5 = 416.67, times area / 8333.33
    EXPECT_EQ(images[0].height, int(std::lround(100 * 600 / 72.0 * 0.5 * area / (2000 * 600 / 72.0 * 0.5))));
}

TEST(PrintLayoutTest, MissingHeaderImageTakesNoHeightButStillSplitsTheHeader)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderImage(L"/nonexistent/logo.png");
    print.SetHeaderFooter(1, L"Title", 0, 10, 0, 0, L"Arial", L"Left");
    Layout l = Lay(print, dc, 1, 1, 5100, 6600);
    EXPECT_TRUE(dc.CallsOf(Call::Image).empty());
    auto texts = dc.CallsOf(Call::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x, 58 + 4984 / 2 + 33);
    EXPECT_EQ(l.top, 42 + 83 + 42);
}

TEST(PrintLayoutTest, HeaderAndFooterCanBeLeftOut)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetHeaderFooter(1, L"Title", 0, 10, 0, 0, L"Arial", L"Left");
    print.SetHeaderFooter(0, L"Foot", 0, 10, 0, 0, L"Arial", L"Left");
    print.SetIncludeHeaderFooter(0);
    Layout l = Lay(print, dc, 1, 1, 5100, 6600);
    EXPECT_TRUE(dc.Calls().empty());
    EXPECT_EQ(l.top, 42);
    EXPECT_EQ(l.height, 6600 - 84);
}

TEST(PrintLayoutFaultTest, ZeroResolutionGivesAnEmptyLayoutAndFailure)
{
    for (int dpi : {0, -600}) {
        CRecordingDC dc(dpi, dpi, 5100, 6600);
        CVPrint print;
        print.SetDrawBorders(1);
        print.SetHeaderFooter(0, L"Foot", 0, 10, 0, 0, L"Arial", L"Left");
        int ok = -1;
        Layout l = Lay(print, dc, 1, 1, 5100, 6600, &ok);
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(l.width, 0);
        EXPECT_EQ(l.height, 0);
        EXPECT_TRUE(dc.Calls().empty());
        int thin = -1, thick = -1;
        print.GetBorderWidthInPrinterPixels(&dc, thin, thick);
        EXPECT_EQ(thin + thick, 0);
        print.DrawBorder(&dc);
        EXPECT_TRUE(dc.Calls().empty());
    }
    CVPrint print;
    int l = 0, t = 0, w = 100, h = 100;
    EXPECT_EQ(print.PrintHeaderAndFooter(nullptr, nullptr, 1, 1, l, t, w, h), 0);
}

TEST(PrintLayoutFaultTest, AreaSmallerThanTheMarginsFailsAtTheEdge)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    int ok = 0;
    // 58 + 58 pixels of margin across: one pixel more leaves a column.
    Layout l = Lay(print, dc, 1, 1, 117, 1000, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(l.width, 1);
    l = Lay(print, dc, 1, 1, 116, 1000, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(l.width, 0);
    EXPECT_EQ(l.height, 0);
    l = Lay(print, dc, 1, 1, 1000, 84, &ok);
    EXPECT_EQ(ok, 0);
    l = Lay(print, dc, 1, 1, 0, 0, &ok);
    EXPECT_EQ(ok, 0);
}

TEST(PrintLayoutFaultTest, HeaderAndFooterThatFillThePageDrawNothing)
{
    CRecordingDC dc(600, 600, 5100, 6600);
    CVPrint print;
    print.SetDrawBorders(1);
    print.SetHeaderFooter(1, L"Title", 0, 10, 0, 0, L"Arial", L"Left");
    print.SetHeaderFooter(0, L"Foot", 0, 10, 0, 0, L"Arial", L"Left");
    // Frame and bands: 2 x (42 + 8 + 25) = 150; header 83 + 42 + 33; footer 83 + 42 + 33.
    const int needed = 150 + 158 + 158;
    int ok = 0;
    Layout l = Lay(print, dc, 1, 1, 5100, needed + 1, &ok);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(l.height, 1);
    dc.Clear();
    l = Lay(print, dc, 1, 1, 5100, needed, &ok);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(l.height, 0);
    EXPECT_TRUE(dc.Calls().empty());
    print.DrawBorder(&dc); // no layout to frame
    EXPECT_TRUE(dc.Calls().empty());
}

TEST(PrintFitTest, ImageIsFittedIntoTheAreaCentred)
{
    CVPrint print;
    int x = 10, y = 20, w = 1000, h = 1000;
    EXPECT_EQ(print.DoFillPage(2.0, x, y, w, h), 1);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 270);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 500);
    x = 0, y = 0, w = 1000, h = 1000;
    EXPECT_EQ(print.DoFillPage(0.5, x, y, w, h), 1);
    EXPECT_EQ(x, 250);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 1000);
    x = 0, y = 0, w = 800, h = 400;
    print.DoFillPage(2.0, x, y, w, h); // already of that aspect
    EXPECT_EQ(x + y, 0);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 400);
    print.SetFillPage(1);
    x = 0, y = 0, w = 1000, h = 1000;
    EXPECT_EQ(print.DoFillPage(2.0, x, y, w, h), 1);
    EXPECT_EQ(h, 1000);
}

TEST(PrintFitTest, ImageWithoutWidthOrHeightEmptiesTheAreaAndFails)
{
    CVPrint print;
    for (double aspect : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        int x = 5, y = 5, w = 1000, h = 1000;
        EXPECT_EQ(print.DoFillPage(aspect, x, y, w, h), 0);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
    }
    print.SetFillPage(1);
    int x = 5, y = 5, w = 1000, h = 1000;
    EXPECT_EQ(print.DoFillPage(0.0, x, y, w, h), 0);
    EXPECT_EQ(w, 0);
}
