// The automation interface: members called by identifier with variant
// arguments, identifiers found by name.
#pragma once

#include "platform/com/ComTypes.h"
#include "platform/com/Unknown.h"

struct VARIANT;
using VARIANTARG = VARIANT;
// Type information is not provided; the pointer type exists for the
// signature of GetTypeInfo.
struct ITypeInfo;

// Arguments of one call, last argument first; named arguments come first in
// rgvarg and their identifiers are in rgdispidNamedArgs.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What a member reports when it fails with DISP_E_EXCEPTION; the caller
// frees the strings.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

struct IDispatch : IUnknown {
    static constexpr IID iid = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    using Base = IUnknown;

    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(const IID& riid, LPOLESTR* names, UINT nameCount, LCID locale, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, const IID& riid, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) = 0;
};

inline constexpr const IID& IID_IDispatch = IDispatch::iid;
