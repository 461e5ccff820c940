#include "scene/nodes/DepthBuffer.h"

#include "scene/core/Action.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_CLASS(CVDepthBuffer, CVGroup)

void CVDepthBuffer::Render(CVState* state, CVGLRenderArea* area)
{
    if (defer.GetValue() && state && state->m_nRenderPass == PASS_MAIN) {
        if (area)
            area->AddToAnnotationNodeList(this, state);
        return;
    }
    if (depthTest.GetValue())
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void CVDepthBuffer::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    if (defer.GetValue() && action->GetState()->m_nRenderPass == PASS_MAIN) {
        action->PreActOn(this); // queues the group; its children wait for the annotation pass
        return;
    }
    CVGroup::Traverse(action, path, index);
}
