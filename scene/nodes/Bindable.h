// A child node of which one instance at a time can be bound (viewpoints,
// navigation information).
#pragma once

#include "scene/model/Child.h"

class CVBindable : public CVChild {
    LUMO_DECLARE_CLASS(CVBindable)

public:
    bool IsBound() const { return mBound; }
    void SetBound(bool bound) { mBound = bound; }

protected:
    CVBindable() = default;

private:
    bool mBound = false;
};
