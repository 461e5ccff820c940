// The contour lines of an elevation grid: for each colour level, the
// polylines where the surface meets the level's height, made of the same
// cell triangles as the colour bands (GridBands.h), so that the lines run
// exactly along the bands' edges. Segments that meet are joined into
// polylines; a closed contour ends on the point it started from.
#pragma once

#include "scene/model/Structs.h"
#include "scene/nodes/GridGeometry.h"
#include "scene/nodes/GridLevels.h"

#include <vector>

namespace lumo::grid {

struct ContourLines {
    std::vector<Point3fStruct> points; // each point once
    std::vector<int> coordIndex;       // polylines, each ended by -1
};

// One entry per level of 'levels', in their order. Time and memory are
// linear in the number of cells and in the length of the lines.
std::vector<ContourLines> MakeContourLines(const GridGeometry& grid, const Levels& levels);

} // namespace lumo::grid
