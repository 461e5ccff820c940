// Calling automation members by name, as a script host does: arguments in
// their natural order, results and errors as values.
#pragma once

#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// What went wrong in the last call: the HRESULT, the argument position
// (from 0, natural order) for a type mismatch, and the member's own text
// for DISP_E_EXCEPTION.
struct DispatchError {
    HRESULT code = S_OK;
    UINT argument = 0;
    SCODE exceptionCode = S_OK;
    std::wstring description;
};

HRESULT GetDispId(IDispatch* target, std::u16string_view name, DISPID* id);

HRESULT InvokeMember(IDispatch* target, DISPID id, WORD flags, const std::vector<CVariant>& args, CVariant* result,
                     DispatchError* error = nullptr);

HRESULT CallMethod(IDispatch* target, std::u16string_view name, std::initializer_list<CVariant> args = {},
                   CVariant* result = nullptr, DispatchError* error = nullptr);
HRESULT GetProperty(IDispatch* target, std::u16string_view name, CVariant* value, DispatchError* error = nullptr);
HRESULT PutProperty(IDispatch* target, std::u16string_view name, const CVariant& value,
                    DispatchError* error = nullptr);

} // namespace lumo
