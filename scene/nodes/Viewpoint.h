// A viewpoint of the document: where the controller places its camera.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/Bindable.h"

class CVKeyFrame;

class CVViewpoint : public CVBindable {
    LUMO_DECLARE_NODE(CVViewpoint)

public:
    CVViewpoint();

    CVSFFloat fieldOfView;
    CVSFBool jump;
    CVSFRotation orientation;
    CVSFVec3f position;
    CVSFString description;
    CVSFNode<CVNode> keyFrame{this}; // a key frame of the viewpoint animation

    virtual void Bind(CVGLRenderArea*) {}
    // Loads the identity into projection and model-view (model-view left selected).
    virtual void UnBind();
    // Copies the view (not bind, not keyFrame).
    void Clone(const CVViewpoint* other);
};
