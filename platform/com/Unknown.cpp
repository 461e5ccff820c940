#include "platform/com/Unknown.h"

const IID IID_IUnknown = IUnknown::iid;

HRESULT CUnknownImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = FindInterface(iid);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CUnknownImpl::AddRef() { return ++mRefs; }

ULONG CUnknownImpl::Release()
{
    ULONG left = --mRefs;
    if (left == 0)
        delete this;
    return left;
}

void* CUnknownImpl::FindInterface(const IID& iid)
{
    return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
}
