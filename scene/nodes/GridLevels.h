// The colour levels of an elevation grid, taken from a colour interpolator:
// level heights in ascending order, each with the colour of the band of
// heights just below it (key k colours the heights from key k - 1 up to,
// not including, key k; the first colours everything below it).
//
// Bounds: at most kMaxLevels levels (the first keys). A key that is no
// number, or not above the level before it, is no level: it and its colour
// are left out. Keys and colours pair up to the shorter of the two lists.
#pragma once

#include "scene/model/Structs.h"

#include <cstddef>
#include <vector>

namespace lumo::grid {

class Levels {
public:
    static constexpr int kMaxLevels = 1024;

    Levels() = default;
    Levels(const float* keys, int numKeys, const RGBAColorStruct* colours, int numColours);

    int Count() const { return int(mHeights.size()); }
    float Height(int level) const { return mHeights[std::size_t(level)]; }
    const RGBAColorStruct& Colour(int level) const { return mColours[std::size_t(level)]; }
    // The interpolator key a level came from.
    int KeyOf(int level) const { return mKeys[std::size_t(level)]; }
    // The band a height lies in: the number of levels at or below it
    // (0 .. Count()). Band b < Count() has the colour of level b; band
    // Count() lies at or above every level.
    int Band(float h) const;
    // The colour of the first level strictly above h, or of the last level
    // when h is at or above every level; false (out unchanged) without
    // levels.
    bool ColourOf(float h, RGBAColorStruct& out) const;

private:
    std::vector<float> mHeights;
    std::vector<RGBAColorStruct> mColours;
    std::vector<int> mKeys;
};

} // namespace lumo::grid
