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
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
    if (m_pState->m_bPickMode)
        CVAction::PushState();
}

void CVGLAction::PopState()
{
    glPopAttrib();
    if (m_pState->m_bPickMode)
        CVAction::PopState();
}

void CVGLAction::PushModelView()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void CVGLAction::PopModelView()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void CVGLAction::PushProjection()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
}

void CVGLAction::PopProjection()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}
