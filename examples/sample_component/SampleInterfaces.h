// The interfaces of the sample counter component, as a host includes them:
// a counter, a text helper and the events the counter raises. The
// component itself lives in a separately loaded module.
#pragma once

#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

inline constexpr CLSID CLSID_SampleCounter = {0x35739C46, 0x1951, 0x4A98, {0xAC, 0x96, 0x5C, 0xA5, 0x62, 0x87, 0x0A, 0x26}};

// Member numbers (DISPIDs) follow the declaration order.
struct ISampleCounter : IDispatch {
    static constexpr IID iid = {0xBBEDAAC1, 0xEEC6, 0x40C0, {0xBC, 0xC5, 0x6E, 0x44, 0x31, 0x6F, 0x8B, 0x92}};
    using Base = IDispatch;

    virtual HRESULT Add(LONG amount, LONG* total) = 0;                        // 1
    virtual HRESULT Reset() = 0;                                               // 2
    virtual HRESULT get_Total(LONG* total) = 0;                                // 3
    virtual HRESULT put_Total(LONG total) = 0;                                 // 3
    // Increment adds `step`; with `wrap`, a total above `limit` starts at 0.
    virtual HRESULT Configure(SHORT step, VARIANT_BOOL wrap, ULONG limit) = 0; // 4
    virtual HRESULT Increment(LONG* total) = 0;                                // 5
    virtual HRESULT Average(double a, float b, double* mean) = 0;              // 6
    virtual HRESULT Clone(ISampleCounter** copy) = 0;                          // 7
    // Raises OnMessage with the text, its length, whether it ends in "!".
    virtual HRESULT Notify(BSTR text, double value) = 0;                       // 8
    // "<type>:<text>" of any value, e.g. "i4:42".
    virtual HRESULT Describe(VARIANT value, BSTR* text) = 0;                   // 9
};

struct ISampleText : IDispatch {
    static constexpr IID iid = {0x204C60ED, 0xE5A2, 0x413D, {0xB5, 0x31, 0x7C, 0x93, 0x51, 0x22, 0x7F, 0xAB}};
    using Base = IDispatch;

    // a + separator + b
    virtual HRESULT Concat(BSTR a, BSTR b, BSTR* result) = 0;      // 1
    // E_INVALIDARG above 1000 copies; a negative count is a C++ error that
    // automation reports as DISP_E_EXCEPTION.
    virtual HRESULT Repeat(BSTR text, SHORT count, BSTR* result) = 0; // 2
    virtual HRESULT get_Separator(BSTR* separator) = 0;            // 3
    virtual HRESULT put_Separator(BSTR separator) = 0;              // 3
    virtual HRESULT Length(BSTR text, LONG* length) = 0;           // 4 (UTF-16 code units)
};

// Dispatch-only: sinks implement IDispatch and answer this IID.
struct _ISampleEvents : IDispatch {
    static constexpr IID iid = {0xE6701D01, 0xA0F4, 0x441B, {0xA0, 0x0F, 0x1C, 0x19, 0x22, 0x62, 0xA8, 0xAB}};
    using Base = IDispatch;
};

constexpr DISPID DISPID_SAMPLE_ONCHANGED = 1; // (VT_I4 total)
constexpr DISPID DISPID_SAMPLE_ONRESET = 2;   // ()
constexpr DISPID DISPID_SAMPLE_ONMESSAGE = 3; // (VT_BSTR text, VT_UI4 length, VT_I2 urgent, VT_R8 value)
