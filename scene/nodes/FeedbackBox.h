// The wire box drawn around a selection: a switch, off at first, whose one
// choice is a group holding a shape whose geometry is an antialiased line
// box of size 1 1 1 at the origin. The caller places the box in the frame
// of a model-view matrix and switches it on or off. Not a document element.
#pragma once

#include "scene/model/RefPtr.h"
#include "scene/nodes/LineBox.h"
#include "scene/nodes/Switch.h"

class CVFeedbackBox : public CVSwitch {
    LUMO_DECLARE_CLASS(CVFeedbackBox)

public:
    CVFeedbackBox();

    // 1 shows the box; anything else hides it.
    void SetOnOff(int on);
    void SetCenter(const Point3fStruct& center);
    void SetSize(const Point3fStruct& size);
    // The model-view matrix the box is drawn under (16 values, OpenGL order).
    void SetModelViewMatrix(const double matrix[16]);
    void SetUserData(void* data) { mUserData = data; }
    void* GetUserData() const { return mUserData; }
    // The box geometry; it lives as long as this node, whatever is done to
    // the choices.
    CVLineBox* GetLineBox() const { return mLineBox.get(); }

    // Registers nothing: the node is not a document element.
    static void AddToTypeNameSpace() {}

private:
    CVRefPtr<CVLineBox> mLineBox;
    void* mUserData = nullptr;
};
