// A transform that moves by itself while it is rendered: a rotor spins its
// rotation, a pendulum swings the rotation angle between two angles, and any
// other type swings the translation between two points. The pose builds up
// in the transform's own fields, so a saved scene keeps the current pose.
#pragma once

#include "platform/win/WinTypes.h"
#include "scene/nodes/AnimationTimer.h"
#include "scene/nodes/Transform.h"

#include <cstdint>

class CVAnimation : public CVTransform {
    LUMO_DECLARE_NODE(CVAnimation)

public:
    CVAnimation();

    CVSFFloat angle1;
    CVSFFloat angle2;
    CVSFVec3f translation1;
    CVSFVec3f translation2;
    // Turns (rotor) or swings there and back (the others) per second; 0 or
    // negative: the node holds still.
    CVSFFloat speed;
    CVSFBool on;
    // "Rotor" or "Pendulum" (any case); anything else swings the translation.
    CVSFString type;

    // Advances the pose by the frame time since the last step (not in
    // selection mode, and only with a render area), then applies the
    // transform.
    void Render(CVState* state, CVGLRenderArea* area) override;

    // Milliseconds between two system times; 0 when 'now' is the earlier.
    static std::uint64_t GetElapsedTime(const SYSTEMTIME& now, const SYSTEMTIME& before);

    // Moves value by step towards a (direction 1) or b (direction 2) at the
    // rate 2 x |a - b| per unit step; true when it reached (or stood at) its
    // end, where it stops.
    static bool Oscillate(float& value, float a, float b, double step, int direction);

private:
    void Advance(CVGLRenderArea* area);

    CVAnimationTimer mTimer;
    int mDirection = 1; // 1 towards the first value, 2 towards the second
};
