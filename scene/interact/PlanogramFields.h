// Reads and writes the fields of shelf-plan geometries by name (size, id,
// faceRotation, start, end, type), so the controller handles those nodes
// without linking against their classes: a node joins when it is of a class
// named CVSPGeometry, CVSPProduct or CVSPAnnotation (or derived from one)
// and carries fields of those names and types.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/SFields.h"

namespace lumo::planogram {

// The field of that name when it has that type code, else null.
CVSFVec3f* Vec3(CVNode* node, const wchar_t* name);
CVSFString* String(CVNode* node, const wchar_t* name);
std::wstring Id(CVNode* node);
bool IsProduct(const CVNode* node);
bool IsAnnotation(const CVNode* node);
// An annotation whose type is "Arrow" (any case).
bool IsArrow(CVNode* node);

} // namespace lumo::planogram
