#include "scene/print/HeaderFooterText.h"

#include "platform/win/MulDiv.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace lumo::print {
namespace {

// A size in points as markup writes it ("12", "10.5"); 0 when it is not a
// number within the font bounds.
int PointSize(const std::wstring& text)
{
    if (text.empty())
        return 0;
    wchar_t* end = nullptr;
    double v = std::wcstod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(v))
        return 0;
    long points = std::lround(v);
    return points >= 1 && points <= CVPrint::kMaxFontPoints ? int(points) : 0;
}

struct Line {
    std::wstring text;
    std::vector<const CVRichTextFragment*> runs;
};

// The lines to draw: the markup lines with their runs, or the plain text as
// one line without runs.
std::vector<Line> LinesOf(const CVPrint::HeaderFooter& side)
{
    std::vector<Line> lines;
    if (!side.markup) {
        lines.push_back(Line{side.text, {}});
        return lines;
    }
    size_t f = 0;
    for (int i = 0; i < side.lines.GetNum() && i < CVPrint::kMaxLines; ++i) {
        Line line{side.lines[i], {}};
        while (f < side.fragments.size()) {
            const CVRichTextFragment& run = side.fragments[f++];
            line.runs.push_back(&run);
            if (run.endOfLine)
                break;
        }
        lines.push_back(line);
    }
    return lines;
}

UINT HorizontalAlign(const std::wstring& alignment)
{
    if (alignment == L"Right")
        return TA_RIGHT;
    if (alignment == L"Center")
        return TA_CENTER;
    return TA_LEFT;
}

// A line in one font: the first run's font and colour, else the side's.
int PlainLine(CPrinterDC& dc, const CVPrint::HeaderFooter& side, const Line& line, int x, int top, UINT align,
              int page, int pageCount, bool draw)
{
    LOGFONTW font = HeaderFooterFont(dc, side);
    COLORREF color = 0;
    if (!line.runs.empty()) {
        font = FontFromFragment(dc, font, *line.runs.front());
        if (line.runs.front()->colorSet)
            color = line.runs.front()->color;
    }
    dc.SelectFont(font);
    TEXTMETRICW tm{};
    if (!dc.GetTextMetrics(tm))
        return 0;
    int height = tm.tmAscent - tm.tmInternalLeading + tm.tmDescent;
    if (draw) {
        std::wstring text;
        CVPrint::SubstituteVars(line.text, text, page, pageCount);
        dc.SetTextColor(color);
        dc.SetTextAlign(align | TA_BASELINE);
        dc.TextOut(x, top + tm.tmAscent - tm.tmInternalLeading, text);
    }
    return height;
}

// A line of several runs, each in its own format, placed side by side on
// one baseline.
int RichLine(CPrinterDC& dc, const CVPrint::HeaderFooter& side, const Line& line, int x, int top, UINT align,
             int page, int pageCount, bool draw)
{
    const LOGFONTW base = HeaderFooterFont(dc, side);
    struct Run {
        LOGFONTW font;
        std::wstring text;
        COLORREF color;
        int width;
    };
    std::vector<Run> runs;
    int tallest = 0, leading = 0, ascent = 0, total = 0;
    for (const CVRichTextFragment* fragment : line.runs) {
        Run run{FontFromFragment(dc, base, *fragment), {}, fragment->colorSet ? fragment->color : 0, 0};
        CVPrint::SubstituteVars(fragment->text, run.text, page, pageCount);
        dc.SelectFont(run.font);
        TEXTMETRICW tm{};
        if (!dc.GetTextMetrics(tm))
            continue;
        tallest = std::max({tallest, int(tm.tmAscent - tm.tmInternalLeading + tm.tmDescent), int(tm.tmHeight)});
        leading = std::max(leading, int(tm.tmExternalLeading));
        ascent = std::max(ascent, int(tm.tmAscent));
        run.width = dc.GetTextExtent(run.text).cx;
        total += run.width;
        runs.push_back(run);
    }
    int height = tallest + leading;
    height += MulDiv(height, 1, 10); // ten percent more, as a rich line is spaced
    if (draw) {
        int pen = align == TA_RIGHT ? x - total : align == TA_CENTER ? x - total / 2 : x;
        dc.SetTextAlign(TA_LEFT | TA_BASELINE);
        for (const Run& run : runs) {
            dc.SelectFont(run.font);
            dc.SetTextColor(run.color);
            dc.TextOut(pen, top + ascent, run.text);
            pen += run.width;
        }
    }
    return height;
}

} // namespace

LOGFONTW HeaderFooterFont(CPrinterDC& dc, const CVPrint::HeaderFooter& side)
{
    int size = side.pointSize >= 1 && side.pointSize <= CVPrint::kMaxFontPoints ? side.pointSize : 10;
    return MakeLogFont(side.face, -MulDiv(size, dc.GetDeviceCaps(LOGPIXELSY), 72), side.bold ? FW_BOLD : FW_NORMAL,
                       side.italic != 0);
}

LOGFONTW FontFromFragment(CPrinterDC& dc, LOGFONTW font, const CVRichTextFragment& fragment)
{
    if (fragment.underlineSet)
        font.lfUnderline = fragment.underline ? 1 : 0;
    if (fragment.italicSet)
        font.lfItalic = fragment.italic ? 1 : 0;
    if (fragment.boldSet)
        font.lfWeight = fragment.bold ? FW_BOLD : FW_NORMAL;
    if (int points = PointSize(fragment.size))
        font.lfHeight = -MulDiv(points, dc.GetDeviceCaps(LOGPIXELSY), 72);
    if (!fragment.faceName.empty()) {
        LOGFONTW named = MakeLogFont(fragment.faceName, 0, 0, false);
        std::copy(std::begin(named.lfFaceName), std::end(named.lfFaceName), std::begin(font.lfFaceName));
    }
    return font;
}

int OutputHeaderOrFooter(CPrinterDC& dc, const CVPrint::HeaderFooter& side, bool header, int left, int width, int y,
                         int page, int pageCount, bool draw)
{
    std::vector<Line> lines = LinesOf(side);
    if (lines.empty())
        return 0;
    UINT align = HorizontalAlign(side.alignment);
    int x = align == TA_RIGHT ? left + width : align == TA_CENTER ? left + width / 2 : left;
    auto lineHeight = [&](const Line& line, int top, bool drawIt) {
        return line.runs.size() > 1 ? RichLine(dc, side, line, x, top, align, page, pageCount, drawIt)
                                    : PlainLine(dc, side, line, x, top, align, page, pageCount, drawIt);
    };
    int total = 0;
    if (header) {
        for (const Line& line : lines)
            total += lineHeight(line, y + total, draw) + 4;
    } else {
        // Upwards from the bottom: each line's height is known before it is placed.
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            int h = lineHeight(*it, 0, false);
            if (draw)
                lineHeight(*it, y - total - h, true);
            total += h + 4;
        }
    }
    return total - 4;
}

} // namespace lumo::print
