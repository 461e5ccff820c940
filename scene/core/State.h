// Traversal state of an action: the open-group path, the pick-mode flag and
// the render pass being drawn.
#pragma once

#include "scene/model/Base.h"

#include <vector>

class CVNode;

enum LumoRenderPass {
    PASS_NONE = 0,
    PASS_MAIN = 1,
    PASS_TRANSPARENT = 2,
    PASS_ANNOTATION = 3,
    PASS_SHADOW = 4,
};

class CVState : public CVBase {
    LUMO_DECLARE_CLASS(CVState)

public:
    // Entry i is the open group at nesting depth i; entries past m_nDepth are stale.
    std::vector<CVNode*> m_path;
    int m_nDepth = -1;
    int m_bPickMode = 0;
    int m_nRenderPass = PASS_NONE;

    // Records a group at the current depth, growing the path as needed.
    void SetPathEntry(CVNode* group);
};
