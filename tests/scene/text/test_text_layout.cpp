// Label text as code points, lines and runs, and its layout in pixels.
#include "scene/text/FontFace.h"
#include "scene/text/PixelLayout.h"
#include "scene/text/TextRuns.h"
#include "scene/text/TextString.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumo::text;

namespace {

LOGFONTW Font(const wchar_t* face, LONG height, LONG weight = 400)
{
    LOGFONTW f;
    std::memset(&f, 0, sizeof f);
    f.lfHeight = height;
    f.lfWeight = weight;
    SetFaceName(f.lfFaceName, face);
    return f;
}

} // namespace

TEST(TextStrings, CodePointsFromWideText)
{
    EXPECT_EQ(ToCodePoints(L"a\U0001F600b"), U"a\U0001F600b");
    std::wstring pair = std::wstring(L"x") + wchar_t(0xD83D) + wchar_t(0xDE00);
    EXPECT_EQ(ToCodePoints(pair), U"x\U0001F600");
    // Lone halves, values past Unicode and control characters are dropped;
    // a tab is a space.
    std::wstring broken = std::wstring(L"a") + wchar_t(0xDE00) + L"b" + wchar_t(0xD800) + wchar_t(0x110000) +
                          L"\t\x01\x7F" + wchar_t(0x85) + L"c";
    EXPECT_EQ(ToCodePoints(broken), U"ab c");
    // At most kMaxLineLength code points: the bound and one past it.
    EXPECT_EQ(ToCodePoints(std::wstring(kMaxLineLength, L'x')).size(), kMaxLineLength);
    EXPECT_EQ(ToCodePoints(std::wstring(kMaxLineLength + 1, L'x')).size(), kMaxLineLength);
}

TEST(TextStrings, LineBreaks)
{
    std::vector<std::wstring> lines;
    SplitLines(L"one^[n]^two\nthree\r\n^[n]^", lines);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], L"one");
    EXPECT_EQ(lines[1], L"two");
    EXPECT_EQ(lines[2], L"three");
    EXPECT_EQ(lines[3], L"");
    EXPECT_EQ(lines[4], L"");
    lines.clear();
    SplitLines(L"^[n^", lines); // not the break
    EXPECT_EQ(lines.size(), 1u);
    // At most kMaxLines lines, the bound and one past it.
    std::wstring many;
    for (std::size_t i = 0; i + 1 < kMaxLines; ++i)
        many += L"x\n";
    lines.clear();
    SplitLines(many + L"last", lines);
    EXPECT_EQ(lines.size(), kMaxLines);
    EXPECT_EQ(lines.back(), L"last");
    lines.clear();
    SplitLines(many + L"last\nbeyond", lines);
    EXPECT_EQ(lines.size(), kMaxLines);
    EXPECT_EQ(lines.back(), L"last");
}

TEST(TextStrings, FaceNamesFitTheLogicalFont)
{
    char16_t name[32];
    SetFaceName(name, std::wstring(40, L'n'));
    EXPECT_EQ(GetFaceName(name), std::wstring(31, L'n'));
    SetFaceName(name, L"Caladea");
    EXPECT_EQ(GetFaceName(name), L"Caladea");
}

TEST(TextRuns, PlainLinesAndRichRuns)
{
    LOGFONTW base = Font(L"Cambria", -12);
    auto plain = PlainLines({L"one", L"two^[n]^three"}, base);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[2].entry, 1);
    EXPECT_EQ(plain[2].runs[0].text, U"three");

    std::vector<CVRichTextFragment> f(3);
    f[0].text = L"bold ";
    f[0].bold = f[0].boldSet = 1;
    f[1].text = L"red";
    f[1].colorSet = 1;
    f[1].color = 0x0000FF;
    f[1].size = L"24";
    f[1].endOfLine = 1;
    f[2].text = L"next";
    f[2].faceName = L"Carlito";
    auto rich = RichLines(f, base);
    ASSERT_EQ(rich.size(), 2u);
    ASSERT_EQ(rich[0].runs.size(), 2u);
    EXPECT_EQ(rich[0].runs[0].font.lfWeight, 700);
    EXPECT_EQ(rich[0].runs[1].font.lfHeight, -32); // 24 points
    EXPECT_EQ(rich[0].runs[1].color, 0x0000FFu);
    EXPECT_EQ(GetFaceName(rich[1].runs[0].font.lfFaceName), L"Carlito");
    // Sizes are kept within bounds; text that is no number keeps the font.
    EXPECT_EQ(PointsToHeight(L"1e9"), -int(kMaxPoints * 96 / 72));
    EXPECT_EQ(PointsToHeight(L"0.1"), -1);
    EXPECT_EQ(PointsToHeight(L"big"), 0);
    EXPECT_EQ(PointsToHeight(L"nan"), 0);
}

