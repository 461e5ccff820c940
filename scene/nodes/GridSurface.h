// Draws an elevation grid with OpenGL: the surface with its normals,
// colours (per grid point, per cell, by colour level, or in filled colour
// bands) and texture coordinates, and the side walls; or, for picking and
// image maps, each cell on its own under its selection name or in its
// image-map colour. The grid node decides what to draw and whether into a
// display list; this does the drawing.
//
// Cells with two or more missing corners are left out; a cell with one is
// drawn as the triangle of the other three. Rows of plain cells go out as
// triangle strips; the vertex buffers are drawn and emptied every
// kFlushPoints points, so memory stays bounded whatever the grid's size.
#pragma once

#include "scene/cache/CacheManager.h"
#include "scene/nodes/GridGeometry.h"
#include "scene/nodes/GridLevels.h"

namespace lumo::grid {

enum class Colouring {
    None,       // the material's colour
    PerVertex,  // the colour node's colours by grid point
    PerFace,    // by cell
    ByLevel,    // each grid point the colour of its level (smoothly blended)
    Bands,      // filled bands of the level colours, cut at the levels
};

struct SurfaceStyle {
    static constexpr int kFlushPoints = 1 << 10;
    // At most this many halvings of a cell (splitting cells by colour).
    static constexpr int kMaxSplitDepth = 6;

    bool normals = true;
    bool perFaceNormals = false;
    // Given normals, by cell when perFaceNormals, else by grid point; an
    // entry past the list is replaced by the computed normal.
    const Point3fStruct* givenNormals = nullptr;
    int numGivenNormals = 0;
    Colouring colouring = Colouring::None;
    // For PerVertex and PerFace; an entry past the list takes the last one.
    const RGBAColorStruct* colours = nullptr;
    int numColours = 0;
    // The alpha of every colour sent.
    float alpha = 1.0f;
    // For ByLevel and Bands.
    const Levels* levels = nullptr;
    // ByLevel: a cell whose corner colours differ across a diagonal is cut
    // into four, down to splitDepth (capped at kMaxSplitDepth) halvings,
    // while its heights differ by more than splitTolerance across one.
    bool splitCells = false;
    int splitDepth = 0;
    float splitTolerance = 0.0f;
    bool texCoords = false;
    bool walls = false;
    float wallBase = 0.0f;
    const RGBAColorStruct* wallColour = nullptr; // null: the material's
};

void DrawSurface(const GridGeometry& grid, const SurfaceStyle& style);

struct PickStyle {
    // The selection name of cell (i, j): i * zDim + j when transposed, else
    // j * xDim + i.
    bool transposed = false;
    // Image map: each cell in the colour of its name plus the offset
    // instead of under its name.
    bool imageMap = false;
    int colourBits = 32;
    int indexOffset = 0;
    CVImageMapClass imageMapClass;
    bool walls = false;
    float wallBase = 0.0f;
};

// Each cell as one quad (the triangle of three corners when one is
// missing), and the walls under the names of the border cells they stand
// below. No normals, colours or texture coordinates besides the image-map
// colours.
void DrawCellsForPicking(const GridGeometry& grid, const PickStyle& style);

// The selection name of cell (i, j).
inline unsigned CellName(const GridGeometry& grid, int i, int j, bool transposed)
{
    return transposed ? unsigned(i) * unsigned(grid.ZDim()) + unsigned(j)
                      : unsigned(j) * unsigned(grid.XDim()) + unsigned(i);
}

} // namespace lumo::grid
