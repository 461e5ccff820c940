#include "scene/interact/PickedShape.h"

#include "scene/nodes/Shape.h"

LUMO_IMPLEMENT_CLASS(CVPickedShape, CVBase)

CVPickedShape::~CVPickedShape()
{
    mDetail.reset();
    for (CVNode* node : mPath)
        node->Unref();
}

CVDetail* CVPickedShape::GetDetail()
{
    if (mDetail && !mDetailComputed) {
        mDetail->ComputeDetails();
        mDetailComputed = true;
    }
    return mDetail.get();
}

void CVPickedShape::AddNode(CVNode* node, unsigned int part)
{
    if (!node)
        return;
    mPath.reserve(mPath.size() + 1);
    node->Ref();
    mPath.push_back(node);
    if (node->IsKindOf<CVShape>()) {
        mDetail.reset(node->GetPickDetail(part));
        mDetailComputed = false;
    }
}
