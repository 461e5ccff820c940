#include "scene/text/TextRuns.h"

#include "scene/text/TextString.h"

#include <cmath>
#include <cwchar>

bool CVTextLine::Empty() const
{
    for (const CVTextRun& r : runs)
        if (!r.text.empty())
            return false;
    return true;
}

namespace lumo::text {

std::vector<CVTextLine> PlainLines(const std::vector<std::wstring>& strings, const LOGFONTW& base)
{
    std::vector<CVTextLine> lines;
    std::vector<std::wstring> split;
    for (std::size_t entry = 0; entry < strings.size() && lines.size() < kMaxLines; ++entry) {
        split.clear();
        SplitLines(strings[entry], split);
        for (const std::wstring& s : split) {
            if (lines.size() >= kMaxLines)
                break;
            CVTextLine line;
            line.entry = int(entry);
            line.runs.push_back(CVTextRun{ToCodePoints(s), base, 0, 0});
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

int PointsToHeight(const std::wstring& points)
{
    const wchar_t* start = points.c_str();
    wchar_t* end = nullptr;
    double pt = std::wcstod(start, &end);
    if (end == start || !std::isfinite(pt))
        return 0;
    pt = pt < kMinPoints ? kMinPoints : pt > kMaxPoints ? kMaxPoints : pt;
    return -int(std::lround(pt * 96.0 / 72.0));
}

std::vector<CVTextLine> RichLines(const std::vector<CVRichTextFragment>& fragments, const LOGFONTW& base)
{
    std::vector<CVTextLine> lines(1);
    std::size_t lineLength = 0; // code points on the last line
    std::size_t count = fragments.size() < kMaxFragments ? fragments.size() : kMaxFragments;
    for (std::size_t i = 0; i < count; ++i) {
        const CVRichTextFragment& f = fragments[i];
        CVTextRun run;
        run.font = base;
        if (!f.faceName.empty())
            SetFaceName(run.font.lfFaceName, f.faceName);
        if (f.boldSet)
            run.font.lfWeight = f.bold ? 700 : 400;
        if (f.italicSet)
            run.font.lfItalic = f.italic ? 1 : 0;
        if (f.underlineSet)
            run.font.lfUnderline = f.underline ? 1 : 0;
        if (int height = f.size.empty() ? 0 : PointsToHeight(f.size))
            run.font.lfHeight = height;
        run.colorSet = f.colorSet;
        run.color = f.color;
        // A fragment's text may itself hold line breaks.
        std::vector<std::wstring> parts;
        SplitLines(f.text, parts);
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (p > 0) {
                if (lines.size() >= kMaxLines)
                    return lines;
                lines.emplace_back();
                lines.back().entry = int(lines.size() - 1);
                lineLength = 0;
            }
            CVTextRun piece = run;
            piece.text = ToCodePoints(parts[p]);
            // A line holds at most kMaxLineLength code points, however many runs.
            if (piece.text.size() > kMaxLineLength - lineLength)
                piece.text.resize(kMaxLineLength - lineLength);
            lineLength += piece.text.size();
            if (!piece.text.empty() || lines.back().runs.empty())
                lines.back().runs.push_back(std::move(piece));
        }
        if (f.endOfLine && i + 1 < count) {
            if (lines.size() >= kMaxLines)
                return lines;
            lines.emplace_back();
            lines.back().entry = int(lines.size() - 1);
            lineLength = 0;
        }
    }
    return lines;
}

} // namespace lumo::text
