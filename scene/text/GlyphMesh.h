// A glyph ready to draw as 3D text: its outline triangulated with the GLU
// tessellator for the front and back faces, and its contours for the sides
// and for glyphs drawn as lines. Coordinates in ems, baseline at y = 0.
#pragma once

#include "scene/text/FontFace.h"

#include <vector>

struct CVGlyphMesh {
    std::vector<float> triangles; // x, y of each vertex, three vertices a triangle, counter-clockwise
    std::vector<std::vector<float>> contours; // x, y pairs
    bool clockwise = true; // outer contours run clockwise
    float advance = 0.0f;
    float minX = 0, minY = 0, maxX = 0, maxY = 0; // the ink (all 0 without)

    std::size_t Bytes() const;
};

namespace lumo::text {

// Triangulates an outline (by its fill rule); false when the tessellator fails.
bool Tessellate(const CVGlyphOutline& outline, CVGlyphMesh& mesh);

// Draws the glyph at the pen (z = 0): filled faces with normals, the back
// face and the sides when 'depth' > 0 (extruded towards -z), or with
// 'polygons' false its contours as lines (front and back). Immediate mode,
// so that it can be compiled into a display list or drawn for picking.
void DrawGlyphMesh(const CVGlyphMesh& mesh, float depth, bool polygons);

} // namespace lumo::text
