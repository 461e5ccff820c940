#include "platform/com/DispatchClient.h"

#include "platform/com/Bstr.h"

HRESULT lumo::GetDispId(IDispatch* target, std::u16string_view name, DISPID* id)
{
    if (!target || !id)
        return E_POINTER;
    std::u16string text(name);
    LPOLESTR names[] = {text.data()};
    return target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

HRESULT lumo::InvokeMember(IDispatch* target, DISPID id, WORD flags, const std::vector<CVariant>& args,
                           CVariant* result, DispatchError* error)
{
    if (error)
        *error = DispatchError{};
    if (!target)
        return E_POINTER;
    // Automation passes the last argument first; the copies are shallow, the
    // caller's variants keep ownership.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID named = DISPID_PROPERTYPUT;
    bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr, UINT(reversed.size()),
                      put ? 1u : 0u};
    EXCEPINFO info{};
    UINT argError = 0;
    VARIANT out;
    VariantInit(&out);
    HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? &out : nullptr, &info,
                                &argError);
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    if (error) {
        error->code = hr;
        if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW || hr == DISP_E_PARAMNOTFOUND) && argError < args.size())
            error->argument = UINT(args.size() - 1 - argError);
        if (hr == DISP_E_EXCEPTION) {
            error->exceptionCode = info.scode;
            error->description = CBstr::Copy(info.bstrDescription).ToWide();
        }
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (result)
        *result = SUCCEEDED(hr) ? CVariant::Adopt(out) : CVariant();
    else
        VariantClear(&out);
    return hr;
}

namespace {

HRESULT ByName(IDispatch* target, std::u16string_view name, WORD flags, const std::vector<CVariant>& args,
               CVariant* result, lumo::DispatchError* error)
{
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = lumo::GetDispId(target, name, &id);
    if (FAILED(hr)) {
        if (error) {
            *error = lumo::DispatchError{};
            error->code = hr;
        }
        return hr;
    }
    return lumo::InvokeMember(target, id, flags, args, result, error);
}

} // namespace

HRESULT lumo::CallMethod(IDispatch* target, std::u16string_view name, std::initializer_list<CVariant> args,
                         CVariant* result, DispatchError* error)
{
    return ByName(target, name, DISPATCH_METHOD, std::vector<CVariant>(args), result, error);
}

HRESULT lumo::GetProperty(IDispatch* target, std::u16string_view name, CVariant* value, DispatchError* error)
{
    if (!value)
        return E_POINTER;
    return ByName(target, name, DISPATCH_PROPERTYGET, {}, value, error);
}

HRESULT lumo::PutProperty(IDispatch* target, std::u16string_view name, const CVariant& value, DispatchError* error)
{
    return ByName(target, name, DISPATCH_PROPERTYPUT, {value}, nullptr, error);
}
