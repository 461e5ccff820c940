// Shelf-plan kind and direction names, which documents spell in any case.
#pragma once

#include <cwctype>
#include <string>

namespace lumo::planogram {

// Whether two names are equal without regard to case.
inline bool SameName(const std::wstring& a, const wchar_t* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towupper(wint_t(a[i])) != std::towupper(wint_t(b[i])))
            return false;
    return i == a.size() && !b[i];
}

} // namespace lumo::planogram
