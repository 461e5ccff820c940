#include "examples/sample_component/SampleInterfaces.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchClient.h"
#include "platform/com/EventSink.h"
#include "tests/platform/ComTestSupport.h"

#include <stdexcept>

namespace {

struct Heard {
    std::string sink;
    DISPID id;
    std::vector<CVariant> args;
};

class Events : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        RegisterSample();
        ASSERT_EQ(lumo::CreateInstance(u"Vexo.SampleCounter", ISampleCounter::iid, counter.PutVoid()), S_OK);
    }

    ComPtr<CEventSink> Recorder(const std::string& name, std::function<void()> also = {})
    {
        return CEventSink::Create(_ISampleEvents::iid, [this, name, also](DISPID id, const std::vector<CVariant>& args) {
            heard.push_back({name, id, args});
            if (also)
                also();
            return S_OK;
        });
    }

    DWORD Advise(IUnknown* sink)
    {
        DWORD cookie = 0;
        EXPECT_EQ(lumo::Advise(counter.Get(), _ISampleEvents::iid, sink, &cookie), S_OK);
        return cookie;
    }

    static ULONG References(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }

    ComPtr<ISampleCounter> counter;
    std::vector<Heard> heard;
};

TEST_F(Events, EverySinkHearsEachEventInConnectionOrderWithTheWireTypes)
{
    auto a = Recorder("a"), b = Recorder("b");
    Advise(a->Identity());
    Advise(b->Identity());
    ASSERT_EQ(counter->Notify(CBstr(u"hello!"), 2.5), S_OK);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].sink, "a");
    EXPECT_EQ(heard[1].sink, "b");
    const auto& args = heard[1].args;
    EXPECT_EQ(heard[1].id, DISPID_SAMPLE_ONMESSAGE);
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(args[0].vt, VT_BSTR);
    EXPECT_EQ(args[0].ToWide(), L"hello!");
    EXPECT_EQ(args[1].vt, VT_UI4);
    EXPECT_EQ(args[1].ulVal, 6u);
    EXPECT_EQ(args[2].vt, VT_I2);
    EXPECT_EQ(args[2].iVal, 1);
    EXPECT_EQ(args[3].vt, VT_R8);
    EXPECT_DOUBLE_EQ(args[3].dblVal, 2.5);
}

TEST_F(Events, ASinkThatUnadvisesDuringAnEventLeavesTheOthersListening)
{
    DWORD cookieA = 0;
    auto a = Recorder("a", [&] { EXPECT_EQ(lumo::Unadvise(counter.Get(), _ISampleEvents::iid, cookieA), S_OK); });
    auto b = Recorder("b");
    cookieA = Advise(a->Identity());
    Advise(b->Identity());
    LONG total = 0;
    ASSERT_EQ(counter->Add(1, &total), S_OK);
    ASSERT_EQ(counter->Add(1, &total), S_OK);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].sink, "a");
    EXPECT_EQ(heard[1].sink, "b");
    EXPECT_EQ(heard[2].sink, "b");
    EXPECT_EQ(heard[2].args[0].lVal, 2);
    EXPECT_EQ(References(a->Identity()), 1u) << "the source let go of the unadvised sink";
}

TEST_F(Events, ASinkUnadvisedByAnEarlierOneMissesTheRestOfTheEvent)
{
    DWORD cookieB = 0;
    auto a = Recorder("a", [&] { lumo::Unadvise(counter.Get(), _ISampleEvents::iid, cookieB); });
    auto b = Recorder("b");
    Advise(a->Identity());
    cookieB = Advise(b->Identity());
    ASSERT_EQ(counter->Reset(), S_OK);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].sink, "a");
}

TEST_F(Events, ASinkAdvisedDuringAnEventHearsOnlyTheNextOne)
{
    ComPtr<CEventSink> late = Recorder("late");
    bool added = false;
    auto a = Recorder("a", [&] {
        if (!added) {
            added = true;
            Advise(late->Identity());
        }
    });
    Advise(a->Identity());
    ASSERT_EQ(counter->Reset(), S_OK);
    ASSERT_EQ(heard.size(), 1u);
    ASSERT_EQ(counter->Reset(), S_OK);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[2].sink, "late");
}

TEST_F(Events, ASinkMayReleaseTheSourceDuringAnEvent)
{
    ISampleCounter* raw = counter.Get();
    auto a = Recorder("a", [&] { counter.Reset(); });
    auto b = Recorder("b");
    Advise(a->Identity());
    Advise(b->Identity());
    EXPECT_EQ(References(b->Identity()), 2u);
    LONG total = 0;
    ASSERT_EQ(raw->Add(3, &total), S_OK); // the last reference goes away inside
    EXPECT_EQ(total, 3);
    ASSERT_EQ(heard.size(), 2u) << "b still hears the event that released the source";
    EXPECT_EQ(References(b->Identity()), 1u) << "the source is gone and released its sinks";
}

