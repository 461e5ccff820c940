// A group that switches the depth test for its subtree, or defers its whole
// subtree to the annotation pass of the frame.
#pragma once

#include "scene/nodes/Group.h"

// How hits under the group take part in a pick's election of the closest
// shape: ALWAYS by depth like any other; DEFERRED only when nothing else was
// hit; ON_TOP before any other, whatever its depth (the last such hit wins),
// for what is drawn over the scene without the depth test.
enum CVDepthBufferWhen { DEPTH_BUFFER_ALWAYS = 0, DEPTH_BUFFER_DEFERRED = 1, DEPTH_BUFFER_ON_TOP = 2 };

class CVDepthBuffer : public CVGroup {
    LUMO_DECLARE_CLASS(CVDepthBuffer)

public:
    explicit CVDepthBuffer(CVDepthBufferWhen when = DEPTH_BUFFER_ALWAYS) : mWhen(when) {}

    CVSFBool depthTest;
    CVSFBool defer;

    void Render(CVState* state, CVGLRenderArea* area) override;
    void Traverse(CVAction* action, const CVNodePath* path, int index) override;
    CVDepthBufferWhen GetWhen() const { return mWhen; }
    // Registers nothing: the node is not a document element.
    static void AddToTypeNameSpace() {}

private:
    CVDepthBufferWhen mWhen;
};
