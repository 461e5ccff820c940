// Event connections: a source object offers one connection point per event
// interface; sinks Advise (and get a cookie) and Unadvise with it. Events
// are dispatch calls by DISPID on every connected sink.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

#include <memory>
#include <vector>

// Enumerators of connections are not provided; the methods that would
// return them answer E_NOTIMPL.
struct IEnumConnections;
struct IEnumConnectionPoints;
struct IConnectionPointContainer;

struct IConnectionPoint : IUnknown {
    static constexpr IID iid = {0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    using Base = IUnknown;

    virtual HRESULT GetConnectionInterface(IID* events) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    virtual HRESULT Unadvise(DWORD cookie) = 0;
    virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID iid = {0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    using Base = IUnknown;

    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
    virtual HRESULT FindConnectionPoint(const IID& events, IConnectionPoint** point) = 0;
};

// The most sinks one connection point takes; Advise beyond it gives
// CONNECT_E_ADVISELIMIT.
constexpr std::size_t kMaxConnections = 1024;

// One connection point for a dispatch event interface, embedded in its
// source: its references are the source's, so it lives as long as the source.
class CConnectionPoint final : public IConnectionPoint {
public:
    CConnectionPoint(IConnectionPointContainer* source, const IID& events);
    ~CConnectionPoint();
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    HRESULT QueryInterface(const IID& iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetConnectionInterface(IID* events) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
    // The sink must answer QueryInterface for the event interface (which
    // derives from IDispatch); otherwise CONNECT_E_CANNOTCONNECT.
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;
    HRESULT EnumConnections(IEnumConnections** connections) override;

    // Calls Invoke(id, DISPATCH_METHOD, LOCALE_USER_DEFAULT) on the sinks
    // connected when the event starts, in connection order, with the
    // arguments as given (natural order; the variants' tags are the wire
    // types). A sink unadvised by an earlier one during the event is skipped;
    // sinks advised during it first hear the next event. Results and failures
    // of sinks are ignored. The source is kept alive until the event ends, so
    // a sink may release it; a source method that fires and then touches its
    // own members should hold a reference to itself as well.
    void Fire(DISPID id, const std::vector<CVariant>& args = {});
    std::size_t ConnectionCount() const { return mConnections.size(); }

private:
    struct Connection {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };
    bool IsConnected(DWORD cookie) const;

    IConnectionPointContainer* mSource;
    IID mEvents;
    std::vector<Connection> mConnections;
    DWORD mNextCookie = 1;
};

// IConnectionPointContainer for an object built on TObject: list it among
// the bases and add its event interfaces in the constructor.
class CConnectionPointContainerImpl : public IConnectionPointContainer {
public:
    using Interface = IConnectionPointContainer;

    HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT FindConnectionPoint(const IID& events, IConnectionPoint** point) override;

protected:
    CConnectionPointContainerImpl() = default;
    ~CConnectionPointContainerImpl() override = default;

    CConnectionPoint& AddConnectionPoint(const IID& events);
    // Null when the object has no connection point for these events.
    CConnectionPoint* GetConnectionPoint(const IID& events);

private:
    std::vector<std::unique_ptr<CConnectionPoint>> mPoints;
};
