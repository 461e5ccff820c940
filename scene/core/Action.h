// Base of every scene walk: nodes call PreActOn before and PostActOn after
// their children; an action that clears its traversal flag stops the walk.
#pragma once

#include "scene/core/State.h"
#include "scene/model/Base.h"

class CVNode;

class CVAction : public CVBase {
public:
    CVAction();
    ~CVAction() override;
    CVAction(const CVAction&) = delete;
    CVAction& operator=(const CVAction&) = delete;

    // Runs the action on root; 1 on success, 0 for a null root.
    virtual int Apply(CVNode* root) = 0;
    virtual void PreActOn(CVNode*) {}
    virtual void PostActOn(CVNode*) {}
    virtual void PushState() { ++m_pState->m_nDepth; }
    virtual void PopState() { --m_pState->m_nDepth; }
    virtual void PushLights() {}
    virtual void PopLights() {}
    virtual void PushModelView() {}
    virtual void PopModelView() {}
    virtual void PushProjection() {}
    virtual void PopProjection() {}

    int DoTraversal() const { return m_bDoTraversal; }
    // Whether switches show this action every choice (the document writer
    // needs all of them) instead of the chosen one.
    virtual bool TraversesAllChoices() const { return false; }
    // Whether the walk leaves out the children of a node it has just
    // reached (the document writer writes a shared node's children once).
    virtual bool SkipsChildrenOf(const CVNode*) const { return false; }
    CVState* GetState() const { return m_pState; }

protected:
    virtual void Reset() { m_bDoTraversal = 1; }

    CVState* m_pState;
    int m_bDoTraversal = 1;
};
