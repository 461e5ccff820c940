// Normals for the corners of a face set's faces, smoothed where faces meet
// at no more than a crease angle: each corner gets the mean of the normals
// of the faces around its point that lie within the angle of its own face.
#pragma once

#include "scene/nodes/FacePainter.h"

#include <vector>

namespace lumo::faces {

// One normal per coordIndex position (those of -1 and of skipped entries
// are left at (0, 0, 1)). Faces with fewer than three usable points take
// no part. Time and memory are linear in the lengths of the lists.
std::vector<Point3fStruct> CreaseNormals(const FaceSetData& data, float creaseAngle);

} // namespace lumo::faces
