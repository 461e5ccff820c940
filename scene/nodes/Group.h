// An ordered list of child nodes; the base of every grouping node.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/model/SFields.h"

class CVGroup : public CVChild {
    LUMO_DECLARE_NODE(CVGroup)

public:
    CVGroup();

    CVMFNode<CVChild> children{this};
    CVSFVec3f bboxCenter;
    CVSFVec3f bboxSize;
    CVSFBool selectable;

    // Editing the children: each returns false, changing nothing, for a
    // null child, an index outside the list (insertion may also append),
    // or a child that would make this group its own descendant.
    bool AddChild(CVChild* child);
    bool InsertChild(CVChild* child, int index);
    bool ReplaceChild(int index, CVChild* child);
    bool RemoveChild(int index);

    // The group walk: skipped in pick mode when not selectable; otherwise the
    // state push, PreActOn, the children, PostActOn and the state pop.
    void Traverse(CVAction* action, const CVNodePath* path, int index) override;

protected:
    // Calls the action's push and, in pick mode, records the group in the path.
    virtual void PushState(CVAction* action);
    virtual void PopState(CVAction* action);
    // Visits every child (re-reading the count after each), or only the next
    // node of a path walk.
    virtual void DoTraverse(CVAction* action, const CVNodePath* path, int index);
    // The pick-mode test of the group walk.
    bool SkippedInPickMode(CVAction* action) const;
    // The group walk inside a model-view push and pop (transforms, billboards).
    void WalkWithModelView(CVAction* action, const CVNodePath* path, int index);
};
