// A child node of which one instance at a time can be bound (viewpoints,
// navigation information).
#pragma once

#include "scene/core/Child.h"
#include "scene/model/SFields.h"

class CVBindable : public CVChild {
    LUMO_DECLARE_CLASS(CVBindable)

public:
    CVSFBool bind;

protected:
    CVBindable() = default;
};