TEST(TextRuns, RichTextIsBounded)
{
    LOGFONTW base = Font(L"Cambria", -12);
    std::vector<CVRichTextFragment> f(kMaxFragments + 10);
    for (auto& fragment : f)
        fragment.text = L"x";
    auto lines = RichLines(f, base);
    ASSERT_EQ(lines.size(), 1u);
    std::size_t points = 0;
    for (const auto& r : lines[0].runs)
        points += r.text.size();
    EXPECT_EQ(points, kMaxLineLength); // the first 4,096 fragments, on one line up to its bound
}

TEST(PixelLayouts, LinesStackUpFromTheLastBaseline)
{
    LOGFONTW base = Font(L"Cambria", -16);
    auto face = CVFontFace::Find(L"Cambria", 400, false);
    ASSERT_TRUE(face);
    CVPixelMetrics m = PixelMetrics(*face, -16);
    EXPECT_FLOAT_EQ(m.em, 16.0f);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    CVPixelLayout one, two;
    CVPixelLayoutOptions o;
    ASSERT_TRUE(LayoutPixels(PlainLines({L"Wide"}, base), o, one));
    ASSERT_TRUE(LayoutPixels(PlainLines({L"Wide", L"Wi"}, base), o, two));
    // One line leaves the internal leading out of its ascent; two lines
    // are two line heights tall, the origin on the lower one's baseline.
    EXPECT_FLOAT_EQ(one.ascent, float(m.ascent - m.internalLeading));
    EXPECT_FLOAT_EQ(one.descent, float(m.descent));
    EXPECT_FLOAT_EQ(two.ascent + two.descent, float(2 * m.height));
    EXPECT_EQ(two.width, one.width);
    EXPECT_FLOAT_EQ(two.glyphs[0].y, float(m.height));
    EXPECT_FLOAT_EQ(two.glyphs[4].y, 0.0f);
    // Centred lines; right to left; a margin on every side.
    o.align = 1;
    ASSERT_TRUE(LayoutPixels(PlainLines({L"Wide", L"Wi"}, base), o, two));
    EXPECT_GT(two.glyphs[4].x, 0.0f);
    o.leftToRight = false;
    o.margin = 4;
    ASSERT_TRUE(LayoutPixels(PlainLines({L"ab"}, base), o, one));
    EXPECT_EQ(one.glyphs[0].code, U'b');
    EXPECT_FLOAT_EQ(one.glyphs[0].x, 4.0f);
    EXPECT_FLOAT_EQ(one.ascent, float(m.ascent - m.internalLeading + 4));
}

TEST(PixelLayouts, BoxesWrapAtSpacesAndKeepTheLinesThatFit)
{
    LOGFONTW base = Font(L"Cambria", -16);
    CVPixelLayoutOptions o;
    CVPixelLayout wide;
    ASSERT_TRUE(LayoutPixels(PlainLines({L"one two three"}, base), o, wide));
    o.boxWidth = wide.width / 2.0f;
    o.boxHeight = 1000.0f;
    CVPixelLayout wrapped;
    ASSERT_TRUE(LayoutPixels(PlainLines({L"one two three"}, base), o, wrapped));
    EXPECT_TRUE(wrapped.overflows);
    EXPECT_GE(wrapped.lines, 2);
    EXPECT_LE(wrapped.width, o.boxWidth);
    // Only one line fits this box; none fits a box lower than a line.
    auto face = CVFontFace::Find(L"Cambria", 400, false);
    CVPixelMetrics m = PixelMetrics(*face, -16);
    o.boxHeight = float(m.height);
    ASSERT_TRUE(LayoutPixels(PlainLines({L"one two three"}, base), o, wrapped));
    EXPECT_EQ(wrapped.lines, 1);
    o.boxHeight = float(m.height - 1);
    EXPECT_FALSE(LayoutPixels(PlainLines({L"one two three"}, base), o, wrapped));
    EXPECT_TRUE(wrapped.glyphs.empty());
}
