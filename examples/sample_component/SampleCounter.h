// The sample counter: both sample interfaces through member tables, and a
// connection point for its events.
#pragma once

#include "examples/sample_component/SampleInterfaces.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/DispatchImpl.h"
#include "platform/com/Object.h"

#include <string>

extern const DispatchTable kSampleCounterMembers;
extern const DispatchTable kSampleTextMembers;

class CSampleCounter : public TObject<TDispatchImpl<ISampleCounter, kSampleCounterMembers>,
                                      TDispatchImpl<ISampleText, kSampleTextMembers>, CConnectionPointContainerImpl> {
public:
    HRESULT Add(LONG amount, LONG* total) override;
    HRESULT Reset() override;
    HRESULT get_Total(LONG* total) override;
    HRESULT put_Total(LONG total) override;
    HRESULT Configure(SHORT step, VARIANT_BOOL wrap, ULONG limit) override;
    HRESULT Increment(LONG* total) override;
    HRESULT Average(double a, float b, double* mean) override;
    HRESULT Clone(ISampleCounter** copy) override;
    HRESULT Notify(BSTR text, double value) override;
    HRESULT Describe(VARIANT value, BSTR* text) override;

    HRESULT Concat(BSTR a, BSTR b, BSTR* result) override;
    HRESULT Repeat(BSTR text, SHORT count, BSTR* result) override;
    HRESULT get_Separator(BSTR* separator) override;
    HRESULT put_Separator(BSTR separator) override;
    HRESULT Length(BSTR text, LONG* length) override;

protected:
    CSampleCounter();

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    void SetTotal(LONG total);

    CConnectionPoint& mEvents;
    LONG mTotal = 0;
    SHORT mStep = 1;
    bool mWrap = false;
    ULONG mLimit = 0;
    std::u16string mSeparator = u" ";
};
