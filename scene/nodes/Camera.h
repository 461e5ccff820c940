// Cameras: grouping nodes whose projection and view are in force while their
// children (the viewed scene) are walked.
#pragma once

#include "scene/nodes/Group.h"

class CVCamera : public CVGroup {
    LUMO_DECLARE_CLASS(CVCamera)

public:
    CVSFBool useViewportAspect;
    CVSFRotation orientation;
    CVSFVec3f position;
    CVSFFloat aspect;
    CVSFFloat nearPlane;
    CVSFFloat farPlane;
    CVSFFloat focusDistance;

    // Pushes projection and model-view around the children; no selectable test.
    void Traverse(CVAction* action, const CVNodePath* path, int index) override;
    // Sets the projection (stored in the area, without any pick matrix) and the view.
    void Render(CVState* state, CVGLRenderArea* area) override;
    // The inverse of the camera's placement, multiplied onto the model-view.
    virtual void SetView();
    // Multiplies the projection onto the current projection matrix.
    virtual void SetProjection(float viewportAspect) = 0;

protected:
    CVCamera();
    float ChooseAspect(float viewportAspect) const;
};

class CVPerspectiveCamera : public CVCamera {
    LUMO_DECLARE_CLASS(CVPerspectiveCamera)

public:
    CVPerspectiveCamera();
    CVSFFloat viewAngle;
    // FALSE projects orthographically with viewAngle as the view height.
    CVSFBool isPerspective;
    void SetProjection(float viewportAspect) override;
};

class CVOrthographicCamera : public CVCamera {
    LUMO_DECLARE_CLASS(CVOrthographicCamera)

public:
    CVOrthographicCamera();
    CVSFFloat viewHeight;
    void SetProjection(float viewportAspect) override;
};
