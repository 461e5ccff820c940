// The members of one automation interface, declared once as data: name,
// DISPID, kind, parameter types and return type, each bound to the C++
// method it calls. Invoke and GetIDsOfNames of an implementation run off it.
//
//   constexpr DispEntry kEntries[] = {
//       DispMethod<&IThing::Add, VT_I4, VT_BYREF | VT_I4>(u"Add", 1),
//       DispPropGet<&IThing::get_Name, VT_BYREF | VT_BSTR>(u"Name", 2),
//       DispPropPut<&IThing::put_Name, VT_BSTR>(u"Name", 2),
//   };
//   const DispatchTable kThingMembers{kEntries};
//
// The types list the parameters in order; a last type with VT_BYREF is the
// [out, retval] parameter. The compiler checks each type against the
// method's C++ parameter: VT_I2 and VT_BOOL take SHORT/VARIANT_BOOL, VT_I4
// LONG (32 bits, not the platform's long), VT_UI4 ULONG, VT_R4 float, VT_R8
// and VT_DATE double, VT_BSTR BSTR, VT_VARIANT VARIANT, VT_DISPATCH and
// VT_UNKNOWN a pointer to any interface derived from IDispatch or IUnknown
// (arguments are queried for it).
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

constexpr UINT kMaxDispParams = 16;

// Calls the bound method with arguments already converted to the declared
// types, in natural order; *badArg receives the position of an argument
// that did not fit.
using DispCall = HRESULT (*)(IDispatch* self, VARIANT* args, VARIANT* result, UINT* badArg);

struct DispEntry {
    const char16_t* name;
    DISPID id;
    WORD kind; // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
    VARTYPE params[kMaxDispParams];
    UINT paramCount;
    VARTYPE result; // VT_EMPTY when nothing is returned
    DispCall call;
};

class DispatchTable {
public:
    template <std::size_t N>
    constexpr DispatchTable(const DispEntry (&entries)[N]) : mEntries(entries), mCount(N)
    {
    }

    const DispEntry* begin() const { return mEntries; }
    const DispEntry* end() const { return mEntries + mCount; }
    std::size_t size() const { return mCount; }

    // The member for a name (ASCII letters compared ignoring case) or for an
    // identifier and call kind; null when there is none.
    const DispEntry* FindName(const char16_t* name) const;
    const DispEntry* Find(DISPID id, WORD flags) const;
    bool HasId(DISPID id) const;

    // IDispatch::GetIDsOfNames: names[0] is the member; parameter names are
    // not known and come back as DISPID_UNKNOWN with DISP_E_UNKNOWNNAME.
    HRESULT GetIDsOfNames(const IID& riid, LPOLESTR* names, UINT count, DISPID* ids) const;
    // IDispatch::Invoke on `self`. Arguments arrive last first and are
    // converted to the declared types (VariantChangeType); a property put
    // takes its value positionally or named DISPID_PROPERTYPUT, and no other
    // named arguments are accepted. A failed HRESULT of the method passes
    // through; a C++ exception becomes DISP_E_EXCEPTION with its text in
    // `exception` (std::bad_alloc: E_OUTOFMEMORY). result may be null; it is
    // an out-parameter, overwritten without being cleared first.
    HRESULT Invoke(IDispatch* self, DISPID id, const IID& riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) const;

    // Whether the table is usable: names and identifiers unique per kind, one
    // name per identifier. Meant for static_assert on a constexpr table.
    static constexpr bool IsConsistent(const DispEntry* entries, std::size_t count);

private:
    const DispEntry* mEntries;
    std::size_t mCount;
};

