#include "scene/nodes/Viewpoint.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_NODE(CVViewpoint, CVBindable)

CVViewpoint::CVViewpoint()
{
    fieldOfView.SetValue(0.7853980f);
    jump.SetValue(1);
    orientation.SetValue(0.0f, 0.0f, 1.0f, 0.0f);
    position.SetValue(0.0f, 0.0f, 10.0f);
}

void CVViewpoint::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVViewpoint>(L"Viewpoint")
        .Field(L"bind", &CVViewpoint::bind)
        .Field(L"fieldOfView", &CVViewpoint::fieldOfView)
        .Field(L"jump", &CVViewpoint::jump)
        .Field(L"orientation", &CVViewpoint::orientation)
        .Field(L"position", &CVViewpoint::position)
        .Field(L"description", &CVViewpoint::description)
        .Field(L"keyFrame", &CVViewpoint::keyFrame);
}

void CVViewpoint::UnBind()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CVViewpoint::Clone(const CVViewpoint* other)
{
    if (!other)
        return;
    fieldOfView.Clone(other->fieldOfView);
    jump.Clone(other->jump);
    orientation.Clone(other->orientation);
    position.Clone(other->position);
    description.Clone(other->description);
}
