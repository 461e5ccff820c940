// Lays text out in pixels for screen-aligned raster text: glyph pen
// positions line by line, underlines, and the size of the whole (width,
// ascent and descent about the origin, which is the left end of the last
// line's baseline), optionally wrapped at spaces into a box.
#pragma once

#include "platform/win/GdiTypes.h"
#include "scene/text/FontFace.h"
#include "scene/text/TextRuns.h"

#include <memory>
#include <vector>

// A face's measures at a pixel height, whole pixels as screen fonts have them.
struct CVPixelMetrics {
    float em = 0.0f; // pixels per em
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent
    int internalLeading = 0;
    int averageWidth = 0;
};

struct CVPixelRun {
    LOGFONTW font; // the run's font at its pixel height
    std::shared_ptr<const CVFontFace> face;
    CVPixelMetrics metrics;
    int colorSet = 0;
    COLORREF color = 0;
};

// A glyph at its pen position: x from the box's left edge, y the baseline
// above the origin (y up).
struct CVPixelGlyph {
    char32_t code;
    int run;
    float x, y;
};

struct CVPixelRect {
    float x0, y0, x1, y1;
    int run;
};

struct CVPixelLayoutOptions {
    // A run's pixel height is its logical height times this.
    float heightScale = 1.0f;
    float spacing = 1.0f;
    int align = 0; // lines: 0 left, 1 centred, 2 right
    bool leftToRight = true;
    bool topToBottom = true;
    // Raster text drawn the OpenGL way counts the internal leading in its
    // ascent and width.
    bool addLeading = false;
    // Background margin on every side, pixels.
    float margin = 0.0f;
    // A box (pixels) to wrap into: lines broken at spaces to fit the width,
    // as many lines as fit the height; 0: no box.
    float boxWidth = 0.0f;
    float boxHeight = 0.0f;
};

struct CVPixelLayout {
    std::vector<CVPixelRun> runs;
    std::vector<CVPixelGlyph> glyphs;
    std::vector<CVPixelRect> rects; // underlines and strike-outs
    float width = 0.0f;
    float ascent = 0.0f;
    float descent = 0.0f;
    int lines = 0;
    // The layout does not fit the unwrapped width into the box.
    bool overflows = false;
};

namespace lumo::text {

CVPixelMetrics PixelMetrics(const CVFontFace& face, LONG height);

// Lays the lines out; false (and an empty layout) when there is nothing to
// draw: no lines, no font, or a box too small for one line.
bool LayoutPixels(const std::vector<CVTextLine>& lines, const CVPixelLayoutOptions& options, CVPixelLayout& out);

} // namespace lumo::text
