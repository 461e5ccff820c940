#include "scene/render/GLAction.h"

#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

CVGLAction::CVGLAction(CVGLRenderArea* area) { SetRenderArea(area); }

CVGLAction::CVGLAction(CVGLDevice* device)
{
    SetRenderArea(new CVGLRenderArea(device));
}

CVGLAction::~CVGLAction() { SetRenderArea(nullptr); }

void CVGLAction::SetRenderArea(CVGLRenderArea* area)
{
    if (area)
        area->Ref();
    if (m_pRenderArea)
        m_pRenderArea->Unref();
    m_pRenderArea = area;
}

bool CVGLAction::PrepareContext()
{
    return m_pRenderArea && m_pRenderArea->IsSuccess() && m_pRenderArea->MakeCurrent();
}

void CVGLAction::PushState()
{
    mGLStack.PushAttributes();
    if (m_pState->m_bPickMode)
        CVAction::PushState();
}

void CVGLAction::PopState()
{
    mGLStack.PopAttributes();
    if (m_pState->m_bPickMode)
        CVAction::PopState();
}

void CVGLAction::PushModelView() { mGLStack.PushMatrix(GL_MODELVIEW); }

void CVGLAction::PopModelView() { mGLStack.PopMatrix(GL_MODELVIEW); }

void CVGLAction::PushProjection() { mGLStack.PushMatrix(GL_PROJECTION); }

void CVGLAction::PopProjection() { mGLStack.PopMatrix(GL_PROJECTION); }
