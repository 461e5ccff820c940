#include "platform/com/DispatchTable.h"

#include <exception>
#include <new>
#include <string>

namespace {

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool SameNameIgnoringCase(const char16_t* a, const char16_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (Fold(*a) != Fold(*b))
            return false;
    return *a == *b;
}

void FillException(EXCEPINFO* info, const DispEntry& entry, HRESULT code, const char* what)
{
    if (!info)
        return;
    *info = EXCEPINFO{};
    info->scode = code;
    info->bstrSource = SysAllocString(entry.name);
    std::size_t length = std::char_traits<char>::length(what);
    if (length > 4096) // a description, not a document
        length = 4096;
    info->bstrDescription = SysAllocStringLen(nullptr, UINT(length));
    if (info->bstrDescription)
        for (std::size_t i = 0; i < length; ++i) // ASCII messages; other bytes pass as Latin-1
            info->bstrDescription[i] = char16_t(static_cast<unsigned char>(what[i]));
}

// Finds where the property value sits among the arguments, or reports why
// the named arguments are not acceptable.
HRESULT CheckNamedArguments(const DispEntry& entry, const DISPPARAMS& params)
{
    if (params.cNamedArgs == 0)
        return S_OK;
    if (entry.kind == DISPATCH_PROPERTYPUT && params.cNamedArgs == 1 &&
        params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)
        return S_OK;
    return DISP_E_NONAMEDARGS;
}

} // namespace

const DispEntry* DispatchTable::FindName(const char16_t* name) const
{
    if (!name)
        return nullptr;
    for (const DispEntry& e : *this)
        if (SameNameIgnoringCase(e.name, name))
            return &e;
    return nullptr;
}

const DispEntry* DispatchTable::Find(DISPID id, WORD flags) const
{
    // A caller may ask for a method or a property get at once (as script
    // hosts do); methods win.
    static const WORD order[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT};
    for (WORD kind : order) {
        WORD wanted = kind == DISPATCH_PROPERTYPUT ? WORD(DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) : kind;
        if (!(flags & wanted))
            continue;
        for (const DispEntry& e : *this)
            if (e.id == id && e.kind == kind)
                return &e;
    }
    return nullptr;
}

bool DispatchTable::HasId(DISPID id) const
{
    for (const DispEntry& e : *this)
        if (e.id == id)
            return true;
    return false;
}

HRESULT DispatchTable::GetIDsOfNames(const IID& riid, LPOLESTR* names, UINT count, DISPID* ids) const
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids)
        return E_POINTER;
    if (count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const DispEntry* e = FindName(names[0]);
    if (!e)
        return DISP_E_UNKNOWNNAME;
    ids[0] = e->id;
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT DispatchTable::Invoke(IDispatch* self, DISPID id, const IID& riid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argError) const
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params)
        params = &none;
    if ((params->cArgs && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    const DispEntry* entry = Find(id, flags);
    if (!entry)
        return DISP_E_MEMBERNOTFOUND;
    HRESULT hr = CheckNamedArguments(*entry, *params);
    if (FAILED(hr))
        return hr;
    if (params->cArgs != entry->paramCount)
        return DISP_E_BADPARAMCOUNT;
    if (result)
        VariantInit(result);

    try {
        // Converted arguments in natural order; one spare slot for the
        // retval position, which the call never reads.
        CVariant converted[kMaxDispParams + 1];
        for (UINT i = 0; i < entry->paramCount; ++i) {
            // rgvarg holds the last argument first; for a property put the
            // single value is the same either way.
            UINT source = params->cArgs - 1 - i;
            VARTYPE vt = entry->params[i];
            HRESULT conv = vt == VT_VARIANT ? VariantCopyInd(&converted[i], &params->rgvarg[source])
                                            : VariantChangeType(&converted[i], &params->rgvarg[source], 0, vt);
            if (conv == E_OUTOFMEMORY)
                return E_OUTOFMEMORY;
            if (FAILED(conv)) {
                if (argError)
                    *argError = source;
                return conv == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
            }
        }
        UINT badArg = UINT(-1);
        hr = entry->call(self, converted, result, &badArg);
        if (hr == DISP_E_TYPEMISMATCH && argError && badArg < params->cArgs)
            *argError = params->cArgs - 1 - badArg;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        FillException(exception, *entry, E_FAIL, e.what());
    } catch (...) {
        FillException(exception, *entry, E_FAIL, "unknown exception");
    }
    if (result)
        VariantClear(result);
    return DISP_E_EXCEPTION;
}