namespace lumo::detail {

constexpr bool SameText(const char16_t* a, const char16_t* b)
{
    for (; *a || *b; ++a, ++b)
        if (*a != *b)
            return false;
    return true;
}

template <class T>
struct MemberTraits;
template <class I, class... Args>
struct MemberTraits<HRESULT (I::*)(Args...)> {
    using Interface = I;
    using ArgTuple = std::tuple<Args...>;
    static constexpr std::size_t arity = sizeof...(Args);
};

template <VARTYPE VT>
struct VtType; // the C++ type of a plain value tag
// clang-format off
template <> struct VtType<VT_I1> { using type = CHAR; static CHAR Get(const VARIANT& v) { return v.cVal; } static void Set(VARIANT& v, CHAR x) { v.cVal = x; } };
template <> struct VtType<VT_UI1> { using type = BYTE; static BYTE Get(const VARIANT& v) { return v.bVal; } static void Set(VARIANT& v, BYTE x) { v.bVal = x; } };
template <> struct VtType<VT_I2> { using type = SHORT; static SHORT Get(const VARIANT& v) { return v.iVal; } static void Set(VARIANT& v, SHORT x) { v.iVal = x; } };
template <> struct VtType<VT_UI2> { using type = USHORT; static USHORT Get(const VARIANT& v) { return v.uiVal; } static void Set(VARIANT& v, USHORT x) { v.uiVal = x; } };
template <> struct VtType<VT_I4> { using type = LONG; static LONG Get(const VARIANT& v) { return v.lVal; } static void Set(VARIANT& v, LONG x) { v.lVal = x; } };
template <> struct VtType<VT_UI4> { using type = ULONG; static ULONG Get(const VARIANT& v) { return v.ulVal; } static void Set(VARIANT& v, ULONG x) { v.ulVal = x; } };
template <> struct VtType<VT_INT> { using type = INT; static INT Get(const VARIANT& v) { return v.intVal; } static void Set(VARIANT& v, INT x) { v.intVal = x; } };
template <> struct VtType<VT_UINT> { using type = UINT; static UINT Get(const VARIANT& v) { return v.uintVal; } static void Set(VARIANT& v, UINT x) { v.uintVal = x; } };
template <> struct VtType<VT_I8> { using type = LONGLONG; static LONGLONG Get(const VARIANT& v) { return v.llVal; } static void Set(VARIANT& v, LONGLONG x) { v.llVal = x; } };
template <> struct VtType<VT_UI8> { using type = ULONGLONG; static ULONGLONG Get(const VARIANT& v) { return v.ullVal; } static void Set(VARIANT& v, ULONGLONG x) { v.ullVal = x; } };
template <> struct VtType<VT_R4> { using type = FLOAT; static FLOAT Get(const VARIANT& v) { return v.fltVal; } static void Set(VARIANT& v, FLOAT x) { v.fltVal = x; } };
template <> struct VtType<VT_R8> { using type = DOUBLE; static DOUBLE Get(const VARIANT& v) { return v.dblVal; } static void Set(VARIANT& v, DOUBLE x) { v.dblVal = x; } };
template <> struct VtType<VT_DATE> { using type = DATE; static DATE Get(const VARIANT& v) { return v.date; } static void Set(VARIANT& v, DATE x) { v.date = x; } };
template <> struct VtType<VT_BOOL> { using type = VARIANT_BOOL; static VARIANT_BOOL Get(const VARIANT& v) { return v.boolVal; } static void Set(VARIANT& v, VARIANT_BOOL x) { v.boolVal = x; } };
template <> struct VtType<VT_ERROR> { using type = SCODE; static SCODE Get(const VARIANT& v) { return v.scode; } static void Set(VARIANT& v, SCODE x) { v.scode = x; } };
template <> struct VtType<VT_BSTR> { using type = BSTR; static BSTR Get(const VARIANT& v) { return v.bstrVal; } static void Set(VARIANT& v, BSTR x) { v.bstrVal = x; } };
// clang-format on

template <VARTYPE VT>
constexpr bool IsInterfaceTag = VT == VT_DISPATCH || VT == VT_UNKNOWN;

template <VARTYPE VT, class P>
constexpr bool AcceptsInterface()
{
    if constexpr (std::is_pointer_v<P>) {
        using T = std::remove_pointer_t<P>;
        if constexpr (VT == VT_DISPATCH)
            return std::is_base_of_v<IDispatch, T>;
        else
            return std::is_base_of_v<IUnknown, T>;
    }
    return false;
}

// An [in] argument: its C++ value taken from the converted variant.
template <VARTYPE VT, class P, class = void>
struct InArg {
    static_assert(sizeof(P) == 0, "the declared VARTYPE does not match the method's parameter type");
};

template <VARTYPE VT, class P>
struct InArg<VT, P, std::enable_if_t<!IsInterfaceTag<VT> && VT != VT_VARIANT && !(VT & VT_BYREF)>> {
    static_assert(std::is_same_v<typename VtType<VT>::type, P>,
                  "the declared VARTYPE does not match the method's parameter type");
    P value{};
    HRESULT Load(VARIANT& v)
    {
        value = VtType<VT>::Get(v);
        return S_OK;
    }
    P Pass() { return value; }
    void Store(VARIANT*) {}
};

template <class P>
struct InArg<VT_VARIANT, P> {
    static_assert(std::is_same_v<P, VARIANT> || std::is_same_v<P, const VARIANT&>,
                  "a VT_VARIANT parameter is a VARIANT or a const VARIANT&");
    VARIANT* value = nullptr;
    HRESULT Load(VARIANT& v)
    {
        value = &v;
        return S_OK;
    }
    P Pass() { return *value; }
    void Store(VARIANT*) {}
};

template <VARTYPE VT, class P>
struct InArg<VT, P, std::enable_if_t<IsInterfaceTag<VT>>> {
    static_assert(AcceptsInterface<VT, P>(), "VT_DISPATCH/VT_UNKNOWN take a pointer to an interface");
    using T = std::remove_pointer_t<P>;
    ComPtr<T> value;
    HRESULT Load(VARIANT& v)
    {
        IUnknown* p = VT == VT_DISPATCH ? static_cast<IUnknown*>(v.pdispVal) : v.punkVal;
        if (!p)
            return S_OK;
        if constexpr (std::is_same_v<T, IUnknown>) {
            value = p;
            return S_OK;
        } else {
            if constexpr (VT == VT_DISPATCH && std::is_same_v<T, IDispatch>) {
                value = v.pdispVal;
                return S_OK;
            }
            return p->QueryInterface(T::iid, value.PutVoid()) == S_OK ? S_OK : DISP_E_TYPEMISMATCH;
        }
    }
    P Pass() { return value.Get(); }
    void Store(VARIANT*) {}
};

// The [out, retval] parameter: storage for the method to fill, then moved
// into the result variant (or freed when the caller wants no result).
template <VARTYPE VT, class P, class = void>
struct OutArg {
    static_assert(sizeof(P) == 0, "the declared VARTYPE does not match the method's parameter type");
};

template <VARTYPE VT, class P>
struct OutArg<VT, P, std::enable_if_t<!IsInterfaceTag<VT> && VT != VT_VARIANT>> {
    static_assert(std::is_same_v<typename VtType<VT>::type*, P>,
                  "the declared VARTYPE does not match the method's out-parameter type");
    using T = typename VtType<VT>::type;
    T value{};
    ~OutArg()
    {
        if constexpr (VT == VT_BSTR)
            SysFreeString(value);
    }
    HRESULT Load(VARIANT&) { return S_OK; }
    P Pass() { return &value; }
    void Store(VARIANT* result)
    {
        if (!result)
            return;
        result->vt = VT;
        VtType<VT>::Set(*result, value);
        value = T{};
    }
};

template <class P>
struct OutArg<VT_VARIANT, P> {
    static_assert(std::is_same_v<P, VARIANT*>, "a VT_VARIANT out-parameter is a VARIANT*");
    CVariant value;
    HRESULT Load(VARIANT&) { return S_OK; }
    P Pass() { return &value; }
    void Store(VARIANT* result)
    {
        if (result)
            *result = value.Detach();
    }
};

template <VARTYPE VT, class P>
struct OutArg<VT, P, std::enable_if_t<IsInterfaceTag<VT>>> {
    static_assert(std::is_pointer_v<P> && AcceptsInterface<VT, std::remove_pointer_t<P>>(),
                  "VT_DISPATCH/VT_UNKNOWN out-parameters are pointers to interface pointers");
    using T = std::remove_pointer_t<std::remove_pointer_t<P>>;
    T* value = nullptr;
    ~OutArg()
    {
        if (value)
            value->Release();
    }
    HRESULT Load(VARIANT&) { return S_OK; }
    P Pass() { return &value; }
    void Store(VARIANT* result)
    {
        if (!result)
            return;
        result->vt = VT;
        if constexpr (VT == VT_DISPATCH)
            result->pdispVal = value;
        else
            result->punkVal = value;
        value = nullptr;
    }
};

template <VARTYPE VT, class P>
using ArgFor = std::conditional_t<(VT & VT_BYREF) != 0, OutArg<VARTYPE(VT & ~VT_BYREF), P>, InArg<VT, P>>;

template <auto Member, VARTYPE... Types>
struct DispInvoker {
    using Traits = MemberTraits<decltype(Member)>;
    using I = typename Traits::Interface;
    static_assert(sizeof...(Types) == Traits::arity, "one VARTYPE per method parameter");

