// Test support: indexed geometry built from short lists, shapes around it,
// and a camera that holds a scene for the length of a test.
#pragma once

#include "scene/nodes/Appearance.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/IndexedFaceSet.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/PointSet.h"
#include "scene/nodes/Shape.h"

#include <GL/gl.h>

#include <initializer_list>
#include <vector>

namespace lumo::test {

inline CVCoordinate* Coords(std::initializer_list<Point3fStruct> points)
{
    auto* c = new CVCoordinate;
    for (const Point3fStruct& p : points)
        c->point.Add(p);
    return c;
}

inline CVColor* Colours(std::initializer_list<RGBAColorStruct> colours)
{
    auto* c = new CVColor;
    for (const RGBAColorStruct& k : colours)
        c->color.Add(k);
    return c;
}

inline void SetInts(CVMFInt32& list, std::initializer_list<int> values)
{
    list.SetSize(0);
    for (int v : values)
        list.Add(v);
}

// A shape of the geometry with a material of the colour (unlit scenes show
// it as it is) and the given emissive colour.
inline CVShape* ShapeOf(CVGeometry* geometry, RGBColorStruct colour = {1, 1, 1}, RGBColorStruct emissive = {0, 0, 0})
{
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* material = new CVMaterial;
    material->diffuseColor.SetValue(colour);
    material->emissiveColor.SetValue(emissive);
    appearance->material.SetValue(material);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(geometry);
    return shape;
}

// A camera holding its children, released at scope end.
struct HeldCamera {
    CVCamera* camera;
    explicit HeldCamera(CVCamera* c) : camera(c) { camera->Ref(); }
    ~HeldCamera() { camera->Unref(); }
    HeldCamera(const HeldCamera&) = delete;
    HeldCamera& operator=(const HeldCamera&) = delete;
    HeldCamera& Add(CVChild* child)
    {
        camera->children.Add(child);
        return *this;
    }
};

// Holds a reference on a node for the length of a test.
struct Kept {
    CVNode* node;
    explicit Kept(CVNode* n) : node(n) { node->Ref(); }
    ~Kept() { node->Unref(); }
    Kept(const Kept&) = delete;
    Kept& operator=(const Kept&) = delete;
};

// One hit record of a selection pass: its names.
using Hit = std::vector<GLuint>;

// Reads the hit records of a selection buffer.
inline std::vector<Hit> Hits(const GLuint* buffer, GLint count)
{
    std::vector<Hit> hits;
    const GLuint* p = buffer;
    for (GLint h = 0; h < count; ++h) {
        GLuint names = p[0];
        hits.emplace_back(p + 3, p + 3 + names);
        p += 3 + names;
    }
    return hits;
}

} // namespace lumo::test
