// Colour name and colour code tables behind the colour text parser.
#pragma once

#include <cstddef>

namespace lumo::color {

struct NamedColor {
    const char* name;
    unsigned char r, g, b;
};

struct CodedColor {
    unsigned char key0, key1; // modifier * 16 + first hue, second hue * 16 + third hue
    unsigned char r, g, b;
};

// Both name tables are sorted by name for binary search.
extern const NamedColor kUpperNames[];
extern const std::size_t kUpperNameCount;
extern const NamedColor kLowerNames[];
extern const std::size_t kLowerNameCount;
// Sorted by key.
extern const CodedColor kColorCodes[];
extern const std::size_t kColorCodeCount;

// The abbreviation tables of the colour-naming codes, in matching order
// (index + 1 is the code number).
extern const char* const kModifierCodes[13];
extern const char* const kHueCodes[15];

} // namespace lumo::color
