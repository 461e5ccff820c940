// The wire box of the selection feedback: a box drawn in line mode in the
// selection colour, placed by a model-view matrix stored with it, and sized
// so that its lines clear the selected object at the controller's zoom.
// Drawn after the scene (it is created force-sorted); not a document element.
#pragma once

#include "scene/nodes/Box.h"

class CVLineBox : public CVBox {
    LUMO_DECLARE_NODE(CVLineBox)

public:
    CVLineBox();

    CVSFVec3f center;

    // The model-view matrix the box is drawn under (16 values, OpenGL
    // order). Until one is stored the box is drawn under the current one.
    void SetModelViewMatrix(const double matrix[16]);
    void GetModelViewMatrix(double matrix[16]) const;
    bool HasModelViewMatrix() const { return mHasMatrix; }

    // Line width 3 without a controller; with one, 3 x k capped at 6
    // (k = scale up to 1, else (scale - 1) / 2 + 1), and the box enlarged by
    // (drag translation scale / scale) x (width / 2) + 1. A scale below the
    // controller's least, 0.01 (zero, negative, not a number), counts as 0.01.
    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // Centred on center, of extent |size|.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

    // The line width and the uniform enlargement for a controller's scale
    // and drag translation scale.
    static void LineWidthAndGrowth(float scale, float dragScale, float& width, float& growth);

private:
    double mMatrix[16];
    bool mHasMatrix = false;
};
