#include "platform/com/Variant.h"

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"

#include <new>

namespace {

bool IsKnownScalar(VARTYPE vt)
{
    switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool IsKnown(VARTYPE vt)
{
    if (vt == VT_EMPTY || vt == VT_NULL)
        return true;
    if (vt & VT_BYREF) {
        VARTYPE base = VARTYPE(vt & ~VT_BYREF);
        return base == VT_VARIANT || IsKnownScalar(base);
    }
    return IsKnownScalar(vt);
}

// Copies the value of a VT_BYREF variant into a plain one (shallow: the
// string and interface are not yet duplicated).
bool Dereference(const VARIANT& source, VARIANT* plain)
{
    VariantInit(plain);
    if (!source.byref)
        return false;
    VARTYPE base = VARTYPE(source.vt & ~VT_BYREF);
    if (base == VT_VARIANT) {
        // One level only: a reference to another reference is refused.
        if (source.pvarVal->vt & VT_BYREF)
            return false;
        *plain = *source.pvarVal;
        return true;
    }
    plain->vt = base;
    switch (base) {
    case VT_I2: plain->iVal = *source.piVal; break;
    case VT_I4: plain->lVal = *source.plVal; break;
    case VT_R4: plain->fltVal = *source.pfltVal; break;
    case VT_R8: plain->dblVal = *source.pdblVal; break;
    case VT_DATE: plain->date = *source.pdate; break;
    case VT_BSTR: plain->bstrVal = *source.pbstrVal; break;
    case VT_DISPATCH: plain->pdispVal = *source.ppdispVal; break;
    case VT_ERROR: plain->scode = *source.pscode; break;
    case VT_BOOL: plain->boolVal = *source.pboolVal; break;
    case VT_UNKNOWN: plain->punkVal = *source.ppunkVal; break;
    case VT_I1: plain->cVal = *source.pcVal; break;
    case VT_UI1: plain->bVal = *source.pbVal; break;
    case VT_UI2: plain->uiVal = *source.puiVal; break;
    case VT_UI4: plain->ulVal = *source.pulVal; break;
    case VT_I8: plain->llVal = *source.pllVal; break;
    case VT_UI8: plain->ullVal = *source.pullVal; break;
    case VT_INT: plain->intVal = *source.pintVal; break;
    case VT_UINT: plain->uintVal = *source.puintVal; break;
    default: return false;
    }
    return true;
}

// Turns a shallow copy into an owning one.
HRESULT TakeOwnership(VARIANT* v)
{
    if (v->vt == VT_BSTR && v->bstrVal) {
        BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(v->bstrVal), SysStringByteLen(v->bstrVal));
        if (!copy) {
            v->vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
        v->bstrVal = copy;
    } else if (v->vt == VT_DISPATCH && v->pdispVal) {
        v->pdispVal->AddRef();
    } else if (v->vt == VT_UNKNOWN && v->punkVal) {
        v->punkVal->AddRef();
    }
    return S_OK;
}

} // namespace

void VariantInit(VARIANT* v)
{
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v)
        return E_INVALIDARG;
    if (!IsKnown(v->vt))
        return DISP_E_BADVARTYPE;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    else if (v->vt == VT_DISPATCH && v->pdispVal)
        v->pdispVal->Release();
    else if (v->vt == VT_UNKNOWN && v->punkVal)
        v->punkVal->Release();
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (dest == source)
        return S_OK;
    if (!IsKnown(source->vt))
        return DISP_E_BADVARTYPE;
    VARIANT copy = *source;
    HRESULT hr = TakeOwnership(&copy);
    if (FAILED(hr))
        return hr;
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* source)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (!IsKnown(source->vt))
        return DISP_E_BADVARTYPE;
    if (!(source->vt & VT_BYREF))
        return VariantCopy(dest, source);
    VARIANT copy;
    if (!Dereference(*source, &copy))
        return E_INVALIDARG;
    HRESULT hr = TakeOwnership(&copy);
    if (FAILED(hr))
        return hr;
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

