// Draws the lines of a print header or footer: plain lines in one font
// (adjusted by the line's first run), rich lines run by run, each with its
// own format, all with page-number variables replaced.
#pragma once

#include "scene/print/Print.h"

namespace lumo::print {

// The height the lines take; with 'draw' they are also drawn in the band
// from 'left' across 'width': a header's lines downwards from y (first line
// at the top), a footer's upwards from y (last line at the bottom).
// Consecutive lines are 4 pixels apart.
int OutputHeaderOrFooter(CPrinterDC& dc, const CVPrint::HeaderFooter& side, bool header, int left, int width, int y,
                         int page, int pageCount, bool draw);

// The side's font at the device's resolution.
LOGFONTW HeaderFooterFont(CPrinterDC& dc, const CVPrint::HeaderFooter& side);
// The font adjusted by a run: underline, italic and bold where the run sets
// them, its size in points and its face where given.
LOGFONTW FontFromFragment(CPrinterDC& dc, LOGFONTW font, const CVRichTextFragment& fragment);

} // namespace lumo::print
