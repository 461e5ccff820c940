// How the viewer moves through the world: avatar size, headlight, speed and
// navigation types, kept for the control.
#pragma once

#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/Bindable.h"

class CVNavigationInfo : public CVBindable {
    LUMO_DECLARE_NODE(CVNavigationInfo)

public:
    CVNavigationInfo();

    CVMFFloat avatarSize;
    CVSFBool headlight;
    CVMFFloat speed;
    CVMFString type;
    CVSFFloat visibilityLimit;

    // Binding has no effect of its own: the control reads the fields.
    virtual void Bind(CVGLRenderArea*) {}
};