    static HRESULT Call(IDispatch* self, VARIANT* args, VARIANT* result, UINT* badArg)
    {
        return CallWith(static_cast<I*>(self), args, result, badArg, std::make_index_sequence<sizeof...(Types)>{});
    }

    template <std::size_t... K>
    static HRESULT CallWith(I* object, [[maybe_unused]] VARIANT* args, [[maybe_unused]] VARIANT* result,
                            [[maybe_unused]] UINT* badArg, std::index_sequence<K...>)
    {
        std::tuple<ArgFor<Types, std::tuple_element_t<K, typename Traits::ArgTuple>>...> holders;
        HRESULT hr = S_OK;
        [[maybe_unused]] auto load = [&](auto& holder, std::size_t k) {
            if (SUCCEEDED(hr)) {
                hr = holder.Load(args[k]);
                if (FAILED(hr))
                    *badArg = UINT(k);
            }
        };
        (load(std::get<K>(holders), K), ...);
        if (FAILED(hr))
            return hr;
        hr = (object->*Member)(std::get<K>(holders).Pass()...);
        if (SUCCEEDED(hr))
            (std::get<K>(holders).Store(result), ...);
        return hr;
    }
};

template <VARTYPE... Types>
constexpr bool OnlyLastIsByRef()
{
    constexpr VARTYPE list[] = {Types..., VT_EMPTY};
    for (std::size_t i = 0; i + 1 < sizeof...(Types); ++i)
        if (list[i] & VT_BYREF)
            return false;
    return true;
}

template <auto Member, VARTYPE... Types>
constexpr DispEntry MakeEntry(const char16_t* name, DISPID id, WORD kind)
{
    static_assert(sizeof...(Types) <= kMaxDispParams, "too many parameters");
    static_assert(OnlyLastIsByRef<Types...>(), "only the last parameter may be VT_BYREF (the retval)");
    DispEntry e{name, id, kind, {}, 0, VT_EMPTY, &DispInvoker<Member, Types...>::Call};
    constexpr VARTYPE list[] = {Types..., VT_EMPTY};
    for (std::size_t i = 0; i < sizeof...(Types); ++i) {
        if (list[i] & VT_BYREF)
            e.result = VARTYPE(list[i] & ~VT_BYREF);
        else
            e.params[e.paramCount++] = list[i];
    }
    return e;
}

} // namespace lumo::detail