CVariant::CVariant(const CVariant& other) : CVariant(static_cast<const VARIANT&>(other)) {}

CVariant::CVariant(CVariant&& other) noexcept : VARIANT(other) { VariantInit(&other); }

CVariant::CVariant(const VARIANT& other)
{
    VariantInit(this);
    HRESULT hr = VariantCopy(this, &other);
    if (hr == E_OUTOFMEMORY)
        throw std::bad_alloc();
}

CVariant::CVariant(bool value)
{
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

CVariant::CVariant(SHORT value)
{
    VariantInit(this);
    vt = VT_I2;
    iVal = value;
}

CVariant::CVariant(LONG value)
{
    VariantInit(this);
    vt = VT_I4;
    lVal = value;
}

CVariant::CVariant(ULONG value)
{
    VariantInit(this);
    vt = VT_UI4;
    ulVal = value;
}

CVariant::CVariant(LONGLONG value)
{
    VariantInit(this);
    vt = VT_I8;
    llVal = value;
}

CVariant::CVariant(ULONGLONG value)
{
    VariantInit(this);
    vt = VT_UI8;
    ullVal = value;
}

CVariant::CVariant(FLOAT value)
{
    VariantInit(this);
    vt = VT_R4;
    fltVal = value;
}

CVariant::CVariant(DOUBLE value)
{
    VariantInit(this);
    vt = VT_R8;
    dblVal = value;
}

CVariant::CVariant(const char16_t* text) : CVariant(text ? std::u16string_view(text) : std::u16string_view()) {}

CVariant::CVariant(std::u16string_view text)
{
    VariantInit(this);
    bstrVal = CBstr(text).Detach();
    vt = VT_BSTR;
}

CVariant::CVariant(const wchar_t* text) : CVariant(std::wstring(text ? text : L"")) {}

CVariant::CVariant(const std::wstring& text)
{
    VariantInit(this);
    bstrVal = CBstr(std::wstring_view(text)).Detach();
    vt = VT_BSTR;
}

CVariant::CVariant(IDispatch* object)
{
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = object;
    if (object)
        object->AddRef();
}

CVariant::CVariant(IUnknown* object)
{
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = object;
    if (object)
        object->AddRef();
}

CVariant& CVariant::operator=(const CVariant& other)
{
    if (this != &other) {
        HRESULT hr = VariantCopy(this, &other);
        if (hr == E_OUTOFMEMORY)
            throw std::bad_alloc();
    }
    return *this;
}

CVariant& CVariant::operator=(CVariant&& other) noexcept
{
    if (this != &other) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = other;
        VariantInit(&other);
    }
    return *this;
}

CVariant CVariant::Byte(BYTE value)
{
    CVariant v;
    v.vt = VT_UI1;
    v.bVal = value;
    return v;
}

CVariant CVariant::UShort(USHORT value)
{
    CVariant v;
    v.vt = VT_UI2;
    v.uiVal = value;
    return v;
}

CVariant CVariant::Date(DATE value)
{
    CVariant v;
    v.vt = VT_DATE;
    v.date = value;
    return v;
}

CVariant CVariant::Error(SCODE value)
{
    CVariant v;
    v.vt = VT_ERROR;
    v.scode = value;
    return v;
}

CVariant CVariant::Null()
{
    CVariant v;
    v.vt = VT_NULL;
    return v;
}

CVariant CVariant::Adopt(VARIANT& value)
{
    CVariant v;
    static_cast<VARIANT&>(v) = value;
    VariantInit(&value);
    return v;
}

VARIANT CVariant::Detach()
{
    VARIANT v = *this;
    VariantInit(this);
    return v;
}

std::wstring CVariant::ToWide() const
{
    CVariant text;
    if (FAILED(VariantChangeType(&text, this, VARIANT_ALPHABOOL, VT_BSTR)))
        return std::wstring();
    return CBstr::Copy(text.bstrVal).ToWide();
}
