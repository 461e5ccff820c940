#include "scene/nodes/NavigationInfo.h"

LUMO_IMPLEMENT_CLASS(CVBindable, CVChild)
LUMO_IMPLEMENT_NODE(CVNavigationInfo, CVBindable)

CVNavigationInfo::CVNavigationInfo()
{
    avatarSize.Add(0.25f);
    avatarSize.Add(1.6f);
    avatarSize.Add(0.75f);
    headlight.SetValue(1);
    speed.Add(1.0f);
}

void CVNavigationInfo::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVNavigationInfo>(L"NavigationInfo")
        .Field(L"avatarSize", &CVNavigationInfo::avatarSize)
        .Field(L"headlight", &CVNavigationInfo::headlight)
        .Field(L"speed", &CVNavigationInfo::speed)
        .Field(L"type", &CVNavigationInfo::type)
        .Field(L"visibilityLimit", &CVNavigationInfo::visibilityLimit);
}
