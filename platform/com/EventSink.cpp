#include "platform/com/EventSink.h"

#include <exception>
#include <new>

ComPtr<CEventSink> CEventSink::Create(const IID& events, Handler handler)
{
    return MakeObject<CEventSink>(events, std::move(handler));
}

CEventSink::CEventSink(const IID& events, Handler handler) : mEvents(events), mHandler(std::move(handler)) {}

void* CEventSink::FindExtraInterface(const IID& iid)
{
    return iid == mEvents ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT CEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CEventSink::GetIDsOfNames(const IID&, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    if (ids)
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT CEventSink::Invoke(DISPID member, const IID&, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                           UINT*)
{
    if (result)
        VariantInit(result);
    if (params && params->cArgs && !params->rgvarg)
        return E_INVALIDARG;
    if (!mHandler)
        return S_OK;
    try {
        std::vector<CVariant> args;
        UINT count = params ? params->cArgs : 0;
        args.reserve(count);
        for (UINT i = count; i-- > 0;) {
            args.emplace_back();
            HRESULT hr = VariantCopyInd(&args.back(), &params->rgvarg[i]);
            if (FAILED(hr))
                return hr;
        }
        // The handler may drop the last reference to this sink.
        ComPtr<CEventSink> keep(this);
        Handler handler = mHandler;
        return handler(member, args);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return DISP_E_EXCEPTION;
    }
}

HRESULT lumo::Advise(IUnknown* source, const IID& events, IUnknown* sink, DWORD* cookie)
{
    if (!source)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IConnectionPointContainer::iid, container.PutVoid());
    if (FAILED(hr))
        return hr;
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(events, point.Put());
    if (FAILED(hr))
        return hr;
    return point->Advise(sink, cookie);
}

HRESULT lumo::Unadvise(IUnknown* source, const IID& events, DWORD cookie)
{
    if (!source)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IConnectionPointContainer::iid, container.PutVoid());
    if (FAILED(hr))
        return hr;
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(events, point.Put());
    if (FAILED(hr))
        return hr;
    return point->Unadvise(cookie);
}