template <auto Member, VARTYPE... Types>
constexpr DispEntry DispMethod(const char16_t* name, DISPID id)
{
    return lumo::detail::MakeEntry<Member, Types...>(name, id, DISPATCH_METHOD);
}

template <auto Member, VARTYPE Type>
constexpr DispEntry DispPropGet(const char16_t* name, DISPID id)
{
    static_assert((Type & VT_BYREF) != 0, "a property getter has one VT_BYREF parameter");
    return lumo::detail::MakeEntry<Member, Type>(name, id, DISPATCH_PROPERTYGET);
}

template <auto Member, VARTYPE Type>
constexpr DispEntry DispPropPut(const char16_t* name, DISPID id)
{
    static_assert((Type & VT_BYREF) == 0, "a property setter takes the value");
    return lumo::detail::MakeEntry<Member, Type>(name, id, DISPATCH_PROPERTYPUT);
}

constexpr bool DispatchTable::IsConsistent(const DispEntry* entries, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            const DispEntry& a = entries[i];
            const DispEntry& b = entries[j];
            bool sameName = lumo::detail::SameText(a.name, b.name);
            if (a.id == b.id && (a.kind == b.kind || !sameName))
                return false;
            if (sameName && a.id != b.id)
                return false;
        }
    }
    return true;
}
