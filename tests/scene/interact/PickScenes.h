// Test support for picking: a scene under an orthographic camera on a
// 100 x 100 area (4 x 4 units, so 25 pixels a unit, the origin in the
// middle), shapes placed by transforms, and picks aimed at world points.
#pragma once

#include "scene/interact/PickAction.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Transform.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

namespace lumo::test {

// The window position (pixels, from the top left) of a world point in the
// middle plane of the scene.
inline double WindowX(double x) { return 50.0 + 25.0 * x; }
inline double WindowY(double y) { return 50.0 - 25.0 * y; }

// The shape inside a transform at the position.
inline CVTransform* Placed(CVShape* shape, float x, float y, float z = 0.0f)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, z);
    t->children.Add(shape);
    return t;
}

inline CVShape* BoxShape(float sx, float sy, float sz, RGBColorStruct colour = {1, 1, 1})
{
    auto* box = new CVBox;
    box->size.SetValue(sx, sy, sz);
    return ShapeOf(box, colour);
}

// Renders the scene once (the frame sets the area's viewport), then picks
// at a world point through an aperture of 'size' pixels.
struct Picker {
    SceneRender render;
    CVPickAction action;
    Picker() : action(render.Area()) {}
    int At(CVNode* root, double x, double y, double size = 1.0)
    {
        render.Render(root);
        action.SetAperture(WindowX(x), WindowY(y), size, size);
        return action.Apply(root);
    }
    CVNode* Closest() const
    {
        CVPickedShape* p = action.GetClosestPickedShape();
        return p ? p->GetShape() : nullptr;
    }
};

} // namespace lumo::test
