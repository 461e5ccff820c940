#include "scene/nodes/FeedbackBox.h"

#include "scene/nodes/Group.h"
#include "scene/nodes/Shape.h"

LUMO_IMPLEMENT_CLASS(CVFeedbackBox, CVSwitch)

CVFeedbackBox::CVFeedbackBox() : mLineBox(new CVLineBox)
{
    mLineBox->size.SetValue(1.0f, 1.0f, 1.0f);
    mLineBox->center.SetValue(0.0f, 0.0f, 0.0f);
    mLineBox->SetAntialiasedFlag(1);
    auto* shape = new CVShape;
    shape->geometry.SetValue(mLineBox.get());
    auto* group = new CVGroup;
    group->children.Add(shape);
    choice.Add(group);
    whichChoice.SetValue(-1);
}

void CVFeedbackBox::SetOnOff(int on) { whichChoice.SetValue(on == 1 ? 0 : -1); }

void CVFeedbackBox::SetCenter(const Point3fStruct& center) { mLineBox->center.SetValue(center); }

void CVFeedbackBox::SetSize(const Point3fStruct& size) { mLineBox->size.SetValue(size); }

void CVFeedbackBox::SetModelViewMatrix(const double matrix[16]) { mLineBox->SetModelViewMatrix(matrix); }