// A source whose event is its method's last act, so it holds no reference
// to itself while firing (as a timer callback might).
class CBareSource : public TObject<CConnectionPointContainerImpl> {
public:
    explicit CBareSource(bool* destroyed) : mDestroyed(destroyed), mEvents(AddConnectionPoint(_ISampleEvents::iid)) {}
    ~CBareSource() override { *mDestroyed = true; }
    void Reset() { mEvents.Fire(DISPID_SAMPLE_ONRESET); }

private:
    bool* mDestroyed;
    CConnectionPoint& mEvents;
};

TEST_F(Events, TheSourceOutlivesTheEventThatReleasesIt)
{
    bool destroyed = false;
    auto source = MakeObject<CBareSource>(&destroyed);
    CBareSource* raw = source.Get();
    std::vector<bool> aliveWhenHeard;
    auto a = CEventSink::Create(_ISampleEvents::iid, [&](DISPID, const std::vector<CVariant>&) {
        aliveWhenHeard.push_back(!destroyed);
        source = nullptr;
        return S_OK;
    });
    auto b = CEventSink::Create(_ISampleEvents::iid, [&](DISPID, const std::vector<CVariant>&) {
        aliveWhenHeard.push_back(!destroyed);
        return S_OK;
    });
    DWORD cookie = 0;
    ASSERT_EQ(lumo::Advise(raw->Identity(), _ISampleEvents::iid, a->Identity(), &cookie), S_OK);
    ASSERT_EQ(lumo::Advise(raw->Identity(), _ISampleEvents::iid, b->Identity(), &cookie), S_OK);
    raw->Reset();
    EXPECT_EQ(aliveWhenHeard, std::vector<bool>({true, true}));
    EXPECT_TRUE(destroyed) << "released when the event ended";
    EXPECT_EQ(References(b->Identity()), 1u);
}

// A sink whose Invoke throws, as a careless one might.
class ThrowingSink : public TObject<IDispatch> {
public:
    int calls = 0;
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const IID&, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, const IID&, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        ++calls;
        throw std::runtime_error("sink failure");
    }

protected:
    void* FindExtraInterface(const IID& iid) override
    {
        return iid == _ISampleEvents::iid ? static_cast<IDispatch*>(this) : nullptr;
    }
};

TEST_F(Events, ASinkThatFailsDoesNotStopTheEvent)
{
    auto thrower = MakeObject<ThrowingSink>();
    auto b = Recorder("b");
    Advise(thrower->Identity());
    Advise(b->Identity());
    ASSERT_EQ(counter->Reset(), S_OK);
    EXPECT_EQ(thrower->calls, 1);
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(Events, AdviseAndUnadviseCheckTheirArguments)
{
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(counter.As(&container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(ISampleText::iid, point.Put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(_ISampleEvents::iid, point.Put()), S_OK);
    IID events{};
    EXPECT_EQ(point->GetConnectionInterface(&events), S_OK);
    EXPECT_EQ(events, _ISampleEvents::iid);
    ComPtr<IConnectionPointContainer> back;
    ASSERT_EQ(point->GetConnectionPointContainer(back.Put()), S_OK);
    EXPECT_EQ(back.Get(), container.Get());

    DWORD cookie = 5;
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(cookie, 0u);
    auto sink = Recorder("a");
    EXPECT_EQ(point->Advise(sink->Identity(), nullptr), E_POINTER);
    // Sinks must answer the event interface itself.
    auto wrongEvents = CEventSink::Create(ISampleText::iid, {});
    EXPECT_EQ(point->Advise(wrongEvents->Identity(), &cookie), CONNECT_E_CANNOTCONNECT);
    DWORD first = 0, second = 0;
    ASSERT_EQ(point->Advise(sink->Identity(), &first), S_OK);
    ASSERT_EQ(point->Advise(sink->Identity(), &second), S_OK);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(point->Unadvise(first), S_OK);
    EXPECT_EQ(point->Unadvise(first), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(second), S_OK);
}

TEST_F(Events, TheNumberOfSinksIsBounded)
{
    ComPtr<IConnectionPoint> point;
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(counter.As(&container), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(_ISampleEvents::iid, point.Put()), S_OK);
    auto sink = Recorder("a");
    DWORD cookie = 0, last = 0;
    for (std::size_t i = 0; i < kMaxConnections; ++i) {
        ASSERT_EQ(point->Advise(sink->Identity(), &last), S_OK) << i;
    }
    EXPECT_EQ(point->Advise(sink->Identity(), &cookie), CONNECT_E_ADVISELIMIT);
    EXPECT_EQ(cookie, 0u);
    ASSERT_EQ(point->Unadvise(last), S_OK);
    EXPECT_EQ(point->Advise(sink->Identity(), &cookie), S_OK);
}

TEST_F(Events, EventsCanBeHeardThroughAutomationCallsToo)
{
    auto a = Recorder("a");
    Advise(a->Identity());
    ASSERT_EQ(lumo::PutProperty(counter.Get(), u"Total", CVariant(u"8")), S_OK);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].id, DISPID_SAMPLE_ONCHANGED);
    EXPECT_EQ(heard[0].args[0].vt, VT_I4);
    EXPECT_EQ(heard[0].args[0].lVal, 8);
}

} // namespace
