// A ray as origin and direction.
#pragma once

#include "scene/model/Vector.h"

class CVRay {
public:
    void SetOrigin(const CVVector& v) { mOrigin = v; }
    // The direction is normalised unless keepLength is non-zero.
    void SetDirection(const CVVector& v, int keepLength = 0)
    {
        mDirection = v;
        if (!keepLength)
            mDirection.Normalize();
    }
    const CVVector& GetOrigin() const { return mOrigin; }
    const CVVector& GetDirection() const { return mDirection; }

private:
    CVVector mDirection{0.0f, 0.0f, -1.0f};
    CVVector mOrigin;
};
