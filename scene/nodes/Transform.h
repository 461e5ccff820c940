// A group with its own coordinate system: translation, rotation about a
// centre, and scale along an oriented frame.
#pragma once

#include "scene/model/Matrix.h"
#include "scene/nodes/Group.h"

class CVTransform : public CVGroup {
    LUMO_DECLARE_NODE(CVTransform)

public:
    CVTransform();

    CVSFVec3f center;
    CVSFRotation rotation;
    CVSFVec3f scale;
    CVSFRotation scaleOrientation;
    CVSFVec3f translation;

    // The group walk with the action's model-view push around it.
    void Traverse(CVAction* action, const CVNodePath* path, int index) override;
    // Multiplies the transform onto the current OpenGL model-view matrix.
    void Render(CVState* state, CVGLRenderArea* area) override;
    // The matrix Render applies, read back from OpenGL: the 16 values in
    // OpenGL (column) order, translation in elements 12 to 14. Needs a
    // current context.
    CVMatrix GetMatrix();
    // The same matrix in CVMatrix's row layout, for MultVecMatrix and
    // CVBox3f::Transform.
    CVMatrix GetRowMatrix();
};
