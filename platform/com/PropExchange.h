// Exchanging an object's persisted values with the same code for loading
// and saving: named values with a property bag, or the same values in order
// with a stream (layout in StreamArchive.h). Names are ASCII.
//
// On load, each function returns whether the value was read. When it was
// not (missing from the bag, not convertible, or the stream ended or broke),
// `value` keeps what it held, or takes `fallback` in the overloads that have
// one. On save they return whether the value was written.
#pragma once

#include "platform/com/PropertyBag.h"
#include "platform/com/StreamArchive.h"

#include <string>

class CPropExchange {
public:
    virtual ~CPropExchange() = default;

    bool IsLoading() const { return mLoading; }
    // The first failure that stops the exchange: a stream that ends early or
    // holds a corrupt value, or a write that fails. A value missing from a
    // bag is not a failure.
    virtual HRESULT Result() const = 0;

    // The version number, exchanged first ("_Version" in a bag).
    bool Version(ULONG& version, ULONG fallback);

    bool Bool(const char* name, bool& value);
    bool Bool(const char* name, bool& value, bool fallback);
    bool Long(const char* name, LONG& value);
    bool Long(const char* name, LONG& value, LONG fallback);
    bool ULong(const char* name, ULONG& value);
    bool ULong(const char* name, ULONG& value, ULONG fallback);
    bool Short(const char* name, SHORT& value);
    bool Short(const char* name, SHORT& value, SHORT fallback);
    bool Float(const char* name, float& value);
    bool Float(const char* name, float& value, float fallback);
    // A colour is an unsigned 32-bit value (VT_UI4 in a bag).
    bool Color(const char* name, COLORREF& value);
    bool Color(const char* name, COLORREF& value, COLORREF fallback);
    bool String(const char* name, std::wstring& value);
    bool String(const char* name, std::wstring& value, const std::wstring& fallback);

protected:
    explicit CPropExchange(bool loading) : mLoading(loading) {}
    // Moves one value of type vt (VT_BOOL, VT_I2, VT_I4, VT_UI4, VT_R4 or
    // VT_BSTR) between `value` and the medium.
    virtual bool Exchange(const char* name, VARTYPE vt, CVariant& value) = 0;

private:
    template <class T>
    bool Scalar(const char* name, VARTYPE vt, T& value);

    bool mLoading;
};

class CPropertyBagExchange final : public CPropExchange {
public:
    CPropertyBagExchange(IPropertyBag* bag, bool loading, IErrorLog* log = nullptr);
    HRESULT Result() const override { return mResult; }

protected:
    bool Exchange(const char* name, VARTYPE vt, CVariant& value) override;

private:
    IPropertyBag* mBag;
    IErrorLog* mLog;
    HRESULT mResult = S_OK;
};

class CStreamExchange final : public CPropExchange {
public:
    CStreamExchange(IStream* stream, bool loading);
    HRESULT Result() const override;

protected:
    bool Exchange(const char* name, VARTYPE vt, CVariant& value) override;

private:
    CStreamReader mReader;
    CStreamWriter mWriter;
};
