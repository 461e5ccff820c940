// One key-framed motion: key times with the rotation, translation and scale
// at each, played by a key-frame animation (or a viewpoint's animation).
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"

class CVKeyFrame : public CVChild {
    LUMO_DECLARE_NODE(CVKeyFrame)

public:
    CVKeyFrame();

    // Key times, expected to increase; value i belongs to key i.
    CVMFFloat key;
    CVMFRotation rotationKeyValue;
    CVMFVec3f translationKeyValue;
    CVMFVec3f scaleKeyValue;
    // Stored and written; a key frame plays once.
    CVSFBool loop;
    // The key time advances by speed / (last key - first key) each second:
    // keys from 0 to 1 play in 1 / speed seconds.
    CVSFFloat speed;
};
