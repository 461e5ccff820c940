#include "scene/interact/PlanogramFields.h"

#include <cwctype>

namespace lumo::planogram {

CVSFVec3f* Vec3(CVNode* node, const wchar_t* name)
{
    CVField* f = node ? node->GetField(name) : nullptr;
    return f && f->GetType() == SFVEC3F ? static_cast<CVSFVec3f*>(f) : nullptr;
}

CVSFString* String(CVNode* node, const wchar_t* name)
{
    CVField* f = node ? node->GetField(name) : nullptr;
    return f && f->GetType() == SFSTRING ? static_cast<CVSFString*>(f) : nullptr;
}

std::wstring Id(CVNode* node)
{
    CVSFString* id = String(node, L"id");
    return id ? id->GetValue() : std::wstring();
}

bool IsProduct(const CVNode* node) { return node && node->IsKindOfClassNamed("CVSPProduct"); }

bool IsAnnotation(const CVNode* node) { return node && node->IsKindOfClassNamed("CVSPAnnotation"); }

bool IsArrow(CVNode* node)
{
    if (!IsAnnotation(node))
        return false;
    CVSFString* type = String(node, L"type");
    if (!type)
        return false;
    const std::wstring& t = type->GetValue();
    const wchar_t* arrow = L"arrow";
    if (t.size() != 5)
        return false;
    for (int i = 0; i < 5; ++i)
        if (std::towlower(t[i]) != std::wint_t(arrow[i]))
            return false;
    return true;
}

} // namespace lumo::planogram
