// Computes the bounding box of a subgraph or a path in the coordinates of
// its root, and (by default) stores each group's box in its bbox fields.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/Box3f.h"
#include "scene/render/GLAction.h"

#include <vector>

class CVCamera;

class CVGetBoundingBoxAction : public CVGLAction {
public:
    using CVGLAction::CVGLAction;
    ~CVGetBoundingBoxAction() override;

    // 1 on success; 0 for a null root or an area without a context.
    int Apply(CVNode* node) override;
    // Uses a group's stored box instead of walking it when it has one.
    int FastApply(CVNode* node);
    // With a model-view matrix (16 doubles, OpenGL order) loaded first.
    int Apply(CVNode* node, const double* matrix);
    // The box of the path's last node in the coordinates of path[0]'s parent.
    int Apply(const CVNodePath& path);
    // The node walked as the only child of the camera, so that the camera's
    // projection and view are in force; the camera's children are restored.
    int Apply(CVNode* node, CVCamera* camera);

    void PreActOn(CVNode* node) override;
    void PostActOn(CVNode* node) override;

    CVBox3f GetBoundingBox() const { return m_box; }
    void SetNodeBoundingBoxes(int on) { m_bSetNodeBoundingBoxes = on; }
    int GetNodeBoundingBoxes() const { return m_bSetNodeBoundingBoxes; }

protected:
    void Reset() override;

private:
    int ApplyCurrent(CVNode* node);
    void ClearStack();

    std::vector<CVBox3f*> m_stack; // the result box at the bottom is not owned
    CVBox3f m_box;
    int m_bSetNodeBoundingBoxes = 1;
};
