// Finding font files with fontconfig: the file for a family, weight and
// slant, and a file that has a glyph the chosen one lacks.
#pragma once

#include <string>

namespace lumo::text {

// An installed font file and what must be synthesised to use it.
struct FontLocation {
    std::string file;
    int index = 0;
    std::string family;
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

// The installed outline font of the family (or of one of its
// metric-compatible aliases: the default faces' names map to the free
// fonts of the same metrics), nearest in weight (400 normal, 700 bold) and
// slant; false when no installed font carries the family. With 'anyFamily'
// whatever fontconfig offers in its place is taken.
bool MatchFamily(const std::wstring& family, int weight, bool italic, bool anyFamily, FontLocation& out);

// An installed outline font with a glyph for the code point, of like
// weight and slant, the family's own first; false when none has one.
bool MatchCodePoint(const std::wstring& family, int weight, bool italic, char32_t c, FontLocation& out);

} // namespace lumo::text
