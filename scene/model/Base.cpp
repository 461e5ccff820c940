#include "scene/model/Base.h"

const CVRuntimeClass CVBase::classCVBase = {"CVBase", int(sizeof(CVBase)), nullptr};

bool CVRuntimeClass::IsDerivedFrom(const CVRuntimeClass* base) const
{
    for (const CVRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}
