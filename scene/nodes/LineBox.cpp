#include "scene/nodes/LineBox.h"

#include "scene/model/Box3f.h"
#include "scene/render/ControllerValues.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVLineBox, CVBox)

namespace {
// The least scale the controller sets; anything below cannot be divided by.
const float kLeastScale = 0.01f;
} // namespace

CVLineBox::CVLineBox()
{
    SetForceSortFlag(1);
    for (int i = 0; i < 16; ++i)
        mMatrix[i] = i % 5 == 0 ? 1.0 : 0.0;
}

void CVLineBox::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVLineBox>(L"LineBox").Field(L"size", &CVLineBox::size).Field(L"center", &CVLineBox::center);
}

void CVLineBox::SetModelViewMatrix(const double matrix[16])
{
    std::copy(matrix, matrix + 16, mMatrix);
    mHasMatrix = true;
}

void CVLineBox::GetModelViewMatrix(double matrix[16]) const { std::copy(mMatrix, mMatrix + 16, matrix); }

void CVLineBox::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    const Point3fStruct& s = size.GetValue();
    auto magnitude = [](float v) { return std::isfinite(v) ? std::fabs(v) : 0.0f; };
    box->SetCenter(CVVector(center.GetValue()));
    box->SetSize(CVVector(magnitude(s.x), magnitude(s.y), magnitude(s.z)));
}

void CVLineBox::LineWidthAndGrowth(float scale, float dragScale, float& width, float& growth)
{
    if (!(scale >= kLeastScale))
        scale = kLeastScale;
    float k = scale <= 1.0f ? scale : (scale - 1.0f) / 2.0f + 1.0f;
    width = std::min(3.0f * k, 6.0f);
    growth = dragScale / scale * (width / 2.0f) + 1.0f;
    if (!std::isfinite(growth))
        growth = 1.0f;
}

void CVLineBox::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    if (mHasMatrix)
        glLoadMatrixd(mMatrix);
    const Point3fStruct& c = center.GetValue();
    glTranslatef(c.x, c.y, c.z);
    float width = 3.0f;
    if (CVControllerValues* controller = area ? area->GetControllerValues() : nullptr) {
        float growth = 1.0f;
        LineWidthAndGrowth(controller->GetScale(), controller->GetDragTranslationScale(), width, growth);
        glScalef(growth, growth, growth);
    }
    if (area) {
        const RGBColorStruct& s = area->GetSelectionColor();
        glColor3f(s.red, s.green, s.blue);
    }
    glLineWidth(width);
    glPointSize(width);
    CVBox::Render(state, area, appearance);
    glPopMatrix();
    glPopAttrib();
}
