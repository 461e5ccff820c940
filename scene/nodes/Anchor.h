// A group that carries a link (URLs with a description and parameters).
#pragma once

#include "scene/model/MFields.h"
#include "scene/nodes/Group.h"

class CVAnchor : public CVGroup {
    LUMO_DECLARE_NODE(CVAnchor)

public:
    CVSFString description;
    CVMFString parameter;
    CVMFString url;

    // Following the link is left to the host; the node only holds it.
    virtual void GotoURL() {}
};
