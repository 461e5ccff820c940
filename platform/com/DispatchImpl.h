// IDispatch for one interface from its member table: derive an object from
// TDispatchImpl<IThing, kThingMembers> instead of IThing.
#pragma once

#include "platform/com/DispatchTable.h"

template <class I, const DispatchTable& Members>
class TDispatchImpl : public I {
public:
    using Interface = I;

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(const IID& riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return Members.GetIDsOfNames(riid, names, count, ids);
    }
    HRESULT Invoke(DISPID member, const IID& riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override
    {
        return Members.Invoke(static_cast<IDispatch*>(static_cast<I*>(this)), member, riid, flags, params, result,
                              exception, argError);
    }
};
