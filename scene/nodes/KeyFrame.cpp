#include "scene/nodes/KeyFrame.h"

LUMO_IMPLEMENT_NODE(CVKeyFrame, CVChild)

CVKeyFrame::CVKeyFrame() = default;

void CVKeyFrame::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVKeyFrame>(L"KeyFrame")
        .Field(L"key", &CVKeyFrame::key)
        .Field(L"rotationKeyValue", &CVKeyFrame::rotationKeyValue)
        .Field(L"translationKeyValue", &CVKeyFrame::translationKeyValue)
        .Field(L"scaleKeyValue", &CVKeyFrame::scaleKeyValue)
        .Field(L"loop", &CVKeyFrame::loop)
        .Field(L"speed", &CVKeyFrame::speed);
}
