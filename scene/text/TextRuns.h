// Label text broken into lines of runs, each run one font and colour: from
// plain strings, or from the fragments of rich text (bold, italic,
// underline, face, size and colour per run; a fragment that ends its line
// ends it).
#pragma once

#include "platform/win/GdiTypes.h"
#include "scene/text/RichTextFragment.h"

#include <string>
#include <vector>

struct CVTextRun {
    std::u32string text;
    LOGFONTW font; // the base font with the run's changes
    int colorSet = 0;
    COLORREF color = 0;
};

struct CVTextLine {
    std::vector<CVTextRun> runs;
    int entry = 0; // the entry of the text's string list the line comes from

    bool Empty() const;
};

namespace lumo::text {

// Rich text of more fragments than this is read up to the bound.
constexpr std::size_t kMaxFragments = 4096;
// A run's size in points is kept within this range.
constexpr double kMinPoints = 1.0, kMaxPoints = 1000.0;

// One run a line, in the base font: each entry split at its line breaks.
std::vector<CVTextLine> PlainLines(const std::vector<std::wstring>& strings, const LOGFONTW& base);
// Lines of runs from rich text fragments, over the base font.
std::vector<CVTextLine> RichLines(const std::vector<CVRichTextFragment>& fragments, const LOGFONTW& base);

// The pixel height (negative: character height) of a size in points at
// 96 pixels per inch; 0 for text that is not a number.
int PointsToHeight(const std::wstring& points);

} // namespace lumo::text
