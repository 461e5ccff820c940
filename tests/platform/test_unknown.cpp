#include "platform/com/Unknown.h"

#include <gtest/gtest.h>

namespace {

const IID IID_IWidget = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

struct IWidget : IUnknown {
    virtual int Answer() = 0;
};

class Widget : public CUnknownImpl, public IWidget {
public:
    explicit Widget(bool* destroyed) : mDestroyed(destroyed) {}
    ~Widget() override { *mDestroyed = true; }
    HRESULT QueryInterface(const IID& iid, void** obj) override { return CUnknownImpl::QueryInterface(iid, obj); }
    ULONG AddRef() override { return CUnknownImpl::AddRef(); }
    ULONG Release() override { return CUnknownImpl::Release(); }
    int Answer() override { return 42; }

protected:
    void* FindInterface(const IID& iid) override
    {
        if (iid == IID_IWidget)
            return static_cast<IWidget*>(this);
        return CUnknownImpl::FindInterface(iid);
    }

private:
    bool* mDestroyed;
};

TEST(Unknown, QueryInterfaceCountsReferencesAndRefusesUnknownIids)
{
    bool destroyed = false;
    auto* w = new Widget(&destroyed);
    void* p = nullptr;
    ASSERT_EQ(w->QueryInterface(IID_IWidget, &p), S_OK);
    EXPECT_EQ(static_cast<IWidget*>(p)->Answer(), 42);
    const IID other = {1, 2, 3, {0}};
    void* q = reinterpret_cast<void*>(1);
    EXPECT_EQ(w->QueryInterface(other, &q), E_NOINTERFACE);
    EXPECT_EQ(q, nullptr);
    EXPECT_EQ(w->QueryInterface(IID_IWidget, nullptr), E_POINTER);
    static_cast<IWidget*>(p)->Release();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(w->Release(), 0u);
    EXPECT_TRUE(destroyed);
}

TEST(WinTypes, ColorBytesAndResultCodes)
{
    COLORREF c = RGB(1, 2, 3);
    EXPECT_EQ(c, 0x030201u);
    EXPECT_EQ(GetBValue(c), 3);
    EXPECT_TRUE(FAILED(E_INVALIDARG));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_EQ(VARIANT_TRUE, -1);
}

} // namespace
