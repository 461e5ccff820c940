// The model-view and projection matrices of a node path, and projection of
// points between object and window coordinates with them.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/Structs.h"
#include "scene/render/GLAction.h"

class CVGetTransformAction : public CVGLAction {
public:
    // An int underneath: any other value is allowed and projects nothing.
    enum TransformType : int { OBJECT_TO_WINDOW = 0, WINDOW_TO_OBJECT = 1 };

    using CVGLAction::CVGLAction;

    // Accumulates the transforms of the path's nodes (and the projection of
    // its first camera); 1 on success, 0 without a usable context.
    int Apply(const CVNodePath& path);
    int Apply(CVNode* node) override;

    // Projects with gluProject (type 0) or gluUnProject (type 1); other types
    // give (0, 0, 0). Components beyond the float range become 0. Returns 0
    // (and (0, 0, 0)) without a viewport, when the matrices cannot be
    // inverted or the result is not finite; else 1.
    int TransformCoord(float x, float y, float z, float& ox, float& oy, float& oz) const;
    int TransformCoord(const Point3fStruct& in, Point3fStruct& out) const;
    // The transformed offset from the origin to (x, y, z); 0 as above.
    int TransformSize(float x, float y, float z, float& ox, float& oy, float& oz) const;
    int TransformSize(const Point3fStruct& in, Point3fStruct& out) const;

    void SetTransformType(TransformType type) { m_type = type; }
    TransformType GetTransformType() const { return m_type; }
    const double* GetModelViewMatrix() const { return m_modelView; }
    const double* GetProjectionMatrix() const { return m_projection; }
    const int* GetViewport() const { return m_viewport; }

protected:
    void Reset() override;

private:
    TransformType m_type = OBJECT_TO_WINDOW;
    double m_modelView[16];
    double m_projection[16];
    int m_viewport[4] = {0, 0, 0, 0};
};
