#include "scene/model/Base.h"

#include <cstring>

const CVRuntimeClass CVBase::classCVBase = {"CVBase", int(sizeof(CVBase)), nullptr};

bool CVRuntimeClass::IsDerivedFrom(const CVRuntimeClass* base) const
{
    for (const CVRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

bool CVRuntimeClass::IsDerivedFrom(const char* className) const
{
    for (const CVRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (std::strcmp(c->m_lpszClassName, className) == 0)
            return true;
    return false;
}

bool CVBase::IsKindOfClassNamed(const char* className) const
{
    return className && GetRuntimeClass()->IsDerivedFrom(className);
}
