#include "scene/nodes/Camera.h"

#include "scene/core/Action.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

LUMO_IMPLEMENT_CLASS(CVCamera, CVGroup)
LUMO_IMPLEMENT_CLASS(CVPerspectiveCamera, CVCamera)
LUMO_IMPLEMENT_CLASS(CVOrthographicCamera, CVCamera)

namespace {
const float kRadiansPerDegree = 0.017453292f;
}

CVCamera::CVCamera()
{
    useViewportAspect.SetValue(1);
    orientation.SetValue(0.0f, 0.0f, 1.0f, 0.0f);
    position.SetValue(0.0f, 0.0f, 10.0f);
    aspect.SetValue(1.0f);
    nearPlane.SetValue(1.0f);
    farPlane.SetValue(10.0f);
    focusDistance.SetValue(10.0f);
}

float CVCamera::ChooseAspect(float viewportAspect) const
{
    return useViewportAspect.GetValue() ? viewportAspect : aspect.GetValue();
}

void CVCamera::Traverse(CVAction* action, const CVNodePath* path, int index)
{
    PushState(action);
    action->PushProjection();
    action->PushModelView();
    action->PreActOn(this);
    DoTraverse(action, path, index);
    action->PostActOn(this);
    action->PopProjection();
    action->PopModelView();
    PopState(action);
}

void CVCamera::Render(CVState* state, CVGLRenderArea* area)
{
    float viewportAspect = area ? area->GetViewportAspectRatio() : 1.0f;
    SetProjection(viewportAspect);
    if (area) {
        if (state && state->m_bPickMode) {
            // The current projection holds the pick matrix: store the plain one.
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            SetProjection(viewportAspect); // leaves the model-view mode current
            glMatrixMode(GL_PROJECTION);
            glGetDoublev(GL_PROJECTION_MATRIX, area->GetProjectionMatrix());
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
        } else {
            glGetDoublev(GL_PROJECTION_MATRIX, area->GetProjectionMatrix());
        }
    }
    SetView();
}

void CVCamera::SetView()
{
    glMatrixMode(GL_MODELVIEW);
    const CVRotation& o = orientation.GetValue();
    if (o.angle != 0.0f)
        glRotatef(-o.angle / kRadiansPerDegree, o.x, o.y, o.z);
    const Point3fStruct& p = position.GetValue();
    glTranslatef(-p.x, -p.y, -p.z);
}

CVPerspectiveCamera::CVPerspectiveCamera()
{
    viewAngle.SetValue(0.7853980f);
    isPerspective.SetValue(1);
}

void CVPerspectiveCamera::SetProjection(float viewportAspect)
{
    float a = ChooseAspect(viewportAspect);
    float f = CVGLRenderArea::GetWorldInflationFactor();
    glMatrixMode(GL_PROJECTION);
    if (isPerspective.GetValue()) {
        double theta = viewAngle.GetValue();
        if (f != 1.0f)
            theta = 2.0 * std::atan(f * std::tan(theta / 2.0));
        gluPerspective(theta / kRadiansPerDegree, a, nearPlane.GetValue(), farPlane.GetValue());
    } else {
        double h = double(viewAngle.GetValue()) * f, w = h * a;
        glOrtho(-w / 2, w / 2, -h / 2, h / 2, nearPlane.GetValue(), farPlane.GetValue());
    }
    glMatrixMode(GL_MODELVIEW);
}

CVOrthographicCamera::CVOrthographicCamera() { viewHeight.SetValue(2.0f); }

void CVOrthographicCamera::SetProjection(float viewportAspect)
{
    float a = ChooseAspect(viewportAspect);
    double h = double(viewHeight.GetValue()) * CVGLRenderArea::GetWorldInflationFactor(), w = h * a;
    glMatrixMode(GL_PROJECTION);
    glOrtho(-w / 2, w / 2, -h / 2, h / 2, nearPlane.GetValue(), farPlane.GetValue());
    glMatrixMode(GL_MODELVIEW);
}
