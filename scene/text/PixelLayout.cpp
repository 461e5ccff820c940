#include "scene/text/PixelLayout.h"

#include "scene/text/TextString.h"

#include <algorithm>
#include <cmath>

namespace lumo::text {

CVPixelMetrics PixelMetrics(const CVFontFace& face, LONG height)
{
    const CVFontMetrics& m = face.GetMetrics();
    CVPixelMetrics p;
    float cell = m.ascent + m.descent;
    // A negative height is the em; a positive one the cell.
    p.em = height < 0 ? float(-height) : cell > 0.0f ? float(height) / cell : float(height);
    p.em = std::min(p.em, CVFontFace::kMaxPixelSize);
    p.ascent = int(std::lround(m.ascent * p.em));
    p.descent = int(std::lround(m.descent * p.em));
    p.height = p.ascent + p.descent;
    p.internalLeading = std::max(0, p.height - int(std::lround(p.em)));
    p.averageWidth = int(std::lround(m.averageWidth * p.em));
    return p;
}

namespace {

// Pixel heights beyond this are cut to it (the cell of the largest em).
constexpr float kMaxPixelHeight = 2.0f * CVFontFace::kMaxPixelSize;

// One code point of a line with its run and advance (pixels).
struct Item {
    char32_t code;
    int run;
    float advance;
};

using Line = std::vector<Item>;

float Width(const Line& line)
{
    float w = 0.0f;
    for (const Item& i : line)
        w += i.advance;
    return w;
}

// Breaks a line at spaces into lines no wider than 'limit' (a word wider
// than the limit stays whole).
void Wrap(const Line& line, float limit, std::vector<Line>& out)
{
    Line current;
    float width = 0.0f;
    std::size_t lastSpace = std::string::npos;
    for (const Item& item : line) {
        if (item.code == U' ' && current.empty())
            continue; // no line starts with a space
        current.push_back(item);
        width += item.advance;
        if (item.code == U' ') {
            lastSpace = current.size() - 1;
            continue;
        }
        if (width > limit && lastSpace != std::string::npos) {
            Line rest(current.begin() + std::ptrdiff_t(lastSpace) + 1, current.end());
            current.resize(lastSpace);
            while (!current.empty() && current.back().code == U' ')
                current.pop_back();
            out.push_back(current);
            current = rest;
            width = Width(current);
            lastSpace = std::string::npos;
        }
    }
    while (!current.empty() && current.back().code == U' ')
        current.pop_back();
    out.push_back(current);
}

} // namespace

bool LayoutPixels(const std::vector<CVTextLine>& lines, const CVPixelLayoutOptions& options, CVPixelLayout& out)
{
    out = CVPixelLayout();
    if (lines.empty() || !(options.heightScale > 0.0f))
        return false;
    // Runs, and each line as a list of code points with their advances.
    std::vector<Line> source;
    std::vector<int> lineRun; // a run that gives an empty line its height
    std::vector<float> advances;
    for (const CVTextLine& textLine : lines) {
        Line line;
        int first = -1;
        for (const CVTextRun& r : textLine.runs) {
            CVPixelRun run;
            run.font = r.font;
            float h = std::min(float(std::abs(r.font.lfHeight)) * options.heightScale, kMaxPixelHeight);
            LONG pixels = LONG(std::lround(h));
            if (pixels == 0)
                continue;
            run.font.lfHeight = r.font.lfHeight > 0 ? pixels : -pixels;
            run.face = CVFontFace::Find(GetFaceName(r.font.lfFaceName), r.font.lfWeight, r.font.lfItalic != 0);
            if (!run.face)
                continue;
            run.metrics = PixelMetrics(*run.face, run.font.lfHeight);
            run.colorSet = r.colorSet;
            run.color = r.color;
            int index = int(out.runs.size());
            out.runs.push_back(run);
            if (first < 0)
                first = index;
            std::u32string text = options.leftToRight ? r.text : std::u32string(r.text.rbegin(), r.text.rend());
            run.face->GetAdvances(text, advances);
            Line part;
            for (std::size_t k = 0; k < text.size(); ++k)
                part.push_back(Item{text[k], index, advances[k] * run.metrics.em});
            // Right to left, the runs come in reverse order too.
            line.insert(options.leftToRight ? line.end() : line.begin(), part.begin(), part.end());
        }
        if (first < 0)
            continue;
        source.push_back(std::move(line));
        lineRun.push_back(first);
    }
    if (source.empty())
        return false;
    if (!options.topToBottom) {
        std::reverse(source.begin(), source.end());
        std::reverse(lineRun.begin(), lineRun.end());
    }
    const bool boxed = options.boxWidth > 0.0f && options.boxHeight > 0.0f;
    const float room = options.boxWidth - 2.0f * options.margin;
    std::vector<Line> laid;
    std::vector<int> laidRun;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (boxed && Width(source[i]) > room)
            out.overflows = true;
        if (boxed)
            Wrap(source[i], room, laid);
        else
            laid.push_back(source[i]);
        laidRun.resize(laid.size(), lineRun[i]);
    }
    // Each line's ascent and descent: its tallest run's.
    const std::size_t n = laid.size();
    std::vector<int> ascent(n), descent(n), leading(n);
    for (std::size_t i = 0; i < n; ++i) {
        const CVPixelMetrics& base = out.runs[std::size_t(laidRun[i])].metrics;
        ascent[i] = base.ascent;
        descent[i] = base.descent;
        leading[i] = base.internalLeading;
        for (const Item& item : laid[i]) {
            const CVPixelMetrics& m = out.runs[std::size_t(item.run)].metrics;
            ascent[i] = std::max(ascent[i], m.ascent);
            descent[i] = std::max(descent[i], m.descent);
            leading[i] = std::max(leading[i], m.internalLeading);
        }
    }
    // Baselines from the last line (at 0) upwards.
    const float spacing = options.spacing;
    std::vector<float> baseline(n, 0.0f);
    for (std::size_t k = n - 1; k-- > 0;)
        baseline[k] = baseline[k + 1] + std::round(float(descent[k] + ascent[k + 1]) * spacing);
    // As many lines as the box holds, from the top.
    if (boxed) {
        float top = baseline[0] + float(ascent[0]);
        float limit = options.boxHeight - 2.0f * options.margin;
        std::size_t fit = 0;
        while (fit < n && top - (baseline[fit] - float(descent[fit])) <= limit)
            ++fit;
        if (fit == 0)
            return false; // not even one line fits
        if (fit < n) {
            // Keep the first 'fit' lines; the last kept becomes the origin's line.
            float shift = baseline[fit - 1];
            for (std::size_t k = 0; k < fit; ++k)
                baseline[k] -= shift;
            laid.resize(fit);
            laidRun.resize(fit);
        }
    }
    const std::size_t kept = laid.size();
    out.lines = int(kept);
    float contentWidth = 0.0f;
    std::vector<float> widths(kept);
    for (std::size_t i = 0; i < kept; ++i) {
        widths[i] = std::ceil(Width(laid[i]));
        contentWidth = std::max(contentWidth, widths[i]);
    }
    if (boxed)
        contentWidth = std::min(contentWidth, std::max(room, 0.0f));
    // The size: a single line's ascent leaves out the internal leading.
    out.ascent = kept == 1 ? float(ascent[0] - leading[0]) : baseline[0] + float(ascent[0]);
    out.descent = float(descent[kept - 1]);
    out.width = contentWidth;
    if (options.addLeading) {
        out.ascent += float(leading[0]);
        out.width += float(leading[0]);
    }
    const float m = options.margin;
    for (std::size_t i = 0; i < kept; ++i) {
        float x = m;
        if (options.align == 1)
            x += std::floor((contentWidth - widths[i]) / 2.0f);
        else if (options.align == 2)
            x += contentWidth - widths[i];
        float y = baseline[i];
        int currentRun = -1;
        float runStart = x;
        auto closeRun = [&](float end) {
            if (currentRun < 0)
                return;
            const CVPixelRun& r = out.runs[std::size_t(currentRun)];
            const CVFontMetrics& fm = r.face->GetMetrics();
            float thickness = std::max(1.0f, std::round(fm.underlineThickness * r.metrics.em));
            if (r.font.lfUnderline) {
                float top = y - std::max(1.0f, std::round(fm.underlinePosition * r.metrics.em)) + 1.0f;
                out.rects.push_back(CVPixelRect{runStart, top - thickness, end, top, currentRun});
            }
            if (r.font.lfStrikeOut) {
                float top = y + std::round(float(r.metrics.ascent) * 0.3f) + thickness;
                out.rects.push_back(CVPixelRect{runStart, top - thickness, end, top, currentRun});
            }
        };
        float pen = x;
        for (const Item& item : laid[i]) {
            if (item.run != currentRun) {
                closeRun(std::round(pen));
                currentRun = item.run;
                runStart = std::round(pen);
            }
            out.glyphs.push_back(CVPixelGlyph{item.code, item.run, std::round(pen), y});
            pen += item.advance;
        }
        closeRun(std::round(pen));
    }
    out.width += 2.0f * m;
    out.ascent += m;
    out.descent += m;
    return true;
}

} // namespace lumo::text
