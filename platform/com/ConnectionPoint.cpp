#include "platform/com/ConnectionPoint.h"

#include <algorithm>
#include <utility>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer* source, const IID& events)
    : mSource(source), mEvents(events)
{
}

CConnectionPoint::~CConnectionPoint()
{
    // A sink released here may call back (Unadvise); it finds no connections.
    std::vector<Connection> released = std::move(mConnections);
    mConnections.clear();
}

HRESULT CConnectionPoint::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IUnknown::iid && iid != IConnectionPoint::iid)
        return E_NOINTERFACE;
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG CConnectionPoint::AddRef() { return mSource->AddRef(); }
ULONG CConnectionPoint::Release() { return mSource->Release(); }

HRESULT CConnectionPoint::GetConnectionInterface(IID* events)
{
    if (!events)
        return E_POINTER;
    *events = mEvents;
    return S_OK;
}

HRESULT CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = mSource;
    mSource->AddRef();
    return S_OK;
}

bool CConnectionPoint::IsConnected(DWORD cookie) const
{
    return std::any_of(mConnections.begin(), mConnections.end(), [&](const Connection& c) { return c.cookie == cookie; });
}

HRESULT CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    if (mConnections.size() >= kMaxConnections)
        return CONNECT_E_ADVISELIMIT;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(mEvents, events.PutVoid())) || !events)
        return CONNECT_E_CANNOTCONNECT;
    // Cookies are never 0 and, after wrapping, never one still in use.
    while (mNextCookie == 0 || IsConnected(mNextCookie))
        ++mNextCookie;
    DWORD issued = mNextCookie++;
    mConnections.push_back({issued, std::move(events)});
    *cookie = issued;
    return S_OK;
}

HRESULT CConnectionPoint::Unadvise(DWORD cookie)
{
    auto it = std::find_if(mConnections.begin(), mConnections.end(), [&](const Connection& c) { return c.cookie == cookie; });
    if (it == mConnections.end())
        return CONNECT_E_NOCONNECTION;
    // Released after the list is consistent again: the sink may call back.
    ComPtr<IDispatch> sink = std::move(it->sink);
    mConnections.erase(it);
    return S_OK;
}

HRESULT CConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

void CConnectionPoint::Fire(DISPID id, const std::vector<CVariant>& args)
{
    ComPtr<IConnectionPointContainer> keepSource(mSource);
    std::vector<Connection> snapshot = mConnections;
    for (const Connection& c : snapshot) {
        if (!IsConnected(c.cookie))
            continue;
        // Fresh shallow copies for each sink: the arguments stay owned by the
        // caller whatever a sink does with its DISPPARAMS.
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, UINT(reversed.size()), 0};
        try {
            c.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        } catch (...) {
            // A sink's failure is its own; the remaining sinks still hear the event.
        }
    }
}

HRESULT CConnectionPointContainerImpl::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT CConnectionPointContainerImpl::FindConnectionPoint(const IID& events, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    CConnectionPoint* found = GetConnectionPoint(events);
    if (!found)
        return CONNECT_E_NOCONNECTION;
    found->AddRef();
    *point = found;
    return S_OK;
}

CConnectionPoint& CConnectionPointContainerImpl::AddConnectionPoint(const IID& events)
{
    mPoints.push_back(std::make_unique<CConnectionPoint>(this, events));
    return *mPoints.back();
}

CConnectionPoint* CConnectionPointContainerImpl::GetConnectionPoint(const IID& events)
{
    for (auto& p : mPoints) {
        IID iid;
        p->GetConnectionInterface(&iid);
        if (iid == events)
            return p.get();
    }
    return nullptr;
}
