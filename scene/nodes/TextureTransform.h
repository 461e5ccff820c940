// Moves, turns and scales a shape's texture coordinates: the texture matrix
// the shape applies around its geometry.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/SFields.h"

class CVTextureTransform : public CVNode {
    LUMO_DECLARE_NODE(CVTextureTransform)

public:
    CVTextureTransform();

    CVSFVec2f center;
    CVSFFloat rotation; // radians
    CVSFVec2f scale;
    CVSFVec2f translation;

    // Save and restore the texture matrix around a shape.
    static void PushMatrix();
    static void PopMatrix();
    // Multiplies onto the texture matrix: translate by translation, then by
    // center, rotate about z, scale, translate by -center; the matrix mode
    // is model-view again afterwards.
    void Apply();
    // Nothing: the shape applies the transform (between PushMatrix and
    // PopMatrix) around its geometry, so that it never leaks into the
    // shapes drawn after it.
    void Render(CVState* state, CVGLRenderArea* area) override;
};
